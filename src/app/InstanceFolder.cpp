// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InstanceFolder.h"

#include "app/InstanceLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace InstanceFolder {

namespace {

// A folder in which nobody else can replace our entries: ours (or root's), and writable by
// nobody else unless sticky. Symlinks are followed: ~/.cache often links to another disk.
bool isSafeParent(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return false;
    if (status.st_uid != ::geteuid() && status.st_uid != 0)
        return false;
    return !(status.st_mode & (S_IWGRP | S_IWOTH)) || (status.st_mode & S_ISVTX);
}

QString cacheFolder() {
    const QString configured = qEnvironmentVariable("XDG_CACHE_HOME");
    // A relative value is invalid and ignored, as the base directory rules say.
    if (QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    return QDir::homePath() + QStringLiteral("/.cache");
}

// Makes `path` ours and private: created 0700 when missing; if it exists as our own directory,
// its mode is tightened through a descriptor that cannot have followed a symlink.
bool makePrivate(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status {};
    const bool ours =
        ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::geteuid();
    const bool tightened = ours && ((status.st_mode & 0777) == 0700 || ::fchmod(fd, 0700) == 0);
    ::close(fd);
    return tightened && isPrivate(path);
}

} // namespace

bool isPrivate(const QString& path) {
    struct stat status {};
    return QDir::isAbsolutePath(path) &&
           ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid() && (status.st_mode & 0777) == 0700;
}

std::optional<QString> choose(QString* problem) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivate(runtime))
        return QDir::cleanPath(runtime);
    if (!runtime.isEmpty())
        qCWarning(lcInstance) << "XDG_RUNTIME_DIR is not a private folder of ours:" << runtime;
    const QString cache = cacheFolder();
    QDir().mkpath(cache);
    const auto refuse = [problem](const QString& reason) {
        qCWarning(lcInstance).noquote() << reason;
        if (problem)
            *problem = reason;
        return std::nullopt;
    };
    if (!isSafeParent(cache))
        return refuse(QCoreApplication::translate(
                          "InstanceFolder",
                          "The folder %1 is not yours alone: another user owns it, or others may "
                          "write to it. Moorline keeps its single-instance lock there when "
                          "XDG_RUNTIME_DIR is not set, and does not start with it shared. Set "
                          "XDG_RUNTIME_DIR to a folder of yours with mode 0700, or make %1 yours.")
                          .arg(cache));
    const QString folder = cache + QStringLiteral("/moorline-runtime");
    if (!makePrivate(folder))
        return refuse(QCoreApplication::translate(
                          "InstanceFolder",
                          "The folder %1 for Moorline's single-instance lock cannot be made "
                          "private: something else is there, or another user owns it. Moorline "
                          "does not start with it shared. Remove it, or set XDG_RUNTIME_DIR to a "
                          "folder of yours with mode 0700.")
                          .arg(folder));
    return folder;
}

} // namespace InstanceFolder
