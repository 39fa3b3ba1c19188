// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A folder of files that can always be made again: read whole, replaced whole without waiting
// for the disk. Whatever is there may be missing, cut short or someone else's.
class CacheFiles {
public:
    virtual ~CacheFiles() = default;

    // The content of the file of that name in the folder; nothing when it cannot be read (or is
    // larger than anything this folder holds).
    virtual std::optional<QByteArray> read(const QString& name) const = 0;
    // Replaces the file whole (a reader sees the old content or the new); false on failure.
    virtual bool write(const QString& name, const QByteArray& data) = 0;
};
