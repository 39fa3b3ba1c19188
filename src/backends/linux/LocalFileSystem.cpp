// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/linux/LocalFileSystem.h"
#include "backends/linux/WriteAll.h"

#include "backends/desktop/DesktopEntryNames.h"
#include "models/DockJsonBuffer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>

#include <cerrno>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

bool LocalFileSystem::exists(const QString& path) const {
    return QFileInfo::exists(path);
}

bool LocalFileSystem::isDirectory(const QString& path) const {
    return QFileInfo(path).isDir();
}

std::optional<qint64> LocalFileSystem::modificationTime(const QString& path) const {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1'000'000;
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

namespace {

// Reads to the end, in place, with readPadding zero bytes of spare capacity after the content.
// `expected` is the size the file had when opened; one byte more is asked for, so that the end
// shows without a second buffer, and a file that grew meanwhile is followed up to the cap.
std::optional<QByteArray> readToEnd(int fd, qsizetype expected) {
    QByteArray data;
    DockJsonBuffer::allocate(data, expected + 1, FileSystem::readPadding, true);
    qsizetype done = 0;
    for (;;) {
        if (done == data.size()) {
            if (done > FileSystem::maxReadSize)
                return std::nullopt;
            const qsizetype grown = std::min(done * 2, FileSystem::maxReadSize + 1);
            data.reserve(grown + FileSystem::readPadding);
            data.resize(grown);
        }
        const ssize_t count = ::read(fd, data.data() + done, std::size_t(data.size() - done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        done += count;
    }
    data.resize(done + FileSystem::readPadding);
    std::memset(data.data() + done, 0, FileSystem::readPadding);
    data.resize(done); // keeps the capacity
    return data;
}

} // namespace

std::optional<QByteArray> LocalFileSystem::readAll(const QString& path) const {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer for ever.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    // Only a regular file has an end: a FIFO may never send one, a device such as /dev/zero
    // never does.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > maxReadSize)
        return std::nullopt;
    try {
        return readToEnd(fd, static_cast<qsizetype>(info.st_size));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

namespace {

// Our temporary files: a dot (hidden), the file's name, and a word no person types beside it.
// Nothing else beside the file is ever removed as ours.
QString temporaryPrefix(const QString& fileName) {
    return QLatin1Char('.') + fileName + QStringLiteral(".moorline-");
}
constexpr int temporarySuffixLength = 6;

// Where a save of `path` writes: through symbolic links, the file they finally lead to.
QString writtenFile(const QString& path) {
    QFileInfo info(path);
    for (int hops = 0; info.isSymLink() && hops < 40; ++hops)
        info.setFile(info.symLinkTarget());
    return info.absoluteFilePath();
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Makes a new, empty temporary file beside `target` with open(2) itself (so the fault shim of
// the save checks sees it as any other file); -1 and errno on failure.
int createTemporary(const QString& target, QByteArray& name) {
    const QFileInfo info(target);
    const QString stem = info.absolutePath() + QLatin1Char('/') + temporaryPrefix(info.fileName());
    static constexpr char letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString suffix;
        for (int i = 0; i < temporarySuffixLength; ++i)
            suffix += QLatin1Char(letters[QRandomGenerator::system()->bounded(62)]);
        name = QFile::encodeName(stem + suffix);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

bool LocalFileSystem::writeAtomically(const QString& path, const QByteArray& data, QString* error) {
    // A temporary file beside the target, written, synced and renamed over it; a symlinked
    // target is written through to the file it points at, so the link stays. QSaveFile would
    // name its temporary file like a person's copy ("docks.json.backup"), which a later clean-up
    // could then not tell from one.
    const QString target = writtenFile(path);
    const QByteArray nativeTarget = QFile::encodeName(target);
    QByteArray temporary;
    const int fd = createTemporary(target, temporary);
    const auto fail = [&](int reason) {
        if (error)
            *error = errnoText(reason);
        return false;
    };
    if (fd < 0)
        return fail(errno);
    bool closed = false;
    auto cleanUp = qScopeGuard([&] {
        if (!closed)
            ::close(fd);
        ::unlink(temporary.constData());
    });
    // The file keeps the permissions it had; a new one gets the usual ones (0666 less umask).
    struct stat existing {};
    if (::stat(nativeTarget.constData(), &existing) == 0 &&
        ::fchmod(fd, existing.st_mode & 07777) != 0)
        return fail(errno);
    // A file system that allocates late reports a full disk only when syncing or closing.
    if (!writeAll(fd, data) || ::fsync(fd) != 0)
        return fail(errno);
    closed = true;
    if (::close(fd) != 0)
        return fail(errno);
    if (::rename(temporary.constData(), nativeTarget.constData()) != 0)
        return fail(errno);
    cleanUp.dismiss();
    // The rename itself lasts only once the folder is on disk.
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    const int folderFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
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

int LocalFileSystem::removeInterruptedWrites(const QString& path) {
    // Where writeAtomically writes: through a symbolic link, beside the file it leads to. A kill
    // before its rename leaves its temporary file, at full size, forever. Files named as Qt's
    // save files were ("docks.json.AbCdEf") are left alone: a person names a copy that way too,
    // and nothing shows which are ours.
    const QFileInfo target(writtenFile(path));
    const QRegularExpression temporary(
        QStringLiteral("^%1[A-Za-z0-9]{%2}$")
            .arg(QRegularExpression::escape(temporaryPrefix(target.fileName())))
            .arg(temporarySuffixLength));
    const QDir folder = target.absoluteDir();
    int removed = 0;
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!temporary.match(name).hasMatch())
            continue;
        const QByteArray file = QFile::encodeName(folder.filePath(name));
        struct stat status {};
        // A plain file of ours only: not a link (nor what it leads to), not another user's.
        if (::lstat(file.constData(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_uid != ::geteuid())
            continue;
        if (::unlink(file.constData()) == 0)
            ++removed;
    }
    return removed;
}
