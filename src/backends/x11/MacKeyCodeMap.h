// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

// Translates between the macOS virtual key codes kept in docks.json and X keycodes. Both name a
// position on the keyboard, not a symbol, so the translation holds for every layout.
class MacKeyCodeMap {
public:
    // The X keycode (evdev code + 8) at the position of the macOS key, if this keyboard has one.
    static std::optional<std::uint8_t> xKeycode(std::uint32_t macKeyCode);
    // The macOS virtual key code at the position of the X keycode, if a Mac keyboard has one.
    static std::optional<std::uint32_t> macKeyCode(std::uint8_t xKeycode);
};
