// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Subscription.h"

#include <QPointF>
#include <QRectF>

#include <functional>
#include <optional>
#include <vector>

// The screens and the pointer, in the docks' space (origin at the lower-left corner of the
// primary screen, y up).
class Screens {
public:
    virtual ~Screens() = default;

    // Full frames of all screens, in the window system's order.
    virtual std::vector<QRectF> frames() const = 0;
    // The frame of the main (primary) screen, absent when there is no screen at all.
    virtual std::optional<QRectF> mainFrame() const = 0;
    virtual QPointF pointerLocation() const = 0;
    // Calls `handler` whenever a screen is added, removed, moved or resized, or another one
    // becomes the primary screen, until the handle is dropped. A monitor being rearranged gives
    // several calls in a row, some of them in passing states.
    [[nodiscard]] virtual Subscription observeChanges(std::function<void()> handler) = 0;
};
