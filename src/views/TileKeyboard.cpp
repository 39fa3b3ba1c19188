// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/TileKeyboard.h"

#include <QKeyEvent>

#include <algorithm>
#include <iterator>

std::optional<std::int64_t> TileKeyboard::step(int key, std::int64_t current, std::int64_t count,
                                               std::int64_t columns, std::int64_t pageRows) {
    constexpr int keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,     Qt::Key_Down,
                            Qt::Key_Home, Qt::Key_End,   Qt::Key_PageUp, Qt::Key_PageDown};
    if (count <= 0 || std::find(std::begin(keys), std::end(keys), key) == std::end(keys))
        return std::nullopt;
    const std::int64_t last = count - 1;
    const std::int64_t width = std::max<std::int64_t>(1, columns);
    const std::int64_t page = width * std::max<std::int64_t>(1, pageRows);
    if (current < 0 || current > last)
        return key == Qt::Key_End ? last : 0;
    const auto within = [&](std::int64_t index) {
        return std::clamp<std::int64_t>(index, 0, last);
    };
    switch (key) {
    case Qt::Key_Left:
        return within(current - 1);
    case Qt::Key_Right:
        return within(current + 1);
    case Qt::Key_Up:
        return current >= width ? current - width : current;
    case Qt::Key_Down:
        // Onto the next row when there is one, at its end when it is shorter.
        return current / width < last / width ? std::min(current + width, last) : current;
    case Qt::Key_Home:
        return 0;
    case Qt::Key_End:
        return last;
    case Qt::Key_PageUp:
        return current >= page ? current - page : current % width;
    case Qt::Key_PageDown:
        return current + page <= last ? current + page
                                      : std::min(last, last / width * width + current % width);
    default:
        return current;
    }
}

std::optional<std::int64_t> TileKeyboard::find(const QString& prefix, std::int64_t from,
                                               const Grid& grid) {
    if (prefix.isEmpty() || grid.count <= 0 || !grid.name)
        return std::nullopt;
    const std::int64_t start = std::clamp<std::int64_t>(from, 0, grid.count - 1);
    for (std::int64_t n = 0; n < grid.count; ++n) {
        const std::int64_t index = (start + n) % grid.count;
        if (grid.name(index).startsWith(prefix, Qt::CaseInsensitive))
            return index;
    }
    return std::nullopt;
}

std::optional<std::int64_t> TileKeyboard::typeAhead(const QString& text, std::int64_t current,
                                                    const Grid& grid) {
    const Scheduler::TimePoint now = scheduler_.now();
    const bool continues = !typed_.isEmpty() && now - lastTyped_ < typeAheadPause;
    lastTyped_ = now;
    typed_ = continues ? typed_ + text : text;
    // A longer prefix may still fit the current tile; a new one (or the same letter again)
    // looks from the next tile on, so repeating a letter walks through its names.
    const bool sameLetter = typed_.size() > 1 && typed_.count(typed_.front()) == typed_.size();
    if (sameLetter)
        typed_ = text;
    const std::int64_t from = continues && !sameLetter ? current : current + 1;
    return find(typed_, from < 0 ? 0 : from, grid);
}

TileKeyboard::Action TileKeyboard::handle(const QKeyEvent& event, std::int64_t current,
                                          const Grid& grid) {
    using Kind = Action::Kind;
    const Qt::KeyboardModifiers modifiers =
        event.modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    const int key = event.key();
    if (key == Qt::Key_Menu || (key == Qt::Key_F10 && modifiers == Qt::ShiftModifier))
        return {current >= 0 ? Kind::menu : Kind::swallow};
    if (modifiers & ~Qt::ShiftModifier)
        return {};
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace)
        return {Kind::swallow};
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)
        return {current >= 0 ? Kind::open : Kind::swallow};
    if (modifiers == Qt::NoModifier)
        if (const auto target = step(key, current, grid.count, grid.columns, grid.pageRows))
            return {Kind::move, *target};
    const QString text = event.text();
    if (text.isEmpty() || !text.front().isPrint() || text.front().isSpace())
        return {};
    if (const auto found = typeAhead(text, current, grid))
        return {Kind::move, *found};
    return {Kind::swallow};
}
