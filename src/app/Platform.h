// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backends/desktop/DBusBadgeUpdates.h"
#include "backends/desktop/DesktopFileIcons.h"
#include "backends/desktop/FreedesktopNotifications.h"
#include "backends/desktop/GioDefaultApplications.h"
#include "backends/desktop/GioDesktop.h"
#include "backends/desktop/GioTrash.h"
#include "backends/desktop/QtClipboard.h"
#include "backends/desktop/QtImageFileChooser.h"
#include "backends/desktop/QtPathChooser.h"
#include "backends/desktop/SystemdScopes.h"
#include "backends/desktop/XdgAutostart.h"
#include "backends/linux/LinuxSystemStatistics.h"
#include "backends/linux/LocalCacheFiles.h"
#include "backends/linux/LocalFileSystem.h"
#include "backends/linux/SyslogSystemLog.h"
#include "backends/linux/TimerFdWallClock.h"
#include "backends/x11/QtScreens.h"
#include "backends/x11/X11KeyCodeTranslator.h"
#include "backends/x11/X11LaunchFeedback.h"
#include "platform/HotKeyBackend.h"
#include "platform/PointerMonitor.h"
#include "platform/QtScheduler.h"
#include "platform/QtWorker.h"
#include "platform/RunningApplicationsSource.h"
#include "platform/WindowActivation.h"
#include "platform/WindowHints.h"

#include <QStandardPaths>

#include <memory>

class WaylandConnection;
class XdgActivationTokens;
struct SessionChoice;

// The real Linux implementations of the platform interfaces, chosen in this one place by what
// the session offers. Made once the application object exists (the X11 ones use its
// connection), kept to the end.
struct Platform {
    // `wayland` is our own connection to the compositor, when there is one; it outlives us.
    Platform(const SessionChoice& choice, WaylandConnection* wayland);
    ~Platform();

    QtScheduler scheduler;
    LocalFileSystem fileSystem;
    // Ends before the file system it writes through, waiting for the write under way.
    QtWorker worker;
    GioDefaultApplications defaultApplications;
    GioDesktop desktop;
    std::unique_ptr<RunningApplicationsSource> runningApplications;
    LinuxSystemStatistics systemStatistics;
    TimerFdWallClock wallClock;
    QtClipboard clipboard;
    GioTrash trash;
    DesktopFileIcons fileIcons;
    QtImageFileChooser imageChooser;
    QtPathChooser pathChooser;
    std::unique_ptr<HotKeyBackend> hotKeyBackend;
    std::unique_ptr<WindowHints> windowHints;
    QtScreens screens;
    std::unique_ptr<PointerMonitor> pointerMonitor;
    X11KeyCodeTranslator keyCodes;
    std::unique_ptr<WindowActivation> windowActivation;
    // Without an X connection (a Wayland session) its tokens are empty.
    X11LaunchFeedback launchFeedback;
    SystemdScopes scopes;
    DBusBadgeUpdates badgeUpdates;
    XdgAutostart autostart;
    SyslogSystemLog systemLog;
    FreedesktopNotifications notifications;
    // Tokens for the programs the docks start, where the compositor makes them.
    std::unique_ptr<XdgActivationTokens> activationTokens;
    // $XDG_CACHE_HOME (default ~/.cache), then our own folder.
    LocalCacheFiles cacheFiles{
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
        QStringLiteral("/Moorline")};
};
