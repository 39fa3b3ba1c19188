// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include <sys/stat.h>

using GKeyFile = struct _GKeyFile;

// A desktop entry file, read once, and the trust a file manager would give it: an entry runs
// without asking when it lies in an applications folder, or when it is the user's own
// executable file that nobody else may change. An entry marked deleted (Hidden=true) or
// writable by everyone is never trusted.
class DesktopEntryFile {
public:
    // Entries are a few kilobytes; anything past this is not one.
    static constexpr qint64 maximumSize = 1 << 20;

    // Reads the entry at the path (symlinks followed to a regular file no larger than the cap,
    // opened without blocking, so that a FIFO or a device cannot hang us); absent when it is no
    // such file or not a key file.
    static std::optional<DesktopEntryFile> read(const QString& path);
    // The applications folder of each XDG data folder, resolved; missing ones left out.
    static QStringList applicationFolders();

    DesktopEntryFile(DesktopEntryFile&&) noexcept;
    DesktopEntryFile& operator=(DesktopEntryFile&&) noexcept;
    ~DesktopEntryFile();

    // The file's own path: symlinks resolved, no "." or "..".
    const QString& canonicalPath() const { return canonicalPath_; }
    bool isTrusted() const { return trusted_; }
    // A key of the [Desktop Entry] group, localised for the user's language where the key is;
    // absent when missing or empty.
    std::optional<QString> localeString(const char* key) const;
    std::optional<QString> string(const char* key) const;
    // Identifies the file and its contents as read.
    QByteArray fingerprint() const;
    GKeyFile* keyFile() const { return keyFile_.get(); }

private:
    struct KeyFileDeleter {
        void operator()(GKeyFile* file) const;
    };

    DesktopEntryFile() = default;
    bool judgeTrust(const struct stat& status) const;

    QString canonicalPath_;
    bool trusted_ = false;
    QByteArray data_;
    std::unique_ptr<GKeyFile, KeyFileDeleter> keyFile_;
};
