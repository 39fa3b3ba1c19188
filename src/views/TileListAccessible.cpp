// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/TileListAccessible.h"

#include "views/AccessibleTiles.h"
#include "views/TileAccessible.h"

TileListAccessible::TileListAccessible(QWidget* view, AccessibleTiles* tiles)
    : QAccessibleWidget(view, tiles->listRole()), tiles_(tiles) {}

QAccessible::Role TileListAccessible::role() const {
    return tiles_ ? tiles_->listRole() : QAccessibleWidget::role();
}

int TileListAccessible::childCount() const {
    return tiles_ ? tiles_->count() : 0;
}

QAccessibleInterface* TileListAccessible::child(int index) const {
    return tiles_ ? tiles_->child(index) : nullptr;
}

int TileListAccessible::indexOfChild(const QAccessibleInterface* child) const {
    // By the tile's key: asking each child would make an interface for every tile.
    const auto* tile = dynamic_cast<const TileAccessible*>(child);
    if (!tiles_ || !tile || tile->tiles() != tiles_)
        return -1;
    return tiles_->indexOfKey(tile->key(), tile->lastIndex());
}

QAccessibleInterface* TileListAccessible::childAt(int x, int y) const {
    if (!tiles_)
        return nullptr;
    const std::optional<int> index = tiles_->indexAt(QPoint(x, y));
    return index ? tiles_->child(*index) : nullptr;
}

QAccessibleInterface* TileListAccessible::focusChild() const {
    if (!tiles_ || !widget()->hasFocus())
        return nullptr;
    const std::optional<int> index = tiles_->current();
    return index ? tiles_->child(*index) : nullptr;
}
