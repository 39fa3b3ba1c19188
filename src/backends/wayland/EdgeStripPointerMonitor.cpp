// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/EdgeStripPointerMonitor.h"

#include "backends/wayland/EdgeStrip.h"
#include "platform/Scheduler.h"
#include "platform/ScreenSpace.h"

#include <QGuiApplication>
#include <QScreen>

#include <cstdint>
#include <map>
#include <vector>

struct EdgeStripPointerMonitor::State {
    Scheduler& scheduler;
    StripFactory makeStrip;
    std::map<std::uint64_t, std::unique_ptr<EdgeStrip>> watched;
    std::vector<std::unique_ptr<EdgeStrip>> spares;
    std::uint64_t nextId = 1;
    bool retirePosted = false;

    void drop(std::uint64_t id, const std::shared_ptr<State>& self) {
        const auto it = watched.find(id);
        if (it == watched.end())
            return;
        it->second->setEnteredHandler({});
        spares.push_back(std::move(it->second));
        watched.erase(it);
        if (std::exchange(retirePosted, true))
            return;
        // Not under the strip's own event either, which may be what dropped it.
        scheduler.post([weak = std::weak_ptr(self)] {
            if (const auto state = weak.lock()) {
                state->retirePosted = false;
                state->spares.clear();
            }
        });
    }
};

EdgeStripPointerMonitor::EdgeStripPointerMonitor(Scheduler& scheduler, StripFactory makeStrip)
    : state_(std::make_shared<State>(State{scheduler, std::move(makeStrip), {}, {}})) {}

EdgeStripPointerMonitor::~EdgeStripPointerMonitor() = default;

Subscription EdgeStripPointerMonitor::watchArea(const QRectF& area, std::function<void()> entered) {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return {};
    std::unique_ptr<EdgeStrip> strip;
    if (!state_->spares.empty()) {
        strip = std::move(state_->spares.back());
        state_->spares.pop_back();
    } else {
        strip = state_->makeStrip();
    }
    if (!strip)
        return {};
    strip->setEnteredHandler(std::move(entered));
    strip->place(ScreenSpace::toQt(area, primary->geometry()).toAlignedRect());
    const std::uint64_t id = state_->nextId++;
    state_->watched.emplace(id, std::move(strip));
    return Subscription([weak = std::weak_ptr(state_), id] {
        if (const auto state = weak.lock())
            state->drop(id, state);
    });
}
