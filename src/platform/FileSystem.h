// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What the logic needs of the file system: existence and kind of a path, the user-visible name of
// a path, whole-file reads, atomic whole-file writes, directories and renames.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual bool exists(const QString& path) const = 0;
    virtual bool isDirectory(const QString& path) const = 0;
    // When what is at the path (or where a symbolic link leads) was last modified, in
    // milliseconds since 1970; nothing when there is nothing there.
    virtual std::optional<qint64> modificationTime(const QString& path) const = 0;
    // The name a user sees for the path: its file name; for a trusted desktop entry, its
    // localised Name.
    virtual QString displayName(const QString& path) const = 0;

    // Room left after the bytes readAll answers, for a parser that reads ahead (simdjson) to read
    // them in place, and the largest file it reads.
    static constexpr qsizetype readPadding = 64;
    static constexpr qsizetype maxReadSize = qsizetype(256) * 1024 * 1024;
    // The whole content of a regular file (or of one a symbolic link leads to) of at most
    // maxReadSize bytes, followed by readPadding zero bytes of spare capacity. Nothing for
    // anything else (missing, unreadable, a directory, a FIFO, a device, too large), without
    // waiting or reading it, and nothing when memory runs out.
    virtual std::optional<QByteArray> readAll(const QString& path) const = 0;
    // The largest file readAll reads: whatever is written for reading back must stay within it.
    virtual qsizetype largestReadableFile() const { return maxReadSize; }
    // Replaces the file whole (a reader sees the old or the new content); false on failure, with
    // the reason in words a user can act on in `error` when one is given.
    virtual bool writeAtomically(const QString& path, const QByteArray& data, QString* error) = 0;
    // Creates the directory and its missing parents; an existing directory is success.
    virtual bool makePath(const QString& path) = 0;
    // Moves a file or folder to a new name in the same file system, which needs no permission
    // to read it; fails, and leaves the target alone, when the target exists.
    virtual bool rename(const QString& from, const QString& to) = 0;
    // Removes what writes of `path` by writeAtomically left behind when the process was killed
    // before their final rename: temporary files beside the file, of its own making only; never
    // anything else. Call it only while no such write can be running. Answers how many it removed.
    virtual int removeInterruptedWrites(const QString& path) = 0;
};
