// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/KeyCodeTranslator.h"

#include <map>

// The X keycodes of a US keyboard for the keys tests press, and their macOS virtual key codes;
// other codes (modifiers among them) have none.
class FakeKeyCodeTranslator final : public KeyCodeTranslator {
public:
    static constexpr std::uint32_t xA = 38, xK = 45, xQ = 24, xW = 25, xTab = 23, xSpace = 65,
                                   xShift = 50, xEscape = 9;

    std::optional<std::uint32_t> virtualKeyCode(std::uint32_t nativeScanCode) const override {
        const auto found = codes.find(nativeScanCode);
        return found == codes.end() ? std::nullopt : std::optional(found->second);
    }

    std::map<std::uint32_t, std::uint32_t> codes{{xA, 0},    {xK, 40},     {xQ, 12},     {xW, 13},
                                                 {xTab, 48}, {xSpace, 49}, {xEscape, 53}};
};
