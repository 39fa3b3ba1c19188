// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/KeyChordFormatter.h"

#include "models/HotKeyBinding.h"

#include <algorithm>
#include <iterator>

namespace {
struct KeyName {
    std::uint32_t keyCode;
    const char16_t* name;
};

// Sorted by key code for the binary search.
// clang-format off
constexpr KeyName keyNames[] = {
    {0, u"A"}, {1, u"S"}, {2, u"D"}, {3, u"F"}, {4, u"H"}, {5, u"G"}, {6, u"Z"}, {7, u"X"},
    {8, u"C"}, {9, u"V"}, {11, u"B"}, {12, u"Q"}, {13, u"W"}, {14, u"E"}, {15, u"R"},
    {16, u"Y"}, {17, u"T"}, {18, u"1"}, {19, u"2"}, {20, u"3"}, {21, u"4"}, {22, u"6"},
    {23, u"5"}, {25, u"9"}, {26, u"7"}, {28, u"8"}, {29, u"0"}, {31, u"O"}, {32, u"U"},
    {34, u"I"}, {35, u"P"}, {36, u"\u21A9"}, {37, u"L"}, {38, u"J"}, {40, u"K"}, {45, u"N"},
    {46, u"M"}, {48, u"\u21E5"}, {49, u"Space"}, {51, u"\u232B"}, {53, u"\u238B"},
    {123, u"\u2190"}, {124, u"\u2192"}, {125, u"\u2193"}, {126, u"\u2191"},
};
// clang-format on

// Glyphs in their fixed reading order: control, option, shift, command.
struct ModifierGlyph {
    std::uint32_t mask;
    char16_t glyph;
};
constexpr ModifierGlyph modifierGlyphs[] = {
    {HotKeyBinding::controlKey, u'\u2303'},
    {HotKeyBinding::optionKey, u'\u2325'},
    {HotKeyBinding::shiftKey, u'\u21E7'},
    {HotKeyBinding::cmdKey, u'\u2318'},
};
} // namespace

QString KeyChordFormatter::string(std::optional<std::uint32_t> keyCode,
                                  std::optional<std::uint32_t> modifiers) {
    if (!keyCode || !modifiers)
        return QStringLiteral("None");
    QString text;
    for (const auto& modifier : modifierGlyphs) {
        if (*modifiers & modifier.mask)
            text += QChar(modifier.glyph);
    }
    return text + keyName(*keyCode);
}

QString KeyChordFormatter::keyName(std::uint32_t keyCode) {
    const auto found = std::lower_bound(
        std::begin(keyNames), std::end(keyNames), keyCode,
        [](const KeyName& entry, std::uint32_t code) { return entry.keyCode < code; });
    if (found != std::end(keyNames) && found->keyCode == keyCode)
        return QString::fromUtf16(found->name);
    return QStringLiteral("Key") + QString::number(keyCode);
}

std::uint32_t KeyChordFormatter::carbonFlags(Qt::KeyboardModifiers modifiers) {
    std::uint32_t mask = 0;
    if (modifiers & Qt::MetaModifier)
        mask |= HotKeyBinding::cmdKey;
    if (modifiers & Qt::AltModifier)
        mask |= HotKeyBinding::optionKey;
    if (modifiers & Qt::ControlModifier)
        mask |= HotKeyBinding::controlKey;
    if (modifiers & Qt::ShiftModifier)
        mask |= HotKeyBinding::shiftKey;
    return mask;
}
