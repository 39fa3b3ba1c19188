// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LaunchToken.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <optional>
#include <vector>

// What ties a desktop entry to the programs it starts, as running-program matching needs it.
struct LauncherIdentity {
    // The entry's file, symlinks resolved.
    QString canonicalPath;
    // The desktop file id without ".desktop": its path below an applications folder with "/"
    // turned into "-" ("org.gnome.Terminal", "kde-konsole"), else its file name.
    QString desktopId;
    // StartupWMClass; empty when the entry states none.
    QString startupWMClass;

    bool operator==(const LauncherIdentity&) const = default;
};

// One of the entry's own Actions ("new-window"), by its id, its name in the user's language and
// the command line it runs.
struct LauncherAction {
    QString id;
    QString name;
    QString execLine;

    bool operator==(const LauncherAction&) const = default;
};

// A desktop entry seen as something a click would run.
struct LauncherEntry {
    // The command line it runs (its Exec key, field codes and all), to show to the user.
    QString execLine;
    // Whether the desktop runs it without asking: it lies in an applications folder, or it is the
    // user's own executable file that nobody else may change, and it is not marked deleted.
    bool isTrusted = false;
    // Identifies the file's contents as inspected: a launch refuses an entry changed since.
    QByteArray fingerprint;
    LauncherIdentity identity;
    // Its Actions that can run, in the entry's order.
    std::vector<LauncherAction> actions;
    // Its localised Name and its Icon (a theme name or a file), for the launch feedback.
    QString name;
    QString icon;
    // StartupNotify=false: the program is known to break with a startup id, and gets none.
    bool refusesStartupNotification = false;

    bool operator==(const LauncherEntry&) const = default;
};

// How one launch is made: the action of the entry to run (empty for the entry itself) and the
// token its program gets for its first window.
struct LaunchOptions {
    QString action;
    LaunchToken token;
};

// What a launch did: whether a program was started, and its process where one was spawned
// (a program started over D-Bus has none of ours).
struct LaunchResult {
    bool started = false;
    std::optional<std::int32_t> pid;
};

// Opening and revealing through the user's desktop: default handlers, desktop entries, the file
// manager. Fire and forget, except a launch, which says what it started.
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
    // Starts the desktop entry (or one of its actions), provided it still is the entry
    // `approved` describes and is no less trusted than it was.
    virtual LaunchResult launch(const QString& path, const LauncherEntry& approved,
                                const LaunchOptions& options) = 0;
};
