// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Subscription.h"

#include <chrono>
#include <functional>

// Main-thread scheduling: posted work, cancellable delayed work, repeating work and a monotonic
// clock. Every timed thing in the program goes through here so that tests can run on a virtual
// clock. The returned Subscription is the work's handle: dropping it cancels work not yet run,
// which is how an owner that goes away takes its pending work with it.
class Scheduler {
public:
    using Duration = std::chrono::milliseconds;
    using TimePoint = std::chrono::time_point<std::chrono::steady_clock, Duration>;
    using Action = std::function<void()>;

    virtual ~Scheduler() = default;

    // Runs `action` soon, on the main thread, after work posted before it. Not cancellable:
    // capture the owner weakly (LifetimeGuard) when it may go away.
    virtual void post(Action action) = 0;
    // Runs `action` once after `delay` unless the handle is dropped or cancelled first.
    [[nodiscard]] virtual Subscription schedule(Duration delay, Action action) = 0;
    // Runs `action` every `interval` until the handle is dropped or cancelled.
    [[nodiscard]] virtual Subscription repeat(Duration interval, Action action) = 0;
    virtual TimePoint now() const = 0;
};
