// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Scheduler.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

// A Scheduler on a virtual clock: nothing runs until the test advances time or drains posted
// work, and then everything that falls due runs in order of due time, then of scheduling.
class VirtualScheduler final : public Scheduler {
public:
    void post(Action action) override;
    Subscription schedule(Duration delay, Action action) override;
    Subscription repeat(Duration interval, Action action) override;
    TimePoint now() const override { return now_; }

    // Runs what is due now, posted work included, until nothing more is due.
    void runPending();
    // Moves the clock forward by `by`, running everything that falls due on the way at its time.
    void advance(Duration by);
    // Number of scheduled or posted actions that have not run and are not cancelled.
    std::size_t pendingCount() const { return queue_->size(); }

private:
    struct Work {
        Action action;
        Duration interval{0};
        bool repeating = false;
    };
    using Key = std::pair<TimePoint, std::uint64_t>;
    // A repeating work item has an interval.
    Subscription add(TimePoint due, Action action, std::optional<Duration> interval);
    bool runNextDue(TimePoint limit);

    TimePoint now_{};
    std::uint64_t sequence_ = 0;
    std::shared_ptr<std::map<Key, std::shared_ptr<Work>>> queue_ =
        std::make_shared<std::map<Key, std::shared_ptr<Work>>>();
};
