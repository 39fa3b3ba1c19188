// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LaunchToken.h"

#include <QtGui/qwindowdefs.h>

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
