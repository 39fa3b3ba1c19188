// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/KeyChordFormatter.h"

#include <gtest/gtest.h>

namespace {
constexpr std::uint32_t cmd = 0x100;
constexpr std::uint32_t shift = 0x200;
constexpr std::uint32_t option = 0x800;
constexpr std::uint32_t control = 0x1000;
} // namespace

TEST(KeyChordFormatterTest, WritesModifiersInFixedOrderBeforeTheKey) {
    struct Case {
        std::optional<std::uint32_t> keyCode;
        std::optional<std::uint32_t> modifiers;
        QString text;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, "None"},
        {40, std::nullopt, "None"},
        {std::nullopt, cmd, "None"},
        {40, cmd | shift, u"\u21E7\u2318K"_qs},
        {49, control | option, u"\u2303\u2325Space"_qs},
        {36, cmd, u"\u2318\u21A9"_qs},
        // The letters and digits are checked against a real keymap (MacKeyCodeMapTest); these
        // keys have a symbol, the others a number.
        {48, shift, u"\u21E7\u21E5"_qs},
        {51, option, u"\u2325\u232B"_qs},
        {53, control, u"\u2303\u238B"_qs},
        {123, cmd, u"\u2318\u2190"_qs},
        {124, cmd, u"\u2318\u2192"_qs},
        {125, cmd, u"\u2318\u2193"_qs},
        {126, cmd, u"\u2318\u2191"_qs},
        {4294967295u, cmd, u"\u2318Key4294967295"_qs},
        {0, control | option | shift | cmd, u"\u2303\u2325\u21E7\u2318A"_qs},
        {24, shift, u"\u21E7Key24"_qs},
        {27, 0, "Key27"},
        // Caps lock (0x400) and bits beyond the four modifiers show nothing.
        {40, 0x400 | 0x10000 | cmd, u"\u2318K"_qs},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyChordFormatter::string(c.keyCode, c.modifiers), c.text)
            << c.text.toStdString();
    }
}

TEST(KeyChordFormatterTest, CarbonFlagsTakeOnlyTheFourChordModifiers) {
    struct Case {
        Qt::KeyboardModifiers modifiers;
        std::uint32_t mask;
    };
    const Case cases[] = {
        {Qt::NoModifier, 0},
        {Qt::MetaModifier, cmd},
        {Qt::AltModifier, option},
        {Qt::ControlModifier, control},
        {Qt::ShiftModifier, shift},
        {Qt::ShiftModifier | Qt::MetaModifier, cmd | shift},
        {Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier,
         cmd | shift | option | control},
        {Qt::KeypadModifier | Qt::GroupSwitchModifier, 0},
        {Qt::KeypadModifier | Qt::ControlModifier, control},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyChordFormatter::carbonFlags(c.modifiers), c.mask) << c.modifiers.toInt();
}
