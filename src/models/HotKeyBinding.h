// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

// A dock's global key chord: a macOS virtual key code and a Carbon modifier mask, kept in that
// form so that docks.json stays portable. Registered only when both are present.
struct HotKeyBinding {
    static constexpr std::uint32_t cmdKey = 0x100;
    static constexpr std::uint32_t shiftKey = 0x200;
    static constexpr std::uint32_t optionKey = 0x800;
    static constexpr std::uint32_t controlKey = 0x1000;

    std::optional<std::uint32_t> keyCode;
    std::optional<std::uint32_t> modifiers;

    bool isComplete() const { return keyCode.has_value() && modifiers.has_value(); }
    bool operator==(const HotKeyBinding&) const = default;
};
