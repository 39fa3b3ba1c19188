// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backends/desktop/DesktopFileIcons.h"
#include "backends/desktop/GioDefaultApplications.h"
#include "backends/desktop/GioDesktop.h"
#include "backends/desktop/GioTrash.h"
#include "backends/desktop/QtClipboard.h"
#include "backends/desktop/QtImageFileChooser.h"
#include "backends/desktop/XdgAutostart.h"
#include "backends/linux/LinuxSystemStatistics.h"
#include "backends/linux/LocalCacheFiles.h"
#include "backends/linux/LocalFileSystem.h"
#include "backends/linux/SyslogSystemLog.h"
#include "backends/linux/TimerFdWallClock.h"
#include "backends/x11/EwmhRunningApplications.h"
#include "backends/x11/QtScreens.h"
#include "backends/x11/X11HotKeyBackend.h"
#include "backends/x11/X11KeyCodeTranslator.h"
#include "backends/x11/X11WindowActivation.h"
#include "backends/x11/X11WindowHints.h"
#include "backends/x11/XInputPointerMonitor.h"
#include "platform/QtScheduler.h"

#include <QStandardPaths>

// The real Linux implementations of the platform interfaces, chosen in this one place. Made once
// the application object exists (the X11 ones use its connection), kept to the end.
struct Platform {
    QtScheduler scheduler;
    LocalFileSystem fileSystem;
    GioDefaultApplications defaultApplications;
    GioDesktop desktop;
    EwmhRunningApplications runningApplications;
    LinuxSystemStatistics systemStatistics;
    TimerFdWallClock wallClock;
    QtClipboard clipboard;
    GioTrash trash;
    DesktopFileIcons fileIcons;
    QtImageFileChooser imageChooser;
    X11HotKeyBackend hotKeyBackend{scheduler};
    X11WindowHints windowHints;
    QtScreens screens;
    XInputPointerMonitor pointerMonitor;
    X11KeyCodeTranslator keyCodes;
    X11WindowActivation windowActivation;
    XdgAutostart autostart;
    SyslogSystemLog systemLog;
    // $XDG_CACHE_HOME (default ~/.cache), then our own folder.
    LocalCacheFiles cacheFiles{
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
        QStringLiteral("/Moorline")};
};
