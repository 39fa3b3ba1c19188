// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/linux/LocalFileSystem.h"

#include "backends/desktop/DesktopEntryNames.h"
#include "models/DockJsonBuffer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
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
    // Qt holds a small write in its buffer and commit() renames the file even when writing that
    // buffer out fails (a full disk): flush and check first. A file system that allocates late
    // reports a full disk only when syncing, which commit() ignores too.
    if (file.write(data) != data.size() || !file.flush())
        return fail();
    if (::fsync(file.handle()) != 0) {
        const QString reason = qt_error_string(errno);
        file.cancelWriting();
        if (error)
            *error = reason;
        return false;
    }
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

int LocalFileSystem::removeInterruptedWrites(const QString& path) {
    // Where writeAtomically writes: through a symbolic link, beside the file it leads to.
    const QFileInfo link(path);
    const QFileInfo target(link.isSymLink() ? link.symLinkTarget() : path);
    // QSaveFile (Qt 6) makes its temporary file from the target's name, a dot and six ASCII
    // letters, unnamed (O_TMPFILE) until it commits, where it links it under such a name and
    // renames it over the target; without O_TMPFILE it is named from the start. A kill in
    // between leaves it, at full size, forever.
    const QRegularExpression temporary(
        QStringLiteral("^%1\\.[A-Za-z]{6}$").arg(QRegularExpression::escape(target.fileName())));
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
