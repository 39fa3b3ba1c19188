#include "backends/linux/LocalFileSystem.h"

#include "backends/desktop/DesktopEntryNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

bool LocalFileSystem::exists(const QString& path) const {
    return QFileInfo::exists(path);
}

bool LocalFileSystem::isDirectory(const QString& path) const {
    return QFileInfo(path).isDir();
}

QString LocalFileSystem::displayName(const QString& path) const {
    // Only a trusted desktop entry goes by its Name; any other by its file name, which shows
    // what it is ("invoice.pdf.desktop").
    if (path.endsWith(QStringLiteral(".desktop")))
        if (auto name = DesktopEntryNames::trustedName(path))
            return *name;
    QString name = QFileInfo(path).fileName();
    // "/" and "/home/user/" have no file name of their own.
    if (name.isEmpty())
        name = QDir(path).dirName();
    return name.isEmpty() ? path : name;
}

std::optional<QByteArray> LocalFileSystem::readAll(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return data;
}

bool LocalFileSystem::writeAtomically(const QString& path, const QByteArray& data, QString* error) {
    // QSaveFile writes a temporary file beside the target, syncs it and renames it over the
    // target; a symlinked target is written through to the file it points at.
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink())
        target = info.symLinkTarget();
    QSaveFile file(target);
    const auto fail = [&] {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    if (file.write(data) != data.size())
        return fail();
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool LocalFileSystem::makePath(const QString& path) {
    return QDir().mkpath(path);
}

bool LocalFileSystem::rename(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    // The kernel refuses to replace an existing target, with no window between check and move.
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return true;
    // File systems without that flag: check first, then move.
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    struct stat existing {};
    if (::lstat(target.constData(), &existing) == 0)
        return false;
    return ::rename(source.constData(), target.constData()) == 0;
}
