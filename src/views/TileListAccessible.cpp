// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/TileListAccessible.h"

#include "views/AccessibleTiles.h"
#include "views/TileAccessible.h"

#include <utility>

TileListAccessible::TileListAccessible(QWidget* view, QAccessible::Role role,
                                       std::function<AccessibleTiles*()> makeTiles)
    : QAccessibleWidget(view, role), makeTiles_(std::move(makeTiles)) {}

AccessibleTiles* TileListAccessible::tiles() const {
    if (!tiles_ && makeTiles_)
        tiles_ = makeTiles_();
    return tiles_;
}

int TileListAccessible::childCount() const {
    AccessibleTiles* all = tiles();
    return all ? all->count() : 0;
}

QAccessibleInterface* TileListAccessible::child(int index) const {
    AccessibleTiles* all = tiles();
    return all ? all->child(index) : nullptr;
}

int TileListAccessible::indexOfChild(const QAccessibleInterface* child) const {
    // By the tile's key: asking each child would make an interface for every tile.
    const auto* tile = dynamic_cast<const TileAccessible*>(child);
    AccessibleTiles* all = tiles();
    if (!all || !tile || tile->tiles() != all)
        return -1;
    return all->indexOfKey(tile->key(), tile->lastIndex());
}

QAccessibleInterface* TileListAccessible::childAt(int x, int y) const {
    AccessibleTiles* all = tiles();
    if (!all)
        return nullptr;
    const std::optional<int> index = all->indexAt(QPoint(x, y));
    return index ? all->child(*index) : nullptr;
}

QAccessibleInterface* TileListAccessible::focusChild() const {
    AccessibleTiles* all = tiles();
    if (!all || !widget()->hasFocus())
        return nullptr;
    const std::optional<int> index = all->current();
    return index ? all->child(*index) : nullptr;
}
