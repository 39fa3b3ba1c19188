// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SessionChoice.h"

#include <gtest/gtest.h>

namespace {

using Panels = SessionChoice::Panels;
using Programs = SessionChoice::RunningPrograms;
using Keys = SessionChoice::HotKeys;

const QStringList sway{u"zwlr_layer_shell_v1"_qs, u"zwlr_foreign_toplevel_manager_v1"_qs,
                       u"xdg_activation_v1"_qs};
const QStringList kwin{u"zwlr_layer_shell_v1"_qs, u"org_kde_plasma_window_management"_qs};
const QStringList weston{u"xdg_wm_base"_qs};

struct Case {
    const char* name;
    SessionFacts facts;
    QString platform;
    Panels panels;
    Programs programs;
    Keys keys;
};

SessionFacts wayland(QStringList globals, bool x11 = true, QString desktop = {},
                     bool layerPanelsUsable = true, QString requested = {},
                     bool sessionBus = true) {
    return {true,
            x11,
            std::move(requested),
            true,
            layerPanelsUsable,
            std::move(globals),
            std::move(desktop),
            sessionBus};
}

const SessionFacts x11{false, true, {}, false, true, {}, u"XFCE"_qs, true};

TEST(SessionChoice, PicksTheBackendsTheSessionOffers) {
    const Case cases[] = {
        {"an X11 session", x11, {}, Panels::x11Windows, Programs::ewmh, Keys::x11Grabs},
        {"tests on offscreen under sway",
         wayland(sway, true, {}, true, u"offscreen"_qs),
         {},
         Panels::x11Windows,
         Programs::ewmh,
         Keys::x11Grabs},
        {"sway", wayland(sway), u"wayland"_qs, Panels::layerSurfaces, Programs::wlrToplevels,
         Keys::portal},
        {"KWin", wayland(kwin, true, u"KDE"_qs), u"wayland"_qs, Panels::layerSurfaces,
         Programs::plasmaWindows, Keys::portal},
        {"both window lists: the wlroots one",
         wayland(sway + QStringList{u"org_kde_plasma_window_management"_qs}), u"wayland"_qs,
         Panels::layerSurfaces, Programs::wlrToplevels, Keys::portal},
        {"KWin without our desktop entry: no list", wayland(kwin.mid(0, 1), true, u"KDE"_qs),
         u"wayland"_qs, Panels::layerSurfaces, Programs::none, Keys::portal},
        {"KWin with another Qt: XWayland keeps the frames", wayland(kwin, true, u"KDE"_qs, false),
         u"xcb"_qs, Panels::x11Windows, Programs::plasmaWindows, Keys::portal},
        {"GNOME", wayland(weston, true, u"ubuntu:GNOME"_qs), u"xcb"_qs, Panels::x11Windows,
         Programs::none, Keys::portal},
        {"sway with another Qt: XWayland would pile the panels up", wayland(sway, true, {}, false),
         u"wayland"_qs, Panels::waylandWindows, Programs::wlrToplevels, Keys::portal},
        {"weston without XWayland", wayland(weston, false), u"wayland"_qs, Panels::waylandWindows,
         Programs::none, Keys::portal},
        {"sway, the user asking for XWayland", wayland(sway, true, {}, true, u"xcb"_qs), u"xcb"_qs,
         Panels::x11Windows, Programs::wlrToplevels, Keys::portal},
        {"sway without a session bus", wayland(sway, true, {}, true, {}, false), u"wayland"_qs,
         Panels::layerSurfaces, Programs::wlrToplevels, Keys::command},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SessionChoice choice = SessionChoice::choose(c.facts);
        EXPECT_EQ(choice.qtPlatform, c.platform);
        EXPECT_EQ(choice.panels, c.panels);
        EXPECT_EQ(choice.runningPrograms, c.programs);
        EXPECT_EQ(choice.hotKeys, c.keys);
        EXPECT_FALSE(choice.describe().isEmpty());
    }
    // Tokens come from Qt's own connection: none when Qt runs on XWayland.
    EXPECT_TRUE(SessionChoice::choose(wayland(sway)).activationTokens);
    EXPECT_FALSE(SessionChoice::choose(wayland(sway, true, {}, true, u"xcb"_qs)).activationTokens);
    EXPECT_FALSE(SessionChoice::choose(wayland(weston, false)).activationTokens);
    // XWayland panels learn of the pointer from X11 strips at the edges.
    EXPECT_EQ(SessionChoice::choose(wayland(weston, true, u"GNOME"_qs)).pointerWatch,
              SessionChoice::PointerWatch::x11EdgeStrips);
}

} // namespace
