// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <Qt>

#include <cstdint>
#include <optional>

// Turns a key chord (macOS virtual key code, Carbon modifier mask, as docks.json stores them)
// into the text Linux desktops write for it ("Ctrl+Alt+D"), and keyboard modifiers into that
// mask. Stateless.
class KeyChordFormatter {
public:
    KeyChordFormatter() = delete;

    // "Ctrl+Shift+K" and the like, as Qt writes native key sequences; "None" when either part
    // is missing.
    static QString string(std::optional<std::uint32_t> keyCode,
                          std::optional<std::uint32_t> modifiers);
    // The key's name ("K", "Return", "F5", "Num+7"), or "Key" and the code for keys without one.
    static QString keyName(std::uint32_t keyCode);
    // The chord as desktop shortcut services write triggers: modifiers in capitals, then the
    // key's xkbcommon keysym name, joined by "+" ("CTRL+ALT+d", "LOGO+KP_Add"). Empty for a key
    // without such a name, or a mask with no chord modifier or bits beyond them.
    static QString xdgTrigger(std::uint32_t keyCode, std::uint32_t modifiers);
    // The Carbon mask of the chord modifiers among `modifiers`: Meta (the Super key on X11) is
    // command, Alt is option. Keypad and group-switch flags drop out.
    static std::uint32_t carbonFlags(Qt::KeyboardModifiers modifiers);
    // The keyboard modifiers of a Carbon mask; bits beyond the four chord modifiers drop out.
    static Qt::KeyboardModifiers qtModifiers(std::uint32_t mask);
};
