// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/DesktopEntryFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include <glib.h>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

// The whole file, if it is a regular one within the cap; `status` is what it was when read.
std::optional<QByteArray> readRegularFile(const QString& path, struct stat& status) {
    // O_NOFOLLOW: the path is already resolved; a symlink appearing there since is refused.
    const FileDescriptor file{::open(QFile::encodeName(path).constData(),
                                     O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0 || ::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_size > DesktopEntryFile::maximumSize)
        return std::nullopt;
    QByteArray data(static_cast<qsizetype>(status.st_size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < data.size()) {
        const ssize_t got = ::read(file.fd, data.data() + filled, data.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        filled += got;
    }
    if (filled > status.st_size)
        return std::nullopt; // grew while we read: a file being rewritten is no entry yet
    data.truncate(filled);
    return data;
}

bool lies(const QString& path, const QString& folder) {
    return path.startsWith(folder + QLatin1Char('/'));
}

} // namespace

void DesktopEntryFile::KeyFileDeleter::operator()(GKeyFile* file) const {
    if (file)
        g_key_file_free(file);
}

DesktopEntryFile::DesktopEntryFile(DesktopEntryFile&&) noexcept = default;
DesktopEntryFile& DesktopEntryFile::operator=(DesktopEntryFile&&) noexcept = default;
DesktopEntryFile::~DesktopEntryFile() = default;

QStringList DesktopEntryFile::applicationFolders() {
    // Resolving a folder walks its whole path, and icons ask for every tile: remember the
    // folders found (a missing one is looked for again next time).
    static QHash<QString, QString> resolvedFolders;
    QStringList folders;
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        // A relative XDG folder is invalid; resolving it against our working folder would
        // trust whatever folder we happen to run in.
        if (!QDir::isAbsolutePath(folder))
            continue;
        QString& resolved = resolvedFolders[folder];
        if (resolved.isEmpty())
            resolved = QFileInfo(folder).canonicalFilePath();
        if (!resolved.isEmpty() && resolved != QStringLiteral("/"))
            folders.append(resolved);
    }
    return folders;
}

std::optional<DesktopEntryFile> DesktopEntryFile::read(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    DesktopEntryFile entry;
    entry.canonicalPath_ = QFileInfo(path).canonicalFilePath();
    if (entry.canonicalPath_.isEmpty())
        return std::nullopt;
    struct stat status {};
    const auto data = readRegularFile(entry.canonicalPath_, status);
    if (!data)
        return std::nullopt;
    entry.keyFile_.reset(g_key_file_new());
    if (!g_key_file_load_from_data(entry.keyFile(), data->constData(),
                                   static_cast<gsize>(data->size()), G_KEY_FILE_NONE, nullptr) ||
        !g_key_file_has_group(entry.keyFile(), G_KEY_FILE_DESKTOP_GROUP))
        return std::nullopt;
    entry.trusted_ = entry.judgeTrust(status);
    entry.data_ = *data;
    return entry;
}

QByteArray DesktopEntryFile::fingerprint() const {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QFile::encodeName(canonicalPath_));
    hash.addData(QByteArrayView("\0", 1));
    hash.addData(data_);
    return hash.result();
}

bool DesktopEntryFile::judgeTrust(const struct stat& status) const {
    // Deleted, as far as the desktop is concerned: nothing shows or starts it on its own.
    if (g_key_file_get_boolean(keyFile(), G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_HIDDEN,
                               nullptr))
        return false;
    // Anyone could have written it, wherever it lies.
    if (status.st_mode & S_IWOTH)
        return false;
    for (const QString& folder : applicationFolders())
        if (lies(canonicalPath_, folder))
            return true;
    return status.st_uid == ::geteuid() && (status.st_mode & S_IXUSR) &&
           !(status.st_mode & S_IWGRP);
}

std::optional<QString> DesktopEntryFile::localeString(const char* key) const {
    gchar* value =
        g_key_file_get_locale_string(keyFile(), G_KEY_FILE_DESKTOP_GROUP, key, nullptr, nullptr);
    std::optional<QString> text;
    if (value && *value)
        text = QString::fromUtf8(value);
    g_free(value);
    return text;
}

std::optional<QString> DesktopEntryFile::string(const char* key) const {
    gchar* value = g_key_file_get_string(keyFile(), G_KEY_FILE_DESKTOP_GROUP, key, nullptr);
    std::optional<QString> text;
    if (value && *value)
        text = QString::fromUtf8(value);
    g_free(value);
    return text;
}
