// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/TileKeyboard.h"
#include "fakes/VirtualScheduler.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

using Kind = TileKeyboard::Action::Kind;

QKeyEvent key(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              const QString& text = {}) {
    return QKeyEvent(QEvent::KeyPress, code, modifiers, text);
}

} // namespace

TEST(TileKeyboardTest, MovementKeysWalkTheGridByArithmetic) {
    struct Case {
        int key;
        std::int64_t current, count, columns, pageRows;
        std::optional<std::int64_t> expected;
    };
    // clang-format off
    const Case cases[] = {
        // 10 tiles in 4 columns: rows 0-3, 4-7, 8-9.
        {Qt::Key_Right, 0, 10, 4, 2, 1},   {Qt::Key_Right, 3, 10, 4, 2, 4},
        {Qt::Key_Right, 9, 10, 4, 2, 9},   {Qt::Key_Left, 4, 10, 4, 2, 3},
        {Qt::Key_Left, 0, 10, 4, 2, 0},    {Qt::Key_Down, 1, 10, 4, 2, 5},
        {Qt::Key_Down, 6, 10, 4, 2, 9},    {Qt::Key_Down, 9, 10, 4, 2, 9},
        {Qt::Key_Up, 9, 10, 4, 2, 5},      {Qt::Key_Up, 2, 10, 4, 2, 2},
        {Qt::Key_Home, 7, 10, 4, 2, 0},    {Qt::Key_End, 2, 10, 4, 2, 9},
        {Qt::Key_PageDown, 1, 10, 4, 2, 9}, {Qt::Key_PageDown, 0, 30, 4, 2, 8},
        {Qt::Key_PageUp, 9, 10, 4, 2, 1},  {Qt::Key_PageUp, 29, 30, 4, 2, 21},
        // One column (a vertical dock): Up and Down go by one, Left and Right stay in reach.
        {Qt::Key_Down, 0, 3, 1, 1, 1},     {Qt::Key_Up, 2, 3, 1, 1, 1},
        // One row (a horizontal switcher): Down has nowhere to go.
        {Qt::Key_Down, 1, 3, 3, 1, 1},     {Qt::Key_Right, 1, 3, 3, 1, 2},
        // No current tile yet: the first, or the last for End.
        {Qt::Key_Down, -1, 10, 4, 2, 0},   {Qt::Key_End, -1, 10, 4, 2, 9},
        // No tiles, or no movement key.
        {Qt::Key_Down, -1, 0, 4, 2, std::nullopt}, {Qt::Key_A, 2, 10, 4, 2, std::nullopt},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(TileKeyboard::step(c.key, c.current, c.count, c.columns, c.pageRows), c.expected)
            << "key " << std::hex << c.key << std::dec << " from " << c.current << " of " << c.count
            << " in " << c.columns << " columns";
}

TEST(TileKeyboardTest, KeysOpenShowMenusTakeDeleteAndPassTheRestOn) {
    VirtualScheduler scheduler;
    TileKeyboard keyboard(scheduler);
    const TileKeyboard::Grid grid{3, 3, 1, [](std::int64_t) { return QStringLiteral("x"); }};
    struct Case {
        QKeyEvent event;
        std::int64_t current;
        TileKeyboard::Action expected;
    };
    const Case cases[] = {
        {key(Qt::Key_Return), 1, {Kind::open}},
        {key(Qt::Key_Enter, Qt::KeypadModifier), 1, {Kind::open}},
        {key(Qt::Key_Space, Qt::NoModifier, " "), 1, {Kind::open}},
        {key(Qt::Key_Return), -1, {Kind::swallow}},
        {key(Qt::Key_Menu), 0, {Kind::menu}},
        {key(Qt::Key_F10, Qt::ShiftModifier), 0, {Kind::menu}},
        {key(Qt::Key_F10), 0, {}},
        {key(Qt::Key_Delete), 0, {Kind::swallow}},
        {key(Qt::Key_Right), 0, {Kind::move, 1}},
        {key(Qt::Key_Right, Qt::ControlModifier), 0, {}},
        {key(Qt::Key_Escape), 0, {}},
        {key(Qt::Key_Tab, Qt::ControlModifier), 0, {}},
        {key(Qt::Key_F2), 0, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(keyboard.handle(c.event, c.current, grid), c.expected)
            << "key " << std::hex << c.event.key();
}

TEST(TileKeyboardTest, TypedLettersFindTheNextNameThatStartsWithThem) {
    VirtualScheduler scheduler;
    TileKeyboard keyboard(scheduler);
    const QStringList names{"Files", "Firefox", "Terminal", "firewall", "Text Editor"};
    const TileKeyboard::Grid grid{names.size(), 2, 1, [&](std::int64_t i) { return names[i]; }};
    const auto type = [&](const QString& text, std::int64_t current) {
        const QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        return keyboard.handle(event, current, grid);
    };
    // A letter again walks through the names with it, going round; a quick second letter makes
    // a prefix, looked for from the current tile on.
    EXPECT_EQ(type("f", 0), (TileKeyboard::Action{Kind::move, 1}));
    EXPECT_EQ(type("f", 1), (TileKeyboard::Action{Kind::move, 3}));
    EXPECT_EQ(type("f", 3), (TileKeyboard::Action{Kind::move, 0}));
    scheduler.advance(TileKeyboard::typeAheadPause);
    EXPECT_EQ(type("T", 0), (TileKeyboard::Action{Kind::move, 2}));
    EXPECT_EQ(type("e", 2), (TileKeyboard::Action{Kind::move, 2}));
    EXPECT_EQ(type("x", 2), (TileKeyboard::Action{Kind::move, 4}));
    // A prefix that fits nothing moves nothing and is not passed on.
    EXPECT_EQ(type("q", 4), (TileKeyboard::Action{Kind::swallow}));
}
