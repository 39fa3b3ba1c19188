// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <Qt>

#include <cstdint>
#include <optional>

// Turns a key chord (macOS virtual key code, Carbon modifier mask) into short text of modifier
// glyphs and a key name, and keyboard modifiers into that mask. Stateless.
class KeyChordFormatter {
public:
    KeyChordFormatter() = delete;

    // "⇧⌘K" and the like; "None" when either part is missing.
    static QString string(std::optional<std::uint32_t> keyCode,
                          std::optional<std::uint32_t> modifiers);
    // The key's name, or "Key" and the code for keys without one.
    static QString keyName(std::uint32_t keyCode);
    // The Carbon mask of the chord modifiers among `modifiers`: Meta (the Super key on X11) is
    // command, Alt is option. Keypad and group-switch flags drop out.
    static std::uint32_t carbonFlags(Qt::KeyboardModifiers modifiers);
};
