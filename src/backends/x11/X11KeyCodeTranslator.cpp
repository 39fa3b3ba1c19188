// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/X11KeyCodeTranslator.h"

#include "backends/x11/MacKeyCodeMap.h"

#include <limits>

std::optional<std::uint32_t>
X11KeyCodeTranslator::virtualKeyCode(std::uint32_t nativeScanCode) const {
    // X keycodes are single bytes; anything larger did not come from an X key event.
    if (nativeScanCode > std::numeric_limits<std::uint8_t>::max())
        return std::nullopt;
    return MacKeyCodeMap::macKeyCode(static_cast<std::uint8_t>(nativeScanCode));
}
