// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/VirtualScheduler.h"

void VirtualScheduler::post(Action action) {
    add(now_, std::move(action), std::nullopt).release();
}

Subscription VirtualScheduler::schedule(Duration delay, Action action) {
    return add(now_ + delay, std::move(action), std::nullopt);
}

Subscription VirtualScheduler::repeat(Duration interval, Action action) {
    return add(now_ + interval, std::move(action), interval);
}

Subscription VirtualScheduler::add(TimePoint due, Action action, std::optional<Duration> interval) {
    auto work = std::make_shared<Work>(
        Work{std::move(action), interval.value_or(Duration(0)), interval.has_value()});
    std::weak_ptr<Work> weakWork = work;
    queue_->emplace(Key{due, sequence_++}, std::move(work));
    return Subscription([weakQueue = std::weak_ptr(queue_), weakWork] {
        auto queue = weakQueue.lock();
        auto work = weakWork.lock();
        if (!queue || !work)
            return;
        std::erase_if(*queue, [&](const auto& entry) { return entry.second == work; });
        work->repeating = false;
    });
}

bool VirtualScheduler::runNextDue(TimePoint limit) {
    if (queue_->empty() || queue_->begin()->first.first > limit)
        return false;
    auto node = queue_->extract(queue_->begin());
    const auto work = node.mapped();
    now_ = std::max(now_, node.key().first);
    if (work->repeating)
        queue_->emplace(Key{now_ + work->interval, sequence_++}, work);
    const auto action = work->action;
    action();
    return true;
}

void VirtualScheduler::runPending() {
    while (runNextDue(now_)) {
    }
}

void VirtualScheduler::advance(Duration by) {
    const TimePoint target = now_ + by;
    while (runNextDue(target)) {
    }
    now_ = target;
}
