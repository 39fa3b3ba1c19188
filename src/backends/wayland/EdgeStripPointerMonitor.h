// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PointerMonitor.h"

#include <functional>
#include <memory>

class EdgeStrip;
class Scheduler;

// The pointer on a Wayland session, where no program learns where it is outside its own
// surfaces: no global motion, and strips at the screen edges that bring hidden docks back.
//
// A watch dropped and asked for again in the same pass of the event loop (a hidden dock whose
// behaviour or screen changed) moves the strip it had rather than making another surface:
// dropped strips wait as spares until the next pass, and only then go.
class EdgeStripPointerMonitor final : public PointerMonitor {
public:
    using StripFactory = std::function<std::unique_ptr<EdgeStrip>()>;

    EdgeStripPointerMonitor(Scheduler& scheduler, StripFactory makeStrip);
    ~EdgeStripPointerMonitor() override;
    EdgeStripPointerMonitor(const EdgeStripPointerMonitor&) = delete;
    EdgeStripPointerMonitor& operator=(const EdgeStripPointerMonitor&) = delete;

    Subscription install(std::function<void()>) override { return {}; }
    bool seesPointerEverywhere() const override { return false; }
    Subscription watchArea(const QRectF& area, std::function<void()> entered) override;

private:
    struct State;
    std::shared_ptr<State> state_;
};
