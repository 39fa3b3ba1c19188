// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// What a launcher hands the program it starts so that the window manager lets that program's
// window come forward: the X startup-notification id (DESKTOP_STARTUP_ID) and the Wayland
// activation token (XDG_ACTIVATION_TOKEN). Either may be empty.
struct LaunchToken {
    QByteArray startupId;
    QByteArray activationToken;

    bool isEmpty() const { return startupId.isEmpty() && activationToken.isEmpty(); }
    bool operator==(const LaunchToken&) const = default;
};
