// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Subscription.h"

#include <functional>

// The time of day, and a call whenever the minute it shows may have changed: at the start of
// each minute, and at once when the clock is set or the computer wakes from sleep, whenever
// that is. Waits on the clock itself, not on a count of seconds that stops while the computer
// sleeps.
class WallClock {
public:
    virtual ~WallClock() = default;

    // Seconds since 2001-01-01 00:00:00 UTC.
    virtual double now() const = 0;
    // Calls `action` at each new minute (and whenever the clock jumps) while the handle is held.
    [[nodiscard]] virtual Subscription onMinuteChange(std::function<void()> action) = 0;
};
