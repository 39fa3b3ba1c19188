// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Desktop.h"
#include "platform/RunningApplication.h"

#include <QHash>
#include <QString>

#include <vector>

// Tells which running applications a desktop entry stands for, as the application switcher
// recognises them: the process GIO started from that very entry, the installed entry the
// application was matched to (by desktop id), StartupWMClass (when the entry states one, it
// alone speaks for the window class), WM_CLASS against the desktop id, or a Wayland app id.
namespace LaunchMatch {

// `launchedFrom` is the entry file the process was started from, as far as anyone knows.
bool matches(const LauncherIdentity& entry, const RunningApplication& app,
             const std::optional<QString>& launchedFrom);
inline bool matches(const LauncherIdentity& entry, const RunningApplication& app) {
    return matches(entry, app, app.launchedDesktopFile);
}
// The applications of `apps` that match, in their order. `launchedHere` holds the entry files of
// the processes we started ourselves, by pid: we hand GIO an entry as we read it, so their
// environment does not name the file.
std::vector<const RunningApplication*>
matching(const LauncherIdentity& entry, const std::vector<RunningApplication>& apps,
         const QHash<std::int32_t, QString>& launchedHere = {});

// The desktop id a program's badge is reported under: the installed entry it was matched to,
// else the file it was launched from, else its Wayland app id.
QString badgeIdOf(const RunningApplication& app);

// The desktop id that a launcher entry URI names: "application://org.a.B.desktop" and
// "org.a.B.desktop" give "org.a.B"; empty for anything else.
QString desktopIdOfUri(const QString& uri);

} // namespace LaunchMatch
