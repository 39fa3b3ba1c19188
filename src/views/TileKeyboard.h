// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Scheduler.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QKeyEvent;

// What the keys do in a view of tiles that has the keyboard (a dock's grid, the running
// applications): arrows, Home/End and Page Up/Down move the current tile, Return and Space open
// it, the Menu key and Shift+F10 open its menu, Delete does nothing at all, and letters typed in
// a quick run move to the next tile whose name starts with them. The view keeps the current tile
// and acts; this only answers what a key asks for.
class TileKeyboard {
public:
    struct Action {
        enum class Kind {
            // Not a key of the tiles: the view passes it on.
            none,
            // The key is taken and nothing happens (Delete: removal stays in the menu).
            swallow,
            move,
            open,
            menu,
        };
        Kind kind = Kind::none;
        // The tile to make current, for `move`.
        std::int64_t target = -1;
        bool operator==(const Action&) const = default;
    };

    // The tiles as the view lays them out: how many, how many columns (one for a column of
    // tiles, all of them for a row), how many rows a page holds, and each tile's name.
    struct Grid {
        std::int64_t count = 0;
        std::int64_t columns = 1;
        std::int64_t pageRows = 1;
        std::function<QString(std::int64_t)> name;
    };

    // Letters typed within this time of each other make one prefix.
    static constexpr Scheduler::Duration typeAheadPause{1000};

    explicit TileKeyboard(const Scheduler& scheduler) : scheduler_(scheduler) {}

    // What `event` asks for with tile `current` current (-1: none yet).
    Action handle(const QKeyEvent& event, std::int64_t current, const Grid& grid);

    // The tile a movement key leads to from `current` (-1: none yet, where every key leads to
    // the first tile, End to the last), within the tiles; nothing for a key that moves nothing.
    // Up and Down go a row, keeping the column; where the row below ends before that column,
    // Down goes to its last tile.
    static std::optional<std::int64_t> step(int key, std::int64_t current, std::int64_t count,
                                            std::int64_t columns, std::int64_t pageRows);
    // The first tile from `from` on, going round, whose name starts with `prefix` (ignoring
    // case).
    static std::optional<std::int64_t> find(const QString& prefix, std::int64_t from,
                                            const Grid& grid);

private:
    std::optional<std::int64_t> typeAhead(const QString& text, std::int64_t current,
                                          const Grid& grid);

    const Scheduler& scheduler_;
    QString typed_;
    Scheduler::TimePoint lastTyped_{};
};
