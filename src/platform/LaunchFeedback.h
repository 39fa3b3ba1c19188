// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LaunchToken.h"

#include <QString>

// The desktop's side of a launch: a token for the program, so that the window manager lets its
// first window come forward, and the busy feedback it shows until the launch is over. On X11 a
// startup-notification id with its "new" and "remove" messages; where the window system has
// neither, an empty token.
class LaunchFeedback {
public:
    // What the feedback may show of the launch.
    struct Launch {
        QString name;
        // A theme icon name or a file.
        QString icon;
        QString desktopId;
        QString startupWMClass;
        // The desktop entry's file.
        QString desktopFile;
    };

    virtual ~LaunchFeedback() = default;

    // A fresh token for one launch; the feedback starts.
    virtual LaunchToken begin(const Launch& launch) = 0;
    // The launch is over (its window came, it failed, or nothing came in time): the feedback
    // ends. Ending a token twice does no harm.
    virtual void end(const LaunchToken& token) = 0;
};
