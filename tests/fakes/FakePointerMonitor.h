// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/FakeScreens.h"
#include "platform/PointerMonitor.h"

#include <map>
#include <memory>

// A pointer monitor driven by the test: move() places the pointer and reports the motion to
// every installed handler.
class FakePointerMonitor final : public PointerMonitor {
public:
    explicit FakePointerMonitor(FakeScreens* screens = nullptr) : screens_(screens) {}

    Subscription install(std::function<void()> handler) override {
        const std::uint64_t id = nextId_++;
        handlers_->emplace(id, std::move(handler));
        return Subscription([weak = std::weak_ptr(handlers_), id] {
            if (auto handlers = weak.lock())
                handlers->erase(id);
        });
    }

    void move(QPointF to) {
        if (screens_)
            screens_->pointer = to;
        // A copy: handlers may remove themselves while being called.
        const auto current = *handlers_;
        for (const auto& [id, handler] : current)
            handler();
    }
    std::size_t activeCount() const { return handlers_->size(); }

private:
    FakeScreens* screens_;
    std::uint64_t nextId_ = 1;
    std::shared_ptr<std::map<std::uint64_t, std::function<void()>>> handlers_ =
        std::make_shared<std::map<std::uint64_t, std::function<void()>>>();
};
