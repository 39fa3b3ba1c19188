// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Subscription.h"

#include <functional>

// Work off the main thread, one piece at a time in the order given: pure work on an immutable
// snapshot, or a file written whole, whose result the main thread then takes. An interface so
// that tests run it in order on the virtual clock.
class Worker {
public:
    using Work = std::function<void()>;

    virtual ~Worker() = default;

    // Runs `work` on the worker after the work given before it, then `done` on the main thread.
    // `work` touches nothing the main thread uses but what it captured by value. Dropping the
    // handle never stops work that started; `done` is then not called.
    [[nodiscard]] virtual Subscription run(Work work, Work done) = 0;
    // Waits until all the work given so far has run (at quit). Their `done` come later, if ever.
    virtual void waitForAll() = 0;
};
