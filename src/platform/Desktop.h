// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

// A desktop entry seen as something a click would run.
struct LauncherEntry {
    // The command line it runs (its Exec key, field codes and all), to show to the user.
    QString execLine;
    // Whether the desktop runs it without asking: it lies in an applications folder, or it is the
    // user's own executable file that nobody else may change, and it is not marked deleted.
    bool isTrusted = false;
    // Identifies the file's contents as inspected: a launch refuses an entry changed since.
    QByteArray fingerprint;

    bool operator==(const LauncherEntry&) const = default;
};

// Opening and revealing through the user's desktop: default handlers, desktop entries, the file
// manager. Fire and forget: results are never consulted.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Opens a file or folder with the user's default application for its type. Never runs
    // anything: a desktop entry, a script or a program is shown, not started.
    virtual void openPath(const QString& path) = 0;
    // Opens a URL with the handler of its scheme; a file URL as openPath.
    virtual void openUrl(const QUrl& url) = 0;
    // Shows the location in the file manager, selected.
    virtual void revealInFileManager(const QUrl& url) = 0;

    // The desktop entry at the path as a launcher; absent when it is none that could start
    // (missing, unreadable, not an application, a TryExec that fails).
    virtual std::optional<LauncherEntry> launcherEntry(const QString& path) = 0;
    // Starts the desktop entry, provided it still is the entry `approved` describes and is no
    // less trusted than it was.
    virtual void launch(const QString& path, const LauncherEntry& approved) = 0;
};
