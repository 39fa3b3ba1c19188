// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Desktop.h"
#include "platform/RunningApplication.h"

#include <QString>

#include <vector>

// Tells which running applications a desktop entry stands for, as the application switcher
// recognises them: the process GIO started from that very entry, the installed entry the
// application was matched to (by desktop id), StartupWMClass (when the entry states one, it
// alone speaks for the window class), WM_CLASS against the desktop id, or a Wayland app id.
namespace LaunchMatch {

bool matches(const LauncherIdentity& entry, const RunningApplication& app);
// The applications of `apps` that match, in their order.
std::vector<const RunningApplication*> matching(const LauncherIdentity& entry,
                                                const std::vector<RunningApplication>& apps);

// The desktop id a program's badge is reported under: the installed entry it was matched to,
// else the file it was launched from, else its Wayland app id.
QString badgeIdOf(const RunningApplication& app);

// The desktop id that a launcher entry URI names: "application://org.a.B.desktop" and
// "org.a.B.desktop" give "org.a.B"; empty for anything else.
QString desktopIdOfUri(const QString& uri);

} // namespace LaunchMatch
