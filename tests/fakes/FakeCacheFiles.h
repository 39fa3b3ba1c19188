// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CacheFiles.h"

#include <QHash>

// Cache files in memory.
class FakeCacheFiles final : public CacheFiles {
public:
    std::optional<QByteArray> read(const QString& name) const override {
        const auto it = files.find(name);
        return it == files.end() ? std::nullopt : std::optional(*it);
    }
    bool write(const QString& name, const QByteArray& data) override {
        ++writeCount;
        files.insert(name, data);
        return true;
    }

    QHash<QString, QByteArray> files;
    int writeCount = 0;
};
