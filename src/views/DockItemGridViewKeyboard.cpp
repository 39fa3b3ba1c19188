// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's keyboard: the current tile, its focus ring and what the keys do to it. Beside the
// grid's drawing and mouse handling, in a file of its own.
#include "views/DockItemGridView.h"

#include "views/DockItemActions.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

std::optional<std::int64_t> DockItemGridView::currentIndex() const {
    const std::vector<DockItem>* list = items();
    if (!current_ || !list)
        return std::nullopt;
    // Ids, not places: the current tile follows its item when tiles come and go before it.
    const auto found = std::find_if(list->begin(), list->end(),
                                    [&](const DockItem& item) { return item.id == *current_; });
    if (found == list->end())
        return std::nullopt;
    return std::int64_t(found - list->begin());
}

void DockItemGridView::setCurrentIndex(std::int64_t index) {
    const std::vector<DockItem>* list = items();
    if (!list || index < 0 || index >= std::int64_t(list->size()))
        return;
    const std::optional<std::int64_t> previous = currentIndex();
    current_ = (*list)[std::size_t(index)].id;
    currentPlace_ = index;
    if (previous == index)
        return;
    if (previous)
        viewport()->update(paintedRect(*previous));
    scrollToTile(index);
    viewport()->update(paintedRect(index));
    Q_EMIT currentChanged();
}

void DockItemGridView::keepCurrentTile() {
    // Its item went (removed, or another tab shown): the tile now in its place, or the last.
    // None yet while the grid has the keyboard (it came before the tiles): the first.
    const std::vector<DockItem>* list = items();
    if (!list || list->empty() || currentIndex() || (!current_ && !hasFocus()))
        return;
    setCurrentIndex(current_ ? std::min<std::int64_t>(currentPlace_, std::int64_t(list->size()) - 1)
                             : 0);
}

void DockItemGridView::scrollToTile(std::int64_t index) {
    const QRect cell = layout_.cellRect(index);
    QScrollBar* bar = verticalScrollBar();
    const int top = bar->value();
    const int visible = viewport()->height();
    if (cell.top() - ItemGridLayout::padding < top)
        bar->setValue(std::max(0, cell.top() - ItemGridLayout::padding));
    else if (cell.bottom() + ItemGridLayout::padding >= top + visible)
        bar->setValue(cell.bottom() + ItemGridLayout::padding - visible + 1);
}

void DockItemGridView::openTile(std::int64_t index) {
    const std::vector<DockItem>* list = items();
    if (!list || index < 0 || index >= std::int64_t(list->size()))
        return;
    // A copy: opening may change the store, and with it the list.
    const DockItem item = (*list)[std::size_t(index)];
    services_.actions.open(item);
}

void DockItemGridView::showTileMenu(std::int64_t index) {
    const std::vector<DockItem>* list = items();
    if (!list || index < 0 || index >= std::int64_t(list->size()))
        return;
    scrollToTile(index);
    const QRect cell = cellRect(index);
    // popup(), not exec(): a store change while the menu is open may take this widget away.
    services_.actions.makeMenu((*list)[std::size_t(index)], dockId_, this)
        ->popup(viewport()->mapToGlobal(QPoint(cell.left(), cell.bottom())));
}

QRect DockItemGridView::tileScreenRect(std::int64_t index) const {
    const QRect cell = cellRect(index);
    return QRect(viewport()->mapToGlobal(cell.topLeft()), cell.size());
}

void DockItemGridView::keyPressEvent(QKeyEvent* event) {
    const std::vector<DockItem>* list = items();
    const std::int64_t count = list ? std::int64_t(list->size()) : 0;
    const std::int64_t rowHeight = std::max(1, layout_.rowHeight + ItemGridLayout::rowSpacing);
    const TileKeyboard::Grid grid{count, layout_.columns,
                                  std::max<std::int64_t>(1, viewport()->height() / rowHeight),
                                  [list](std::int64_t i) { return (*list)[std::size_t(i)].name; }};
    const std::int64_t current = currentIndex().value_or(-1);
    const TileKeyboard::Action action = keyboard_.handle(*event, current, grid);
    switch (action.kind) {
    case TileKeyboard::Action::Kind::none:
        // Escape, Ctrl+Tab, F2 and the rest are the dock's.
        event->ignore();
        return;
    case TileKeyboard::Action::Kind::swallow:
        break;
    case TileKeyboard::Action::Kind::move:
        setCurrentIndex(action.target);
        break;
    case TileKeyboard::Action::Kind::open:
        openTile(current);
        break;
    case TileKeyboard::Action::Kind::menu:
        showTileMenu(current);
        break;
    }
    event->accept();
}

void DockItemGridView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    // The first tile, or the one the keyboard left here last time.
    if (!currentIndex())
        setCurrentIndex(0);
    if (const auto index = currentIndex()) {
        scrollToTile(*index);
        viewport()->update(paintedRect(*index));
    }
    Q_EMIT currentChanged();
}

void DockItemGridView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (const auto index = currentIndex())
        viewport()->update(paintedRect(*index));
    Q_EMIT currentChanged();
}

void DockItemGridView::paintFocusRing(QPainter& painter, std::int64_t first,
                                      std::int64_t end) const {
    if (!hasFocus())
        return;
    const auto index = currentIndex();
    if (!index || *index < first || *index >= end)
        return;
    QPen pen(palette().color(QPalette::Highlight), 2);
    painter.save();
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(cellRect(*index)).adjusted(1, 1, -1, -1), 6, 6);
    painter.restore();
}
