#include "fakes/VirtualScheduler.h"

void VirtualScheduler::post(Action action) {
    auto work = std::make_shared<Work>();
    work->action = std::move(action);
    add(now_, std::move(work)).release();
}

Subscription VirtualScheduler::schedule(Duration delay, Action action) {
    auto work = std::make_shared<Work>();
    work->action = std::move(action);
    return add(now_ + delay, std::move(work));
}

Subscription VirtualScheduler::repeat(Duration interval, Action action) {
    auto work = std::make_shared<Work>();
    work->action = std::move(action);
    work->interval = interval;
    work->repeating = true;
    return add(now_ + interval, std::move(work));
}

Subscription VirtualScheduler::add(TimePoint due, std::shared_ptr<Work> work) {
    std::weak_ptr<Work> weakWork = work;
    queue_->emplace(Key{due, sequence_++}, std::move(work));
    std::weak_ptr<std::map<Key, std::shared_ptr<Work>>> weakQueue = queue_;
    return Subscription([weakQueue, weakWork] {
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

std::size_t VirtualScheduler::pendingCount() const {
    return queue_->size();
}
