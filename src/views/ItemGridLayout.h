// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

#include <cstdint>
#include <optional>
#include <utility>

// Where each tile of a dock's grid goes, by arithmetic only, so that a tab of any length costs
// nothing to lay out: fixed-width columns (as many of the dock's columns as fit the width, at
// least one), rows of one height, 8 points of padding, the grid centred. Coordinates are the
// content's, y growing down from the top of the scrolled area.
struct ItemGridLayout {
    static constexpr int padding = 8;
    static constexpr int columnSpacing = 4;
    static constexpr int rowSpacing = 4;
    // Around the icon and label of one tile, and between the two.
    static constexpr int tilePadding = 6;
    static constexpr int partSpacing = 4;
    // A hand-edited file can hold any icon size; these are the ones that draw sensibly.
    static constexpr int smallestIcon = 8;
    static constexpr int largestIcon = 256;
    static constexpr int defaultIcon = 48;

    int iconSize = defaultIcon;
    int columnWidth = defaultIcon + 14;
    int labelHeight = 0; // 0 when labels are off
    int rowHeight = 0;
    int columns = 1;
    int width = 0;
    std::int64_t count = 0;

    // Where a drop goes: before the tile at `index` (`count`: after the last).
    struct Insertion {
        std::int64_t index = 0;
        // The mark stands after the tile before `index`, at the end of its row, rather than
        // before the tile at `index`, at the start of the next.
        bool afterPrevious = false;
        bool operator==(const Insertion&) const = default;
    };

    bool operator==(const ItemGridLayout&) const = default;

    // `labelHeight` is the height of one line of the label font; ignored without labels.
    static ItemGridLayout make(double iconSize, bool showLabels, std::int64_t wantedColumns,
                               std::int64_t count, int width, int labelHeight);
    static int sanitisedIconSize(double iconSize);
    // The columns shown in `width`: the dock's count when they fit, else as many as fit, and
    // never fewer than one.
    static int columnsThatFit(std::int64_t wanted, int width, int columnWidth);

    std::int64_t rows() const;
    // Padding included; kept within what a widget can scroll.
    int contentHeight() const;
    int gridLeft() const;
    // The cell of the tile at `index` (column width by row height).
    QRect cellRect(std::int64_t index) const;
    // The tile whose cell holds the point, if any.
    std::optional<std::int64_t> indexAt(QPoint point) const;
    // The first and one past the last index whose rows meet the band [top, bottom).
    std::pair<std::int64_t, std::int64_t> indexRange(int top, int bottom) const;
    // The widest a label may be: 1.6 icons, and never more than a column and its spacing, so
    // that labels side by side meet but never overlap.
    int labelWidth() const;
    // What a tile draws on: its cell and, for a long label, half the spacing on either side.
    QRect paintedRect(std::int64_t index) const;

    // Whether tiles run along rows (several columns) or down a single column: a drop goes
    // before or after a tile by which half of its width, or of its height, the point is over.
    bool runsInRows() const { return columns > 1; }
    // The insertion for a point: above the grid is the start; past the last tile of a row, the
    // end of that row; below the last row or past the last tile, the end.
    Insertion insertionAt(QPoint point) const;
    // The mark of an insertion: a thin bar in the spacing between the two tiles.
    QRect insertionMark(const Insertion& insertion) const;
};
