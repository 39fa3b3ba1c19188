// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <QHash>
#include <QSet>

// An in-memory file system. Display names are the file name unless one was given; writes and
// renames can be made to fail. Writing needs the folder to exist, as on disk.
class FakeFileSystem final : public FileSystem {
public:
    void addFile(const QString& path, const QByteArray& content = {},
                 const QString& displayName = {}) {
        files.insert(path, content);
        if (!displayName.isEmpty())
            displayNames_.insert(path, displayName);
    }
    void addDirectory(const QString& path) { directories_.insert(path); }
    void remove(const QString& path) {
        files.remove(path);
        directories_.remove(path);
    }

    bool exists(const QString& path) const override {
        return files.contains(path) || directories_.contains(path);
    }
    bool isDirectory(const QString& path) const override { return directories_.contains(path); }
    std::optional<qint64> modificationTime(const QString& path) const override {
        return exists(path) ? std::optional(modificationTimes.value(path, 1)) : std::nullopt;
    }
    QString displayName(const QString& path) const override {
        return displayNames_.value(path, path.section(u'/', -1));
    }
    std::optional<QByteArray> readAll(const QString& path) const override {
        const auto it = files.find(path);
        if (it == files.end() || it->size() > readLimit)
            return std::nullopt;
        // With room after the bytes, as the real one gives them.
        QByteArray bytes;
        bytes.reserve(it->size() + readPadding);
        bytes.append(*it);
        return bytes;
    }
    bool writeAtomically(const QString& path, const QByteArray& data, QString* error) override {
        ++writeAttempts;
        if (failWrites || !directories_.contains(path.section(u'/', 0, -2)) ||
            directories_.contains(path)) {
            if (error)
                *error = u"No space left on device"_qs;
            return false;
        }
        ++writeCount;
        files.insert(path, data);
        return true;
    }
    bool makePath(const QString& path) override {
        if (files.contains(path))
            return false;
        directories_.insert(path);
        return true;
    }
    bool rename(const QString& from, const QString& to) override {
        if (failRenames || !exists(from) || exists(to))
            return false;
        if (directories_.remove(from))
            directories_.insert(to);
        else
            files.insert(to, files.take(from));
        if (displayNames_.contains(from))
            displayNames_.insert(to, displayNames_.take(from));
        return true;
    }
    qsizetype largestReadableFile() const override { return readLimit; }
    // Leaves nothing behind, so there is nothing to remove.
    int removeInterruptedWrites(const QString&) override { return 0; }

    bool failWrites = false;
    qsizetype readLimit = maxReadSize;
    bool failRenames = false;
    int writeCount = 0;    // writes that succeeded
    int writeAttempts = 0; // every write asked for
    QHash<QString, QByteArray> files;
    QHash<QString, qint64> modificationTimes; // 1 for a path not listed

private:
    QSet<QString> directories_;
    QHash<QString, QString> displayNames_;
};
