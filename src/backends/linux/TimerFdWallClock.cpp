// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/linux/TimerFdWallClock.h"

#include "models/ReferenceDate.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <ctime>

#include <sys/timerfd.h>
#include <unistd.h>

TimerFdWallClock::TimerFdWallClock() = default;

TimerFdWallClock::~TimerFdWallClock() {
    *alive_ = false;
    close();
}

double TimerFdWallClock::now() const {
    return ReferenceDate::now();
}

Subscription TimerFdWallClock::onMinuteChange(std::function<void()> action) {
    Subscription subscription = minuteChanged_.connect(std::move(action));
    if (fd_ < 0)
        open();
    // Closed with the last listener.
    return Subscription([this, alive = std::weak_ptr(alive_),
                         inner = std::make_shared<Subscription>(std::move(subscription))] {
        inner->cancel();
        if (alive.lock() && minuteChanged_.size() == 0)
            close();
    });
}

void TimerFdWallClock::open() {
    fd_ = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ < 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { fired(); });
    arm();
}

void TimerFdWallClock::close() {
    // The last listener may leave from within a call: the notifier goes once that is over.
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_.release()->deleteLater();
    }
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void TimerFdWallClock::arm() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    itimerspec next{};
    next.it_value.tv_sec = (now.tv_sec / 60 + 1) * 60;
    // Cancelled, and so readable with ECANCELED, whenever the clock is set.
    ::timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &next, nullptr);
}

void TimerFdWallClock::fired() {
    if (fd_ < 0)
        return;
    std::uint64_t expirations = 0;
    // The minute came, or the clock jumped (ECANCELED): either way what it shows may differ.
    if (::read(fd_, &expirations, sizeof expirations) < 0 && errno == EAGAIN)
        return;
    arm();
    minuteChanged_.emit();
}
