// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/VirtualScheduler.h"
#include "platform/Worker.h"

#include <deque>
#include <memory>

// A Worker on the virtual clock: each piece of work runs when the scheduler drains its posted
// work (or at waitForAll), and its `done` is posted after it, as the real one's answer comes on
// a later pass of the event loop. While `held`, work waits as behind a slow disk.
class FakeWorker final : public Worker {
public:
    explicit FakeWorker(VirtualScheduler& scheduler) : scheduler_(scheduler) {}

    Subscription run(Work work, Work done) override {
        auto wanted = std::make_shared<bool>(true);
        queue_->push_back({std::move(work), std::move(done), wanted});
        post();
        return Subscription([wanted] { *wanted = false; });
    }
    void waitForAll() override {
        while (!queue_->empty())
            runNext();
    }
    std::size_t queued() const { return queue_->size(); }
    void hold() { held_ = true; }
    void release() {
        held_ = false;
        for (std::size_t i = 0; i < queue_->size(); ++i)
            post();
    }

private:
    struct Piece {
        Work work;
        Work done;
        std::shared_ptr<bool> wanted;
    };

    void post() {
        scheduler_.post([queue = std::weak_ptr(queue_), this] {
            if (queue.lock() && !held_)
                runNext();
        });
    }
    void runNext() {
        if (queue_->empty())
            return;
        Piece piece = std::move(queue_->front());
        queue_->pop_front();
        piece.work();
        scheduler_.post([wanted = piece.wanted, done = std::move(piece.done)] {
            if (*wanted)
                done();
        });
    }

    VirtualScheduler& scheduler_;
    bool held_ = false;
    std::shared_ptr<std::deque<Piece>> queue_ = std::make_shared<std::deque<Piece>>();
};
