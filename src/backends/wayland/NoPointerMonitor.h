// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PointerMonitor.h"

// A session that tells no program where the pointer is outside its own windows: auto-hide
// never hides a dock there, rather than hiding one it could not bring back.
class NoPointerMonitor final : public PointerMonitor {
public:
    Subscription install(std::function<void()>) override { return {}; }
};
