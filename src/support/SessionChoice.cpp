// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SessionChoice.h"

namespace {

// Compositors known to place XWayland windows where the program asks, with no layer shell of
// their own to prefer.
bool honoursX11Positions(const QString& desktop) {
    const QStringList names = desktop.split(u':', Qt::SkipEmptyParts);
    return names.contains(u"KDE"_qs, Qt::CaseInsensitive) ||
           names.contains(u"GNOME"_qs, Qt::CaseInsensitive);
}

// Where a compositor offers both lists, the wlroots one: it needs no desktop entry naming it
// and hands each window's changes over together, at "done".
SessionChoice::RunningPrograms waylandRunningPrograms(const QStringList& globals) {
    if (globals.contains(u"zwlr_foreign_toplevel_manager_v1"_qs))
        return SessionChoice::RunningPrograms::wlrToplevels;
    if (globals.contains(u"org_kde_plasma_window_management"_qs))
        return SessionChoice::RunningPrograms::plasmaWindows;
    return SessionChoice::RunningPrograms::none;
}

} // namespace

SessionChoice SessionChoice::choose(const SessionFacts& facts) {
    SessionChoice choice;
    const QString& requested = facts.requestedPlatform;
    const bool askedForX11 = requested == u"xcb"_qs;
    if (!facts.wayland || (!requested.isEmpty() && !askedForX11 && requested != u"wayland"_qs)) {
        // An X11 session, or a platform for tests (offscreen): everything through X11, which
        // does nothing where there is none.
        return choice;
    }
    choice.waylandSession = true;
    choice.runningPrograms = waylandRunningPrograms(facts.globals);
    // X11 key grabs on XWayland fire only while an X11 window has the focus.
    choice.hotKeys = HotKeys::command;
    const bool layerShell = facts.globals.contains(u"zwlr_layer_shell_v1"_qs);
    if (layerShell && facts.qtWaylandPlugin && facts.layerPanelsUsable && !askedForX11) {
        choice.qtPlatform = u"wayland"_qs;
        choice.panels = Panels::layerSurfaces;
        // No program learns where the pointer is outside its own surfaces: layer surfaces at
        // the screen edges notice it arriving.
        choice.pointerWatch = PointerWatch::edgeStrips;
    } else if (facts.x11 &&
               (askedForX11 || (requested.isEmpty() &&
                                (honoursX11Positions(facts.desktop) || !facts.qtWaylandPlugin)))) {
        choice.qtPlatform = u"xcb"_qs;
        choice.panels = Panels::x11Windows;
        // Raw motion on XWayland sees the pointer over X11 windows only: X11 windows at the
        // screen edges notice it arriving.
        choice.pointerWatch = PointerWatch::x11EdgeStrips;
    } else {
        choice.qtPlatform = u"wayland"_qs;
        choice.panels = Panels::waylandWindows;
        choice.pointerWatch = PointerWatch::none;
    }
    // Made on Qt's connection, so only where Qt runs on Wayland.
    choice.activationTokens =
        choice.qtPlatform == u"wayland"_qs && facts.globals.contains(u"xdg_activation_v1"_qs);
    return choice;
}

QString SessionChoice::describe() const {
    QString panelText;
    switch (panels) {
    case Panels::x11Windows:
        panelText = waylandSession ? u"X11 windows through XWayland"_qs : u"X11 windows"_qs;
        break;
    case Panels::layerSurfaces:
        panelText = u"layer-shell surfaces"_qs;
        break;
    case Panels::waylandWindows:
        panelText = u"ordinary windows, placed by the compositor (no layer shell)"_qs;
        break;
    }
    QString programs;
    switch (runningPrograms) {
    case RunningPrograms::ewmh:
        programs = waylandSession ? u"EWMH (X11 programs only)"_qs : u"EWMH"_qs;
        break;
    case RunningPrograms::wlrToplevels:
        programs = u"wlr foreign toplevels"_qs;
        break;
    case RunningPrograms::plasmaWindows:
        programs = u"Plasma window management"_qs;
        break;
    case RunningPrograms::none:
        programs = u"none (the compositor lists no windows to other programs)"_qs;
        break;
    }
    const QString keys = hotKeys == HotKeys::x11Grabs
                             ? u"X11 key grabs"_qs
                             : u"\"moorline --toggle DOCK\" bound in the compositor"_qs;
    QString pointer;
    switch (pointerWatch) {
    case PointerWatch::x11RawMotion:
        pointer =
            waylandSession ? u"X11 raw motion (over X11 windows only)"_qs : u"X11 raw motion"_qs;
        break;
    case PointerWatch::edgeStrips:
        pointer = u"edge strips"_qs;
        break;
    case PointerWatch::x11EdgeStrips:
        pointer = u"X11 edge strips"_qs;
        break;
    case PointerWatch::none:
        pointer = u"none (docks stay shown)"_qs;
        break;
    }
    return u"%1 session, Qt platform %2; panels: %3; running programs: %4; hot keys: %5; "
           u"auto-hide: %6; launch activation: %7"_qs.arg(
               waylandSession ? u"Wayland"_qs : u"X11"_qs,
               qtPlatform.isEmpty() ? u"as given"_qs : qtPlatform, panelText, programs, keys,
               pointer,
               activationTokens ? u"xdg-activation"_qs
                                : (waylandSession ? u"none"_qs : u"startup notification"_qs));
}
