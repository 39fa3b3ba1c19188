// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/KeyChordFormatter.h"

#include <gtest/gtest.h>

#include <map>

namespace {
constexpr std::uint32_t cmd = 0x100;
constexpr std::uint32_t shift = 0x200;
constexpr std::uint32_t option = 0x800;
constexpr std::uint32_t control = 0x1000;
} // namespace

TEST(KeyChordFormatterTest, NamesEveryKeyOfTheTableAndNumbersTheRest) {
    // clang-format off
    const std::map<std::uint32_t, QString> names = {
        {0, "A"}, {1, "S"}, {2, "D"}, {3, "F"}, {4, "H"}, {5, "G"}, {6, "Z"}, {7, "X"},
        {8, "C"}, {9, "V"}, {11, "B"}, {12, "Q"}, {13, "W"}, {14, "E"}, {15, "R"}, {16, "Y"},
        {17, "T"}, {31, "O"}, {32, "U"}, {34, "I"}, {35, "P"}, {37, "L"}, {38, "J"}, {40, "K"},
        {45, "N"}, {46, "M"},
        {18, "1"}, {19, "2"}, {20, "3"}, {21, "4"}, {22, "6"}, {23, "5"}, {25, "9"}, {26, "7"},
        {28, "8"}, {29, "0"},
        {36, u"\u21A9"_qs}, {48, u"\u21E5"_qs}, {49, "Space"}, {51, u"\u232B"_qs},
        {53, u"\u238B"_qs}, {123, u"\u2190"_qs}, {124, u"\u2192"_qs}, {125, u"\u2193"_qs},
        {126, u"\u2191"_qs},
    };
    // clang-format on
    ASSERT_EQ(names.size(), 45u);
    for (std::uint32_t code = 0; code < 300; ++code) {
        const auto named = names.find(code);
        const QString expected =
            named != names.end() ? named->second : QStringLiteral("Key%1").arg(code);
        EXPECT_EQ(KeyChordFormatter::keyName(code), expected) << "key code " << code;
    }
    EXPECT_EQ(KeyChordFormatter::keyName(4294967295u), "Key4294967295");
}

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
