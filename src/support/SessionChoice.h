// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// What the desktop session offers, and the backends Moorline picks for it. Decided once, before
// the application object exists (the Qt platform is part of the choice), from facts the
// start-up gathers; never silently a platform whose backends do nothing.
struct SessionFacts {
    // A Wayland compositor answered on $WAYLAND_DISPLAY.
    bool wayland = false;
    // $DISPLAY names an X server (the session's own, or XWayland).
    bool x11 = false;
    // The Qt platform the user asked for ($QT_QPA_PLATFORM or -platform), empty if none.
    QString requestedPlatform;
    // Qt's Wayland platform plugin is installed.
    bool qtWaylandPlugin = false;
    // This build can make layer-shell panels with the Qt it runs on.
    bool layerPanelsUsable = false;
    // The interfaces of the compositor's globals.
    QStringList globals;
    // $XDG_CURRENT_DESKTOP.
    QString desktop;
};

struct SessionChoice {
    enum class Panels {
        // Floating X11 windows placed at their frames (an X11 session, or XWayland under a
        // compositor that honours X11 positions).
        x11Windows,
        // Layer surfaces on the top layer at their frames.
        layerSurfaces,
        // Ordinary Wayland windows: the compositor places them.
        waylandWindows,
    };
    enum class RunningPrograms { ewmh, wlrToplevels, plasmaWindows, none };
    enum class HotKeys {
        // XGrabKey on an X11 session.
        x11Grabs,
        // Only the "moorline --toggle" command, bound in the compositor.
        command,
    };
    enum class PointerWatch {
        // XInput2 raw motion of the whole X display.
        x11RawMotion,
        // Thin strips at the screen edges that notice the pointer arriving.
        edgeStrips,
        // The same as X11 windows, for panels that go through XWayland.
        x11EdgeStrips,
        none,
    };

    // The Qt platform to start on; empty to leave Qt's own choice (or the user's) alone.
    QString qtPlatform;
    Panels panels = Panels::x11Windows;
    RunningPrograms runningPrograms = RunningPrograms::ewmh;
    HotKeys hotKeys = HotKeys::x11Grabs;
    PointerWatch pointerWatch = PointerWatch::x11RawMotion;
    // xdg-activation tokens for the programs the docks start.
    bool activationTokens = false;
    bool waylandSession = false;

    static SessionChoice choose(const SessionFacts& facts);
    // One line for the log naming the session and each backend.
    QString describe() const;

    bool operator==(const SessionChoice&) const = default;
};
