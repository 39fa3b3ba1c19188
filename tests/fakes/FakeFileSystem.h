#pragma once

#include "platform/FileSystem.h"

#include <QHash>
#include <QSet>

// An in-memory file system. Display names are the file name unless one was given; writes can be
// made to fail.
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
    bool writeAtomically(const QString& path, const QByteArray& data) override;
    bool makePath(const QString& path) override;
    bool copyFile(const QString& from, const QString& to) override;

    bool failWrites = false;
    bool failCopies = false;
    int writeCount = 0;
    QHash<QString, QByteArray> files;

private:
    QSet<QString> directories_;
    QHash<QString, QString> displayNames_;
};
