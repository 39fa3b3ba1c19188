// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Signal.h"
#include "platform/WallClock.h"

#include <memory>

class QSocketNotifier;

// The system clock, with a timerfd set on CLOCK_REALTIME for the start of the next minute:
// unlike a timer of so many seconds, it fires on time after a suspend and is cancelled (and so
// fires) when the clock is set. Open only while someone listens.
class TimerFdWallClock final : public WallClock {
public:
    TimerFdWallClock();
    ~TimerFdWallClock() override;

    double now() const override;
    Subscription onMinuteChange(std::function<void()> action) override;

private:
    void open();
    void close();
    void arm();
    void fired();

    Signal<> minuteChanged_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
