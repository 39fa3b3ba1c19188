// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/linux/LocalCacheFiles.h"
#include "backends/linux/WriteAll.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Cache files are small; anything larger is not one of ours.
constexpr qint64 largestFile = 16 * 1024 * 1024;

} // namespace

LocalCacheFiles::LocalCacheFiles(QString folder) : folder_(std::move(folder)) {}

std::optional<QByteArray> LocalCacheFiles::read(const QString& name) const {
    QFile file(folder_ + u'/' + name);
    // Never waits on something that is not a plain file (a FIFO put there).
    if (!QFileInfo(file).isFile() || file.size() > largestFile ||
        !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return data;
}

bool LocalCacheFiles::write(const QString& name, const QByteArray& data) {
    if (!folderMade_)
        folderMade_ = QDir().mkpath(folder_);
    const QByteArray target = QFile::encodeName(folder_ + u'/' + name);
    // One writer per user (one instance), so one name for the file being written is enough.
    const QByteArray partial = target + ".partial";
    const int fd =
        ::open(partial.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, data);
    const bool closed = ::close(fd) == 0;
    if (written && closed && ::rename(partial.constData(), target.constData()) == 0)
        return true;
    ::unlink(partial.constData());
    return false;
}
