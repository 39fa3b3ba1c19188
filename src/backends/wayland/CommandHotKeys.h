// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/HotKeyBackend.h"

// Hot keys on a Wayland session with no shortcut service: no program may grab keys there, so
// every chord is refused and the user binds "moorline --toggle DOCK" in the compositor instead.
class CommandHotKeys final : public HotKeyBackend {
public:
    void setPressHandler(PressHandler) override {}
    std::optional<Handle> grab(std::uint32_t, std::uint32_t, std::uint32_t, const Label&) override {
        return std::nullopt;
    }
    void release(Handle) override {}
    bool rebind(Handle, std::uint32_t, const Label&) override { return false; }
    bool firesEverywhere() const override { return false; }
};
