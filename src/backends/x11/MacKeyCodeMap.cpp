// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/MacKeyCodeMap.h"

#include <array>

namespace {
struct KeyPosition {
    std::uint8_t mac;
    std::uint8_t evdev;
};

// macOS virtual key code -> Linux evdev code (linux/input-event-codes.h). Modifier keys are left
// out: a chord is a key held with modifiers, never a modifier alone. Keys with no place on a Mac
// keyboard (Print, Scroll Lock, Pause, Menu) have no code to be stored under.
// clang-format off
constexpr KeyPosition positions[] = {
    // Letters.
    {0, 30}, {1, 31}, {2, 32}, {3, 33}, {4, 35}, {5, 34}, {6, 44}, {7, 45}, {8, 46}, {9, 47},
    {11, 48}, {12, 16}, {13, 17}, {14, 18}, {15, 19}, {16, 21}, {17, 20}, {31, 24}, {32, 22},
    {34, 23}, {35, 25}, {37, 38}, {38, 36}, {40, 37}, {45, 49}, {46, 50},
    // Digits.
    {18, 2}, {19, 3}, {20, 4}, {21, 5}, {22, 7}, {23, 6}, {25, 10}, {26, 8}, {28, 9}, {29, 11},
    // US punctuation: = - ] [ ' ; \ , / . `
    {24, 13}, {27, 12}, {30, 27}, {33, 26}, {39, 40}, {41, 39}, {42, 43}, {43, 51}, {44, 53},
    {47, 52}, {50, 41},
    // Return, Tab, Space, Delete (backspace), Escape.
    {36, 28}, {48, 15}, {49, 57}, {51, 14}, {53, 1},
    // Function keys F1-F20.
    {122, 59}, {120, 60}, {99, 61}, {118, 62}, {96, 63}, {97, 64}, {98, 65}, {100, 66},
    {101, 67}, {109, 68}, {103, 87}, {111, 88}, {105, 183}, {107, 184}, {113, 185}, {106, 186},
    {64, 187}, {79, 188}, {80, 189}, {90, 190},
    // Help sits where Insert is; then Home, Page Up, Forward Delete, End, Page Down.
    {114, 110}, {115, 102}, {116, 104}, {117, 111}, {119, 107}, {121, 109},
    // Arrows: left, right, down, up.
    {123, 105}, {124, 106}, {125, 108}, {126, 103},
    // Keypad: . * + Clear (where Num Lock is) / Enter - = and 0-9.
    {65, 83}, {67, 55}, {69, 78}, {71, 69}, {75, 98}, {76, 96}, {78, 74}, {81, 117}, {82, 82},
    {83, 79}, {84, 80}, {85, 81}, {86, 75}, {87, 76}, {88, 77}, {89, 71}, {91, 72}, {92, 73},
    // Volume up, volume down, mute.
    {72, 115}, {73, 114}, {74, 113},
};
// clang-format on

constexpr std::uint8_t evdevToX = 8;
constexpr std::uint8_t none = 0;

constexpr std::array<std::uint8_t, 128> makeForward() {
    std::array<std::uint8_t, 128> table{};
    for (const auto& position : positions)
        table[position.mac] = static_cast<std::uint8_t>(position.evdev + evdevToX);
    return table;
}

constexpr std::array<std::int16_t, 256> makeBackward() {
    std::array<std::int16_t, 256> table{};
    table.fill(-1);
    for (const auto& position : positions)
        table[position.evdev + evdevToX] = position.mac;
    return table;
}

// X keycodes start at 8, so 0 marks a macOS code without a place here.
constexpr auto forward = makeForward();
constexpr auto backward = makeBackward();
} // namespace

std::optional<std::uint8_t> MacKeyCodeMap::xKeycode(std::uint32_t macKeyCode) {
    if (macKeyCode >= forward.size() || forward[macKeyCode] == none)
        return std::nullopt;
    return forward[macKeyCode];
}

std::optional<std::uint32_t> MacKeyCodeMap::macKeyCode(std::uint8_t xKeycode) {
    if (backward[xKeycode] < 0)
        return std::nullopt;
    return static_cast<std::uint32_t>(backward[xKeycode]);
}
