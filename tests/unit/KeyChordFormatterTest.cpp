// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/KeyChordFormatter.h"

#include <gtest/gtest.h>

namespace {
constexpr std::uint32_t cmd = 0x100;
constexpr std::uint32_t shift = 0x200;
constexpr std::uint32_t option = 0x800;
constexpr std::uint32_t control = 0x1000;
} // namespace

TEST(KeyChordFormatterTest, NamesKeysAsLinuxDesktopsDoAndNumbersTheRest) {
    // clang-format off
    const std::map<std::uint32_t, QString> names = {
        {0, "A"}, {2, "D"}, {40, "K"}, {46, "M"}, {18, "1"}, {22, "6"}, {29, "0"},
        {24, "="}, {33, "["}, {43, ","}, {50, "`"},
        {36, "Return"}, {48, "Tab"}, {49, "Space"}, {51, "Backspace"}, {53, "Esc"},
        {122, "F1"}, {111, "F12"}, {90, "F20"}, {117, "Del"}, {115, "Home"}, {121, "PgDown"},
        {123, "Left"}, {126, "Up"}, {89, "Num+7"}, {76, "Num+Enter"},
    };
    // clang-format on
    for (const auto& [code, name] : names)
        EXPECT_EQ(KeyChordFormatter::keyName(code), name) << "key code " << code;
    // Codes that no Mac keyboard sends.
    for (const std::uint32_t code : {10u, 52u, 93u, 127u, 300u, 4294967295u})
        EXPECT_EQ(KeyChordFormatter::keyName(code), QStringLiteral("Key%1").arg(code));
}

TEST(KeyChordFormatterTest, WritesChordsAsLinuxDesktopsDo) {
    struct Case {
        std::optional<std::uint32_t> keyCode;
        std::optional<std::uint32_t> modifiers;
        QString text;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, "None"},
        {40, std::nullopt, "None"},
        {std::nullopt, cmd, "None"},
        {2, control | option, "Ctrl+Alt+D"},
        {40, cmd | shift, "Meta+Shift+K"},
        {49, control | option, "Ctrl+Alt+Space"},
        {0, control | option | shift | cmd, "Meta+Ctrl+Alt+Shift+A"},
        {10, shift, "Shift+Key10"},
        {27, 0, "-"},
        {93, 0, "Key93"},
        // Caps lock (0x400) and bits beyond the four modifiers show nothing.
        {40, 0x400 | 0x10000 | control, "Ctrl+K"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyChordFormatter::string(c.keyCode, c.modifiers), c.text)
            << c.text.toStdString();
    }
}

TEST(KeyChordFormatterTest, WritesChordsAsShortcutServicesTriggers) {
    const std::tuple<std::uint32_t, std::uint32_t, const char*> cases[] = {
        {2, control | option, "CTRL+ALT+d"},
        {40, cmd | shift, "SHIFT+LOGO+k"},
        {49, option, "ALT+space"},
        {121, control, "CTRL+Page_Down"},
        {69, cmd, "LOGO+KP_Add"},
        {89, cmd, "LOGO+KP_7"},
        // No modifier, a lock among them, a key without a keysym name: no trigger.
        {2, 0, ""},
        {2, control | 0x400, ""},
        {93, control, ""},
    };
    for (const auto& [keyCode, modifiers, trigger] : cases)
        EXPECT_EQ(KeyChordFormatter::xdgTrigger(keyCode, modifiers), QLatin1String(trigger));
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
