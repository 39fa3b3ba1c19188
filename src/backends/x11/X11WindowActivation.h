// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/WindowActivation.h"

// Activation on X11 through Qt's own xcb connection: the startup id goes on the window as
// _NET_STARTUP_ID, its launch time as _NET_WM_USER_TIME and into an EWMH _NET_ACTIVE_WINDOW
// request, so that a window manager that prevents focus stealing sees a fresh user action; a
// startup-notification "remove" message then ends the launcher's busy feedback. A Wayland
// activation token means nothing to an X server and is left alone.
class X11WindowActivation final : public WindowActivation {
public:
    void activate(WId window, const LaunchToken& token) override;

    // The launch time a startup id carries ("..._TIME12345"), or 0 (X's CurrentTime).
    static std::uint32_t launchTime(const QByteArray& startupId);
};
