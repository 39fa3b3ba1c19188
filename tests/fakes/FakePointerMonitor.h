// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/FakeScreens.h"
#include "platform/PointerMonitor.h"

#include <map>
#include <memory>
#include <optional>

// A pointer monitor driven by the test: move() places the pointer and reports the motion to
// every installed handler. With `everywhere` false it stands for a session that reports only
// the strips it watches: enterStrip() puts the pointer onto the strip last asked for.
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

    bool seesPointerEverywhere() const override { return everywhere; }
    Subscription watchArea(const QRectF& area, std::function<void()> entered) override {
        strip = area;
        auto handler = std::make_shared<std::function<void()>>(std::move(entered));
        stripHandler_ = handler;
        return Subscription([this, handler] {
            if (stripHandler_.lock() == handler)
                strip.reset();
        });
    }
    void enterStrip() {
        if (auto handler = stripHandler_.lock(); handler && strip)
            (*handler)();
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

    bool everywhere = true;
    // The strip watched now, if any.
    std::optional<QRectF> strip;

private:
    std::weak_ptr<std::function<void()>> stripHandler_;
    FakeScreens* screens_;
    std::uint64_t nextId_ = 1;
    std::shared_ptr<std::map<std::uint64_t, std::function<void()>>> handlers_ =
        std::make_shared<std::map<std::uint64_t, std::function<void()>>>();
};
