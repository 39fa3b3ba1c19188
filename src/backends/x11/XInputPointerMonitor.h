// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PointerMonitor.h"

#include <memory>

// Pointer motion anywhere on the X display, from XInput2 raw motion selected on the root window
// through Qt's own connection. The selection and Qt's native event filter exist only while at
// least one handler is installed; all handlers share them.
class XInputPointerMonitor final : public PointerMonitor {
public:
    XInputPointerMonitor();
    ~XInputPointerMonitor() override;
    XInputPointerMonitor(const XInputPointerMonitor&) = delete;
    XInputPointerMonitor& operator=(const XInputPointerMonitor&) = delete;

    Subscription install(std::function<void()> handler) override;

    // True while raw motion is selected and the event filter installed.
    bool isListening() const;
    std::size_t handlerCount() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};
