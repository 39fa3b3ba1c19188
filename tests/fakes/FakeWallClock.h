// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Scheduler.h"
#include "platform/Signal.h"
#include "platform/WallClock.h"

#include <chrono>
#include <cmath>
#include <memory>

// A wall clock that moves with a scheduler's (the virtual clock in logic tests): `start` seconds
// since 2001 when the scheduler's time was zero, plus whatever jumps the test makes it take.
class FakeWallClock final : public WallClock {
public:
    FakeWallClock(Scheduler& scheduler, double start) : scheduler_(scheduler), start_(start) {}

    double now() const override {
        return start_ + jumped_ +
               std::chrono::duration<double>(scheduler_.now().time_since_epoch()).count();
    }
    Subscription onMinuteChange(std::function<void()> action) override {
        auto subscription = std::make_shared<Subscription>(changed_.connect(std::move(action)));
        if (changed_.size() == 1)
            arm();
        // Nothing waits for a minute nobody listens to.
        return Subscription([this, subscription] {
            subscription->cancel();
            if (changed_.size() == 0)
                alarm_.cancel();
        });
    }
    // The clock is set (or the computer wakes) `seconds` later than it was.
    void jump(double seconds) {
        jumped_ += seconds;
        fire();
    }

private:
    void arm() {
        const auto ms = std::llround(now() * 1000);
        const auto toNextMinute = 60'000 - ((ms % 60'000) + 60'000) % 60'000;
        alarm_ = scheduler_.schedule(std::chrono::milliseconds(toNextMinute), [this] { fire(); });
    }
    void fire() {
        if (changed_.size() == 0) {
            alarm_.cancel();
            return;
        }
        arm();
        changed_.emit();
    }

    Scheduler& scheduler_;
    double start_;
    double jumped_ = 0;
    Signal<> changed_;
    Subscription alarm_;
};
