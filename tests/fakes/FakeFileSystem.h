#pragma once

#include "platform/FileSystem.h"

#include <QHash>
#include <QSet>
#include <QStringList>

// An in-memory file system. Display names are the file name unless one was given; writes, renames
// and directory creation can be made to fail.
class FakeFileSystem final : public FileSystem {
public:
    void addFile(const QString& path, const QByteArray& content = {},
                 const QString& displayName = {});
    void addDirectory(const QString& path);
    void remove(const QString& path);

    bool exists(const QString& path) const override;
    bool isDirectory(const QString& path) const override;
    QString displayName(const QString& path) const override;
    std::optional<QByteArray> readAll(const QString& path) const override;
    bool writeAtomically(const QString& path, const QByteArray& data, QString* error) override;
    bool makePath(const QString& path) override;
    bool rename(const QString& from, const QString& to) override;
    // Leaves nothing behind, so there is nothing to remove; records the path.
    int removeInterruptedWrites(const QString& path) override;

    bool failWrites = false;
    bool failRenames = false;
    bool failMakePath = false;
    int writeCount = 0;    // writes that succeeded
    int writeAttempts = 0; // every write asked for
    QHash<QString, QByteArray> files;
    QStringList interruptedWriteCleanups;

private:
    QSet<QString> directories_;
    QHash<QString, QString> displayNames_;
};
