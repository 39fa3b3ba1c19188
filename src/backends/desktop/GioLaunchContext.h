// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Desktop.h"

#include <QByteArray>

using GAppInfo = struct _GAppInfo;
using GDesktopAppInfo = struct _GDesktopAppInfo;

// GIO launches with a context of our own: the variables of our own start (startup id,
// activation token, autostart id) are not passed on; a launch's token is, as DESKTOP_STARTUP_ID
// (which a plain GAppLaunchContext never sets) and XDG_ACTIVATION_TOKEN; and the pid GIO
// reports through its "launched" signal comes back.
namespace GioLaunchContext {

// Launches the application with the URI (none for a plain start) and no token. A desktop
// entry's program gets /dev/null as its standard streams instead of ours.
bool launch(GAppInfo* app, const QByteArray& uri, QString* failure);
// Starts the entry, or the action of `options`, with the token of `options`.
LaunchResult launchEntry(GDesktopAppInfo* app, const LaunchOptions& options, QString* failure);

} // namespace GioLaunchContext
