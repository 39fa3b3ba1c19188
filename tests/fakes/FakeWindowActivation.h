// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/WindowActivation.h"

// Activates nothing: no test here has a window of another program to bring forward.
class FakeWindowActivation final : public WindowActivation {
public:
    void activate(WId, const LaunchToken&) override {}
};
