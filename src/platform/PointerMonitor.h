// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Subscription.h"

#include <QRectF>

#include <functional>

// A global monitor of pointer motion anywhere on the desktop, over other programs' windows too;
// or, where the session tells no program where the pointer is outside its own surfaces, strips
// of the screen that notice the pointer arriving.
class PointerMonitor {
public:
    virtual ~PointerMonitor() = default;

    // Calls `handler` for pointer motion until the handle is dropped. The handler learns only that
    // the pointer moved; it asks Screens where it is. Bursts may be reported as one call.
    [[nodiscard]] virtual Subscription install(std::function<void()> handler) = 0;

    // Whether install() reports motion everywhere. When not, the pointer is known only as it
    // enters and leaves our own surfaces: panels and the strips below.
    virtual bool seesPointerEverywhere() const { return true; }
    // Puts a strip that takes the pointer over `area` (the docks' space) and calls `entered` each
    // time the pointer comes onto it, until the handle is dropped (from inside `entered` too).
    // Nothing where seesPointerEverywhere().
    [[nodiscard]] virtual Subscription watchArea(const QRectF& /*area*/,
                                                 std::function<void()> /*entered*/) {
        return {};
    }
};
