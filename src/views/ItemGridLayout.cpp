// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/ItemGridLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr std::int64_t maxContent = std::numeric_limits<int>::max() / 2;

} // namespace

int ItemGridLayout::sanitisedIconSize(double iconSize) {
    if (std::isnan(iconSize))
        return defaultIcon;
    return static_cast<int>(
        std::lround(std::clamp(iconSize, double(smallestIcon), double(largestIcon))));
}

int ItemGridLayout::columnsThatFit(std::int64_t wanted, int width, int columnWidth) {
    const std::int64_t fit =
        (std::int64_t(width) - 2 * padding + columnSpacing) / (columnWidth + columnSpacing);
    return static_cast<int>(std::max<std::int64_t>(1, std::min(wanted, fit)));
}

ItemGridLayout ItemGridLayout::make(double iconSize, bool showLabels, std::int64_t wantedColumns,
                                    std::int64_t count, int width, int labelHeight) {
    ItemGridLayout layout;
    layout.iconSize = sanitisedIconSize(iconSize);
    layout.columnWidth = layout.iconSize + 14;
    layout.labelHeight = showLabels ? std::max(0, labelHeight) : 0;
    layout.rowHeight =
        2 * tilePadding + layout.iconSize + (showLabels ? partSpacing + layout.labelHeight : 0);
    layout.columns = columnsThatFit(wantedColumns, width, layout.columnWidth);
    layout.width = width;
    layout.count = std::max<std::int64_t>(0, count);
    return layout;
}

std::int64_t ItemGridLayout::rows() const {
    return (count + columns - 1) / columns;
}

int ItemGridLayout::contentHeight() const {
    const std::int64_t n = rows();
    const std::int64_t grid = n == 0 ? 0 : n * rowHeight + (n - 1) * rowSpacing;
    return static_cast<int>(std::min(maxContent, grid + 2 * padding));
}

int ItemGridLayout::gridLeft() const {
    const int gridWidth = columns * columnWidth + (columns - 1) * columnSpacing;
    return std::max(padding, (width - gridWidth) / 2);
}

QRect ItemGridLayout::cellRect(std::int64_t index) const {
    const std::int64_t row = index / columns;
    const int column = static_cast<int>(index % columns);
    const std::int64_t y = padding + row * (rowHeight + rowSpacing);
    return {gridLeft() + column * (columnWidth + columnSpacing),
            static_cast<int>(std::min(maxContent, y)), columnWidth, rowHeight};
}

std::optional<std::int64_t> ItemGridLayout::indexAt(QPoint point) const {
    const int x = point.x() - gridLeft();
    const int y = point.y() - padding;
    if (x < 0 || y < 0)
        return std::nullopt;
    const int column = x / (columnWidth + columnSpacing);
    const std::int64_t row = y / (rowHeight + rowSpacing);
    // Points in the spacing between cells belong to no tile.
    if (column >= columns || x % (columnWidth + columnSpacing) >= columnWidth ||
        y % (rowHeight + rowSpacing) >= rowHeight)
        return std::nullopt;
    const std::int64_t index = row * columns + column;
    if (index >= count)
        return std::nullopt;
    return index;
}

std::pair<std::int64_t, std::int64_t> ItemGridLayout::indexRange(int top, int bottom) const {
    const std::int64_t pitch = rowHeight + rowSpacing;
    const std::int64_t first = std::max<std::int64_t>(0, (std::int64_t(top) - padding) / pitch);
    const std::int64_t last = std::max<std::int64_t>(0, (std::int64_t(bottom) - padding) / pitch);
    return {std::min(count, first * columns), std::min(count, (last + 1) * columns)};
}

int ItemGridLayout::labelWidth() const {
    return std::min(columnWidth + columnSpacing, static_cast<int>(iconSize * 1.6));
}

QRect ItemGridLayout::paintedRect(std::int64_t index) const {
    return cellRect(index).adjusted(-columnSpacing / 2, 0, columnSpacing / 2, 0);
}

ItemGridLayout::Insertion ItemGridLayout::insertionAt(QPoint point) const {
    if (count <= 0)
        return {};
    const double pitch = rowHeight + rowSpacing;
    const double y = double(point.y()) - padding;
    // Counts the tile middles before the point, along the one direction that matters.
    const auto middlesBefore = [](double position, double length, double step) {
        return std::int64_t(std::floor((position - length / 2) / step)) + 1;
    };
    if (!runsInRows()) {
        const std::int64_t index =
            std::clamp<std::int64_t>(middlesBefore(y, rowHeight, pitch), 0, count);
        return {index, index == count};
    }
    const std::int64_t row = y < 0 ? 0 : std::int64_t(y / pitch);
    const std::int64_t lastRow = rows() - 1;
    // Below the tiles of the last row, spacing included.
    if (row > lastRow || (row == lastRow && y - double(row) * pitch >= rowHeight))
        return {count, true};
    const double x = double(point.x()) - gridLeft();
    const std::int64_t column = std::clamp<std::int64_t>(
        middlesBefore(x, columnWidth, columnWidth + columnSpacing), 0, columns);
    const std::int64_t rowEnd = std::min(count, (row + 1) * columns);
    const std::int64_t index = row * columns + column;
    if (index >= rowEnd)
        return {rowEnd, true};
    return {index, false};
}

QRect ItemGridLayout::insertionMark(const Insertion& insertion) const {
    constexpr int thickness = 2;
    const std::int64_t index = std::clamp<std::int64_t>(insertion.index, 0, count);
    if (!runsInRows()) {
        // cellRect(count) is where a next tile would go: its top is below the last one too.
        const int y = cellRect(index).top() - rowSpacing / 2 - thickness / 2;
        return {gridLeft(), y, columnWidth, thickness};
    }
    const bool after = insertion.afterPrevious && index > 0;
    const QRect cell = cellRect(after ? index - 1 : index);
    const int x = after ? cell.right() + 1 + columnSpacing / 2 : cell.left() - columnSpacing / 2;
    return {x - thickness / 2, cell.top(), thickness, rowHeight};
}
