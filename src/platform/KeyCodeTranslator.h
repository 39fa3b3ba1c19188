// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

// Names a pressed key the way docks.json does: the keyboard's own code for the key (a key
// event's native scan code; the X keycode on X11) becomes a macOS virtual key code. Both name a
// position on the keyboard, so the translation holds for every layout.
class KeyCodeTranslator {
public:
    virtual ~KeyCodeTranslator() = default;

    // The virtual key code at that position; nothing for a key a Mac keyboard lacks (and for
    // modifier keys, which are never the key of a chord).
    virtual std::optional<std::uint32_t> virtualKeyCode(std::uint32_t nativeScanCode) const = 0;
};
