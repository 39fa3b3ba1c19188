// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/KeyChordFormatter.h"

#include "models/HotKeyBinding.h"

#include <QKeySequence>

#include <algorithm>
#include <iterator>

namespace {

struct KeyOfCode {
    std::uint32_t keyCode;
    Qt::Key key;
    bool keypad = false;
};

// The keys a Mac keyboard has a code for, by position, as Qt names them. Sorted by key code for
// the binary search.
// clang-format off
constexpr KeyOfCode keys[] = {
    {0, Qt::Key_A}, {1, Qt::Key_S}, {2, Qt::Key_D}, {3, Qt::Key_F}, {4, Qt::Key_H},
    {5, Qt::Key_G}, {6, Qt::Key_Z}, {7, Qt::Key_X}, {8, Qt::Key_C}, {9, Qt::Key_V},
    {11, Qt::Key_B}, {12, Qt::Key_Q}, {13, Qt::Key_W}, {14, Qt::Key_E}, {15, Qt::Key_R},
    {16, Qt::Key_Y}, {17, Qt::Key_T}, {18, Qt::Key_1}, {19, Qt::Key_2}, {20, Qt::Key_3},
    {21, Qt::Key_4}, {22, Qt::Key_6}, {23, Qt::Key_5}, {24, Qt::Key_Equal}, {25, Qt::Key_9},
    {26, Qt::Key_7}, {27, Qt::Key_Minus}, {28, Qt::Key_8}, {29, Qt::Key_0},
    {30, Qt::Key_BracketRight}, {31, Qt::Key_O}, {32, Qt::Key_U}, {33, Qt::Key_BracketLeft},
    {34, Qt::Key_I}, {35, Qt::Key_P}, {36, Qt::Key_Return}, {37, Qt::Key_L}, {38, Qt::Key_J},
    {39, Qt::Key_Apostrophe}, {40, Qt::Key_K}, {41, Qt::Key_Semicolon}, {42, Qt::Key_Backslash},
    {43, Qt::Key_Comma}, {44, Qt::Key_Slash}, {45, Qt::Key_N}, {46, Qt::Key_M},
    {47, Qt::Key_Period}, {48, Qt::Key_Tab}, {49, Qt::Key_Space}, {50, Qt::Key_QuoteLeft},
    {51, Qt::Key_Backspace}, {53, Qt::Key_Escape}, {64, Qt::Key_F17},
    {65, Qt::Key_Period, true}, {67, Qt::Key_Asterisk, true},
    {69, Qt::Key_Plus, true}, {71, Qt::Key_Clear},
    {72, Qt::Key_VolumeUp}, {73, Qt::Key_VolumeDown}, {74, Qt::Key_VolumeMute},
    {75, Qt::Key_Slash, true}, {76, Qt::Key_Enter, true},
    {78, Qt::Key_Minus, true}, {79, Qt::Key_F18}, {80, Qt::Key_F19},
    {81, Qt::Key_Equal, true}, {82, Qt::Key_0, true},
    {83, Qt::Key_1, true}, {84, Qt::Key_2, true},
    {85, Qt::Key_3, true}, {86, Qt::Key_4, true},
    {87, Qt::Key_5, true}, {88, Qt::Key_6, true},
    {89, Qt::Key_7, true}, {90, Qt::Key_F20}, {91, Qt::Key_8, true},
    {92, Qt::Key_9, true}, {96, Qt::Key_F5}, {97, Qt::Key_F6}, {98, Qt::Key_F7},
    {99, Qt::Key_F3}, {100, Qt::Key_F8}, {101, Qt::Key_F9}, {103, Qt::Key_F11},
    {105, Qt::Key_F13}, {106, Qt::Key_F16}, {107, Qt::Key_F14}, {109, Qt::Key_F10},
    {111, Qt::Key_F12}, {113, Qt::Key_F15}, {114, Qt::Key_Insert}, {115, Qt::Key_Home},
    {116, Qt::Key_PageUp}, {117, Qt::Key_Delete}, {118, Qt::Key_F4}, {119, Qt::Key_End},
    {120, Qt::Key_F2}, {121, Qt::Key_PageDown}, {122, Qt::Key_F1}, {123, Qt::Key_Left},
    {124, Qt::Key_Right}, {125, Qt::Key_Down}, {126, Qt::Key_Up},
};
// clang-format on
static_assert(std::is_sorted(std::begin(keys), std::end(keys),
                             [](const KeyOfCode& a, const KeyOfCode& b) {
                                 return a.keyCode < b.keyCode;
                             }));

std::optional<QKeyCombination> qtKey(std::uint32_t keyCode, Qt::KeyboardModifiers held = {}) {
    const auto found = std::lower_bound(
        std::begin(keys), std::end(keys), keyCode,
        [](const KeyOfCode& entry, std::uint32_t code) { return entry.keyCode < code; });
    if (found == std::end(keys) || found->keyCode != keyCode)
        return std::nullopt;
    return QKeyCombination(found->keypad ? held | Qt::KeypadModifier : held, found->key);
}

// xkbcommon's keysym names of the keys above other than letters, digits and function keys.
struct KeysymName {
    Qt::Key key;
    bool keypad;
    const char* name;
};
// clang-format off
constexpr KeysymName keysymNames[] = {
    {Qt::Key_Period, true, "KP_Decimal"}, {Qt::Key_Asterisk, true, "KP_Multiply"},
    {Qt::Key_Plus, true, "KP_Add"}, {Qt::Key_Slash, true, "KP_Divide"},
    {Qt::Key_Enter, true, "KP_Enter"}, {Qt::Key_Minus, true, "KP_Subtract"},
    {Qt::Key_Equal, true, "KP_Equal"},
    {Qt::Key_Equal, false, "equal"}, {Qt::Key_Minus, false, "minus"},
    {Qt::Key_BracketRight, false, "bracketright"}, {Qt::Key_BracketLeft, false, "bracketleft"},
    {Qt::Key_Return, false, "Return"}, {Qt::Key_Apostrophe, false, "apostrophe"},
    {Qt::Key_Semicolon, false, "semicolon"}, {Qt::Key_Backslash, false, "backslash"},
    {Qt::Key_Comma, false, "comma"}, {Qt::Key_Slash, false, "slash"},
    {Qt::Key_Period, false, "period"}, {Qt::Key_Tab, false, "Tab"},
    {Qt::Key_Space, false, "space"}, {Qt::Key_QuoteLeft, false, "grave"},
    {Qt::Key_Backspace, false, "BackSpace"}, {Qt::Key_Escape, false, "Escape"},
    {Qt::Key_Clear, false, "Clear"}, {Qt::Key_VolumeUp, false, "XF86AudioRaiseVolume"},
    {Qt::Key_VolumeDown, false, "XF86AudioLowerVolume"},
    {Qt::Key_VolumeMute, false, "XF86AudioMute"}, {Qt::Key_Insert, false, "Insert"},
    {Qt::Key_Home, false, "Home"}, {Qt::Key_PageUp, false, "Page_Up"},
    {Qt::Key_Delete, false, "Delete"}, {Qt::Key_End, false, "End"},
    {Qt::Key_PageDown, false, "Page_Down"}, {Qt::Key_Left, false, "Left"},
    {Qt::Key_Right, false, "Right"}, {Qt::Key_Down, false, "Down"}, {Qt::Key_Up, false, "Up"},
};
// clang-format on

QString keysymName(QKeyCombination chord) {
    const Qt::Key key = chord.key();
    const bool keypad = chord.keyboardModifiers().testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return (keypad ? QStringLiteral("KP_") : QString()) + QChar(u'0' + (key - Qt::Key_0));
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return QChar(u'a' + (key - Qt::Key_A));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return QStringLiteral("F") + QString::number(key - Qt::Key_F1 + 1);
    const auto found =
        std::find_if(std::begin(keysymNames), std::end(keysymNames), [&](const KeysymName& entry) {
            return entry.key == key && entry.keypad == keypad;
        });
    return found == std::end(keysymNames) ? QString() : QLatin1String(found->name);
}

QString nativeText(QKeyCombination combination) {
    return QKeySequence(combination).toString(QKeySequence::NativeText);
}

} // namespace

QString KeyChordFormatter::string(std::optional<std::uint32_t> keyCode,
                                  std::optional<std::uint32_t> modifiers) {
    if (!keyCode || !modifiers)
        return QStringLiteral("None");
    const Qt::KeyboardModifiers held = qtModifiers(*modifiers);
    if (const auto chord = qtKey(*keyCode, held))
        return nativeText(*chord);
    // A key without a name: the modifiers as Qt writes them ("Ctrl+Alt+"), then its number.
    QString prefix = held ? nativeText(QKeyCombination(held, Qt::Key_A)) : QString();
    prefix.chop(1);
    return prefix + keyName(*keyCode);
}

QString KeyChordFormatter::keyName(std::uint32_t keyCode) {
    if (const auto key = qtKey(keyCode))
        return nativeText(*key);
    return QStringLiteral("Key") + QString::number(keyCode);
}

QString KeyChordFormatter::xdgTrigger(std::uint32_t keyCode, std::uint32_t modifiers) {
    constexpr std::pair<std::uint32_t, const char*> names[] = {
        {HotKeyBinding::controlKey, "CTRL"},
        {HotKeyBinding::optionKey, "ALT"},
        {HotKeyBinding::shiftKey, "SHIFT"},
        {HotKeyBinding::cmdKey, "LOGO"},
    };
    std::uint32_t known = 0;
    QString trigger;
    for (const auto& [flag, name] : names) {
        known |= flag;
        if (modifiers & flag)
            trigger += QLatin1String(name) + u'+';
    }
    const auto chord = qtKey(keyCode);
    const QString key = chord ? keysymName(*chord) : QString();
    if (trigger.isEmpty() || (modifiers & ~known) || key.isEmpty())
        return {};
    return trigger + key;
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

Qt::KeyboardModifiers KeyChordFormatter::qtModifiers(std::uint32_t mask) {
    Qt::KeyboardModifiers modifiers;
    if (mask & HotKeyBinding::cmdKey)
        modifiers |= Qt::MetaModifier;
    if (mask & HotKeyBinding::optionKey)
        modifiers |= Qt::AltModifier;
    if (mask & HotKeyBinding::controlKey)
        modifiers |= Qt::ControlModifier;
    if (mask & HotKeyBinding::shiftKey)
        modifiers |= Qt::ShiftModifier;
    return modifiers;
}
