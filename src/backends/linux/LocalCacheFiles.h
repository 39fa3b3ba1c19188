// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CacheFiles.h"

// Cache files in a folder of the user's cache ($XDG_CACHE_HOME/Moorline), made when first
// written. Written beside their name and renamed over it, never synced: a file lost to a crash
// is made again.
class LocalCacheFiles final : public CacheFiles {
public:
    explicit LocalCacheFiles(QString folder);

    std::optional<QByteArray> read(const QString& name) const override;
    bool write(const QString& name, const QByteArray& data) override;

private:
    QString folder_;
    bool folderMade_ = false;
};
