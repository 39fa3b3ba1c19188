// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PointerMonitor.h"

class WindowHints;

// The pointer on a Wayland session, where no program learns where it is outside its own
// surfaces: no global motion, and strips at the screen edges (layer surfaces, through the
// panels' window hints) that bring hidden docks back.
class EdgeStripPointerMonitor final : public PointerMonitor {
public:
    // The hints must outlive every strip.
    explicit EdgeStripPointerMonitor(WindowHints& hints) : hints_(hints) {}

    Subscription install(std::function<void()>) override { return {}; }
    bool seesPointerEverywhere() const override { return false; }
    Subscription watchArea(const QRectF& area, std::function<void()> entered) override;

private:
    WindowHints& hints_;
};
