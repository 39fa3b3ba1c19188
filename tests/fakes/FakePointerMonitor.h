#pragma once

#include "platform/PointerMonitor.h"

#include <QPointF>

#include <cstdint>
#include <map>
#include <memory>

class FakeScreens;

// A pointer monitor driven by the test: move() places the pointer and reports the motion to
// every installed handler.
class FakePointerMonitor final : public PointerMonitor {
public:
    explicit FakePointerMonitor(FakeScreens* screens = nullptr) : screens_(screens) {}

    Subscription install(std::function<void()> handler) override;

    void move(QPointF to);
    std::size_t activeCount() const { return handlers_->size(); }
    int installCount = 0;

private:
    FakeScreens* screens_;
    std::uint64_t nextId_ = 1;
    std::shared_ptr<std::map<std::uint64_t, std::function<void()>>> handlers_ =
        std::make_shared<std::map<std::uint64_t, std::function<void()>>>();
};
