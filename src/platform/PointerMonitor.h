// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Subscription.h"

#include <functional>

// A global monitor of pointer motion anywhere on the desktop, over other programs' windows too.
class PointerMonitor {
public:
    virtual ~PointerMonitor() = default;

    // Calls `handler` for pointer motion until the handle is dropped. The handler learns only that
    // the pointer moved; it asks Screens where it is. Bursts may be reported as one call.
    [[nodiscard]] virtual Subscription install(std::function<void()> handler) = 0;
};
