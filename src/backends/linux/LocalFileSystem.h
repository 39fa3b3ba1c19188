// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"

// The real file system: QFile, POSIX calls for whole-file reads and atomic writes, with desktop
// entries named by their Name key.
class LocalFileSystem final : public FileSystem {
public:
    bool exists(const QString& path) const override;
    bool isDirectory(const QString& path) const override;
    std::optional<qint64> modificationTime(const QString& path) const override;
    QString displayName(const QString& path) const override;
    std::optional<QByteArray> readAll(const QString& path) const override;
    bool writeAtomically(const QString& path, const QByteArray& data, QString* error) override;
    bool makePath(const QString& path) override;
    bool rename(const QString& from, const QString& to) override;
    int removeInterruptedWrites(const QString& path) override;
};
