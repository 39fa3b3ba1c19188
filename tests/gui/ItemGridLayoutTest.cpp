// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/ItemGridLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct ColumnsCase {
    const char* name;
    double iconSize;
    std::int64_t columns;
    int width;
    int expectedIcon;
    int expectedColumns;
};

// A column is the icon plus 14 points, 4 points apart, inside 8 points of padding.
const ColumnsCase columnsCases[] = {
    {"the starter dock: 4 columns of 48 need 276, 180 fit 2", 48, 4, 180, 48, 2},
    {"widened, all 4 columns return", 48, 4, 276, 48, 4},
    {"one point short of 4", 48, 4, 275, 48, 3},
    {"wider than the columns asked for", 48, 3, 1000, 48, 3},
    {"zero columns mean one", 48, 0, 400, 48, 1},
    {"negative columns mean one", 48, -7, 400, 48, 1},
    {"2^62 columns: as many as fit", 48, std::int64_t(1) << 62, 400, 48, 5},
    {"a panel narrower than one column still shows one", 48, 4, 10, 48, 1},
    {"a huge icon size is drawn at the largest size", 1e9, 4, 400, 256, 1},
    {"a negative icon size at the smallest", -5, 4, 180, 8, 4},
    {"not a number: the default", std::nan(""), 4, 276, 48, 4},
};

TEST(ItemGridLayout, ShowsAsManyOfTheDocksColumnsAsFit) {
    for (const ColumnsCase& c : columnsCases) {
        SCOPED_TRACE(c.name);
        const auto layout = ItemGridLayout::make(c.iconSize, true, c.columns, 10, c.width, 12);
        EXPECT_EQ(layout.iconSize, c.expectedIcon);
        EXPECT_EQ(layout.columns, c.expectedColumns);
        // Nothing is cut off: the grid and its padding fit whenever one column does.
        const int gridWidth = layout.columns * layout.columnWidth + (layout.columns - 1) * 4 + 16;
        if (layout.columns > 1) {
            EXPECT_LE(gridWidth, c.width);
        }
    }
}

TEST(ItemGridLayout, PlacesTilesInRowsAndFindsThemBack) {
    // Three columns with 7 items: rows of 3, 3, 1.
    const auto layout = ItemGridLayout::make(48, true, 3, 7, 400, 12);
    EXPECT_EQ(layout.rows(), 3);
    EXPECT_EQ(layout.rowHeight, 6 + 48 + 4 + 12 + 6);
    EXPECT_EQ(layout.contentHeight(), 8 + 3 * 76 + 2 * 4 + 8);
    // Centred: 3 * 62 + 2 * 4 = 194 wide in 400.
    EXPECT_EQ(layout.cellRect(0), QRect(103, 8, 62, 76));
    EXPECT_EQ(layout.cellRect(4), QRect(103 + 66, 8 + 80, 62, 76));
    for (std::int64_t i = 0; i < 7; ++i)
        EXPECT_EQ(layout.indexAt(layout.cellRect(i).center()), i);
    // The spacing between cells, the empty end of the last row and the padding hold no tile.
    EXPECT_EQ(layout.indexAt({103 + 63, 20}), std::nullopt);
    EXPECT_EQ(layout.indexAt({103 + 70, 8 + 160 + 10}), std::nullopt);
    EXPECT_EQ(layout.indexAt({2, 2}), std::nullopt);
    // Only the rows that meet a band are drawn.
    EXPECT_EQ(layout.indexRange(90, 100), std::make_pair(std::int64_t(3), std::int64_t(6)));
    EXPECT_EQ(layout.indexRange(0, 1000), std::make_pair(std::int64_t(0), std::int64_t(7)));
}

TEST(ItemGridLayout, ADropGoesBeforeOrAfterATileByTheHalfItIsOver) {
    // Rows of 3, 3, 1 as above; a single column of 4 below.
    const auto grid = ItemGridLayout::make(48, true, 3, 7, 400, 12);
    const auto column = ItemGridLayout::make(48, true, 1, 4, 400, 12);
    struct Case {
        const char* name;
        const ItemGridLayout& layout;
        QPoint point;
        ItemGridLayout::Insertion expected;
    };
    const Case cases[] = {
        {"above the first tile", grid, {110, 0}, {0, false}},
        {"left half of the second", grid, {103 + 66 + 10, 40}, {1, false}},
        {"right half of the second", grid, {103 + 66 + 50, 40}, {2, false}},
        {"right half of a row's last: that row's end", grid, {103 + 132 + 50, 40}, {3, true}},
        {"left half of the last tile", grid, {110, 178}, {6, false}},
        {"past the last tile of the last row", grid, {380, 178}, {7, true}},
        {"below the last row", grid, {110, 300}, {7, true}},
        {"a column: upper half of the first", column, {200, 8 + 20}, {0, false}},
        {"a column: lower half of the first", column, {200, 8 + 50}, {1, false}},
        {"a column: far below", column, {200, 5000}, {4, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.layout.insertionAt(c.point), c.expected);
    }
    // The mark stands in the spacing: after a row's last tile, or before a row's first.
    EXPECT_EQ(grid.insertionMark({3, true}), QRect(103 + 132 + 62 + 1, 8, 2, 76));
    EXPECT_EQ(grid.insertionMark({3, false}), QRect(100, 88, 2, 76));
    EXPECT_EQ(column.insertionMark({1, false}),
              QRect(column.cellRect(0).left(), 88 - 3, column.columnWidth, 2));
    EXPECT_EQ(column.insertionMark({4, true}).top(), 8 + 4 * 80 - 3);
}

TEST(ItemGridLayout, LabelsTakeOneAndAHalfIconsUpToAColumnAndItsSpacing) {
    const auto layout = ItemGridLayout::make(48, true, 4, 2, 300, 12);
    EXPECT_EQ(layout.labelWidth(), 66);
    // Neighbours' labels meet and never overlap.
    EXPECT_EQ(layout.paintedRect(0).right() + 1, layout.paintedRect(1).left());
    EXPECT_EQ(layout.paintedRect(0).width(), layout.labelWidth());
    EXPECT_EQ(ItemGridLayout::make(8, true, 4, 1, 300, 12).labelWidth(), 12);
    // Without labels the rows are the icon and its padding.
    EXPECT_EQ(ItemGridLayout::make(48, false, 4, 1, 300, 12).rowHeight, 60);
}

TEST(ItemGridLayout, AHugeTabStaysWithinWhatAWidgetScrolls) {
    const auto layout = ItemGridLayout::make(256, true, 1, std::int64_t(1) << 40, 100, 12);
    EXPECT_GT(layout.contentHeight(), 0);
    EXPECT_LE(layout.contentHeight(), std::numeric_limits<int>::max());
}

} // namespace
