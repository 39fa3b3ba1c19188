// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/KeyCodeTranslator.h"

// On X11 a key event's native scan code is the X keycode (evdev code + 8): its macOS virtual key
// code comes from the position table that the hot keys use the other way round.
class X11KeyCodeTranslator final : public KeyCodeTranslator {
public:
    std::optional<std::uint32_t> virtualKeyCode(std::uint32_t nativeScanCode) const override;
};
