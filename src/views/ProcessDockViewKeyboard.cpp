// SPDX-License-Identifier: GPL-3.0-or-later
// The application switcher's keyboard: the current application, its focus ring and what the keys
// do to it, in a file of its own beside the switcher's drawing and mouse handling.
#include "views/ProcessDockView.h"

#include "runtime/RunningAppsMonitor.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

QString ProcessDockView::tileName(std::size_t index) const {
    if (index >= laid_.size())
        return {};
    const auto image = images_.constFind(laid_[index].key);
    return image == images_.cend() ? QString() : image->name;
}

std::optional<std::size_t> ProcessDockView::currentIndex() const {
    if (!current_)
        return std::nullopt;
    for (std::size_t i = 0; i < laid_.size(); ++i)
        if (laid_[i].key == *current_)
            return i;
    return std::nullopt;
}

void ProcessDockView::setCurrentIndex(std::size_t index) {
    if (index >= laid_.size())
        return;
    const std::optional<std::size_t> previous = currentIndex();
    current_ = laid_[index].key;
    if (previous == index)
        return;
    if (previous)
        viewport()->update(tileRect(laid_[*previous]));
    scrollToTile(index);
    viewport()->update(tileRect(laid_[index]));
    Q_EMIT currentChanged();
}

void ProcessDockView::keepCurrentTile() {
    // The current application went, or the keyboard came before the tiles: the first.
    if (laid_.empty() || currentIndex() || (!current_ && !hasFocus()))
        return;
    setCurrentIndex(0);
}

void ProcessDockView::scrollToTile(std::size_t index) {
    const Laid& tile = laid_[index];
    QScrollBar* bar = isVertical() ? verticalScrollBar() : horizontalScrollBar();
    const int visible = isVertical() ? viewport()->height() : viewport()->width();
    const int start = tile.offset;
    const int end = tile.offset + (isVertical() ? tileHeight() : tile.width) + 2 * inset;
    if (start < bar->value())
        bar->setValue(start);
    else if (end > bar->value() + visible)
        bar->setValue(end - visible);
}

void ProcessDockView::activateTile(std::size_t index) {
    if (index >= laid_.size())
        return;
    if (const std::optional<RunningApplication> app = currentApp(laid_[index].key))
        runningApps_.activate(*app);
}

void ProcessDockView::showTileMenu(std::size_t index) {
    if (index >= laid_.size())
        return;
    scrollToTile(index);
    const QRect rect = tileRect(laid_[index]);
    popupMenu(laid_[index].key, viewport()->mapToGlobal(QPoint(rect.left(), rect.bottom())));
}

void ProcessDockView::keyPressEvent(QKeyEvent* event) {
    const auto count = std::int64_t(laid_.size());
    // One row or one column of tiles, by the dock's orientation.
    const TileKeyboard::Grid grid{count, isVertical() ? 1 : std::max<std::int64_t>(1, count), 1,
                                  [this](std::int64_t i) { return tileName(std::size_t(i)); }};
    const std::optional<std::size_t> current = currentIndex();
    const TileKeyboard::Action action =
        keyboard_.handle(*event, current ? std::int64_t(*current) : -1, grid);
    switch (action.kind) {
    case TileKeyboard::Action::Kind::none:
        event->ignore();
        return;
    case TileKeyboard::Action::Kind::swallow:
        break;
    case TileKeyboard::Action::Kind::move:
        setCurrentIndex(std::size_t(action.target));
        break;
    case TileKeyboard::Action::Kind::open:
        activateTile(*current);
        break;
    case TileKeyboard::Action::Kind::menu:
        showTileMenu(*current);
        break;
    }
    event->accept();
}

void ProcessDockView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (!currentIndex() && !laid_.empty())
        setCurrentIndex(0);
    if (const auto index = currentIndex())
        viewport()->update(tileRect(laid_[*index]));
    Q_EMIT currentChanged();
}

void ProcessDockView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (const auto index = currentIndex())
        viewport()->update(tileRect(laid_[*index]));
    Q_EMIT currentChanged();
}

void ProcessDockView::paintFocusRing(QPainter& painter) const {
    const auto index = currentIndex();
    if (!hasFocus() || !index)
        return;
    painter.save();
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(tileRect(laid_[*index])).adjusted(1, 1, -1, -1), 8, 8);
    painter.restore();
}
