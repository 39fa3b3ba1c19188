#include "fakes/FakePointerMonitor.h"

#include "fakes/FakeScreens.h"

#include <vector>

Subscription FakePointerMonitor::install(std::function<void()> handler) {
    ++installCount;
    const std::uint64_t id = nextId_++;
    handlers_->emplace(id, std::move(handler));
    std::weak_ptr weak = handlers_;
    return Subscription([weak, id] {
        if (auto handlers = weak.lock())
            handlers->erase(id);
    });
}

void FakePointerMonitor::move(QPointF to) {
    if (screens_)
        screens_->pointer = to;
    // Handlers may remove themselves while being called.
    std::vector<std::function<void()>> current;
    for (const auto& [id, handler] : *handlers_)
        current.push_back(handler);
    for (const auto& handler : current)
        handler();
}
