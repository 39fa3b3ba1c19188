// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGui/qwindowdefs.h>

// What a launcher hands the program it starts so that the window manager lets that program's
// window come forward: the X startup-notification id (DESKTOP_STARTUP_ID) and the Wayland
// activation token (XDG_ACTIVATION_TOKEN). Either may be empty.
struct LaunchToken {
    QByteArray startupId;
    QByteArray activationToken;

    bool isEmpty() const { return startupId.isEmpty() && activationToken.isEmpty(); }
    bool operator==(const LaunchToken&) const = default;
};

// Brings one of our windows forward for a launch the user made elsewhere (a second start of the
// program): window managers that prevent focus stealing let it through when it carries the
// launch's token, and the launcher's busy feedback ends.
class WindowActivation {
public:
    virtual ~WindowActivation() = default;

    // Call after the window is shown. Does nothing with an empty token, nor where the window
    // system has no such notion.
    virtual void activate(WId window, const LaunchToken& token) = 0;
};
