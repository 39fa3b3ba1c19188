// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LifetimeGuard.h"
#include "platform/Scheduler.h"

#include <functional>
#include <utility>

// Runs an action once on a later pass of the event loop, however often it is asked for before
// that pass: a burst of notifications (a store change, a rearranged monitor, pointer motion)
// gives one run, which then reads the state as it has become. A member of the object the action
// works on; a run already posted does nothing once that object is gone.
class CoalescedTask {
public:
    CoalescedTask(Scheduler& scheduler, std::function<void()> action)
        : scheduler_(scheduler), action_(std::move(action)) {}
    CoalescedTask(const CoalescedTask&) = delete;
    CoalescedTask& operator=(const CoalescedTask&) = delete;

    void request() {
        if (pending_)
            return;
        pending_ = true;
        scheduler_.post(lifetime_.guard([this] { runIfPending(); }));
    }
    // Runs a requested run now rather than on the later pass, which then does nothing.
    void runIfPending() {
        if (!pending_)
            return;
        pending_ = false;
        action_();
    }

private:
    Scheduler& scheduler_;
    std::function<void()> action_;
    bool pending_ = false;
    LifetimeGuard lifetime_;
};
