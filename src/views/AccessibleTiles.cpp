// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/AccessibleTiles.h"

#include "views/TileAccessible.h"

#include <algorithm>

namespace {

// More tiles than this coming or going at once (another tab shown, a tab emptied) are told as
// one reorder of the whole view, which makes readers read the children anew.
constexpr std::size_t mostAnnounced = 64;

} // namespace

AccessibleTiles::AccessibleTiles(QWidget* view) : QObject(view), view_(view) {}

void AccessibleTiles::startFollowing() {
    shown_ = keys();
}

AccessibleTiles::~AccessibleTiles() {
    for (const QAccessible::Id id : std::as_const(ids_))
        QAccessible::deleteAccessibleInterface(id);
}

QAccessible::State AccessibleTiles::state(int) const {
    return {};
}

std::vector<QUuid> AccessibleTiles::keys() const {
    const int n = count();
    std::vector<QUuid> all;
    all.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i)
        all.push_back(key(i));
    return all;
}

QAccessibleInterface* AccessibleTiles::child(int index) {
    if (index < 0 || index >= count())
        return nullptr;
    const QUuid tile = key(index);
    if (const auto found = ids_.constFind(tile); found != ids_.cend())
        return QAccessible::accessibleInterface(*found);
    auto* made = new TileAccessible(this, tile);
    ids_.insert(tile, QAccessible::registerAccessibleInterface(made));
    names_.insert(tile, text(index, QAccessible::Name));
    return made;
}

int AccessibleTiles::indexOfKey(const QUuid& tile, int hint) const {
    const int n = count();
    // Where the tile was last time, most often where it still is.
    if (hint >= 0 && hint < n && key(hint) == tile)
        return hint;
    for (int i = 0; i < n; ++i)
        if (key(i) == tile)
            return i;
    return -1;
}

std::optional<int> AccessibleTiles::indexAt(QPoint global) const {
    const int n = count();
    for (int i = 0; i < n; ++i)
        if (screenRect(i).contains(global))
            return i;
    return std::nullopt;
}

void AccessibleTiles::announce(const QUuid& tile, QAccessible::Event event) {
    const auto found = ids_.constFind(tile);
    if (found == ids_.cend())
        return;
    if (QAccessibleInterface* iface = QAccessible::accessibleInterface(*found)) {
        QAccessibleEvent change(iface, event);
        QAccessible::updateAccessibility(&change);
    }
}

void AccessibleTiles::forget(const QUuid& tile) {
    const auto found = ids_.find(tile);
    if (found == ids_.end())
        return;
    QAccessible::deleteAccessibleInterface(*found);
    ids_.erase(found);
    names_.remove(tile);
    if (focused_ == tile)
        focused_.reset();
}

void AccessibleTiles::tilesChanged() {
    std::vector<QUuid> now = keys();
    // One run of change between what stays before and after it: one tile added, removed or
    // moved touches that run only, however long the list.
    std::size_t head = 0;
    while (head < shown_.size() && head < now.size() && shown_[head] == now[head])
        ++head;
    std::size_t tail = 0;
    while (tail < shown_.size() - head && tail < now.size() - head &&
           shown_[shown_.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    const std::vector<QUuid> before(shown_.begin() + std::ptrdiff_t(head),
                                    shown_.end() - std::ptrdiff_t(tail));
    const std::vector<QUuid> after(now.begin() + std::ptrdiff_t(head),
                                   now.end() - std::ptrdiff_t(tail));
    shown_ = std::move(now);
    const auto stays = [&](const QUuid& tile) {
        return std::find(after.begin(), after.end(), tile) != after.end();
    };
    if (before.size() + after.size() > mostAnnounced) {
        for (const QUuid& tile : before)
            if (!stays(tile))
                forget(tile);
        QAccessibleEvent reorder(view_, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    } else {
        for (const QUuid& tile : before) {
            if (stays(tile))
                continue;
            // The reader is told while the tile's interface still answers.
            announce(tile, QAccessible::ObjectDestroyed);
            forget(tile);
        }
        for (std::size_t i = 0; i < after.size(); ++i)
            if (std::find(before.begin(), before.end(), after[i]) == before.end())
                if (QAccessibleInterface* made = child(int(head + i))) {
                    QAccessibleEvent created(made, QAccessible::ObjectCreated);
                    QAccessible::updateAccessibility(&created);
                }
    }
    // Names of the tiles the reader knows (a renamed item, a tab with a new name): one pass.
    std::vector<int> renamed;
    if (!names_.isEmpty())
        for (std::size_t i = 0; i < shown_.size(); ++i) {
            const auto name = names_.constFind(shown_[i]);
            if (name != names_.cend() && text(int(i), QAccessible::Name) != *name)
                renamed.push_back(int(i));
        }
    namesChanged(renamed);
}

void AccessibleTiles::namesChanged(const std::vector<int>& indexes) {
    for (const int index : indexes) {
        const QUuid tile = key(index);
        if (!ids_.contains(tile))
            continue;
        names_.insert(tile, text(index, QAccessible::Name));
        announce(tile, QAccessible::NameChanged);
    }
}

void AccessibleTiles::changedAt(int index, QAccessible::Event event) {
    if (index >= 0 && index < count())
        announce(key(index), event);
}

void AccessibleTiles::stateChangedAt(int index, QAccessible::State changed) {
    if (index < 0 || index >= count())
        return;
    const auto found = ids_.constFind(key(index));
    if (found == ids_.cend())
        return;
    if (QAccessibleInterface* iface = QAccessible::accessibleInterface(*found)) {
        QAccessibleStateChangeEvent change(iface, changed);
        QAccessible::updateAccessibility(&change);
    }
}

void AccessibleTiles::currentChanged() {
    const std::optional<int> index = current();
    const bool focused = view_ && view_->hasFocus() && index;
    const std::optional<QUuid> now = focused ? std::optional(key(*index)) : std::nullopt;
    if (now == focused_)
        return;
    QAccessible::State changed;
    changed.focused = true;
    changed.selected = true;
    if (const std::optional<QUuid> previous = std::exchange(focused_, now); previous) {
        const int before = indexOfKey(*previous);
        if (QAccessibleInterface* iface = before >= 0 ? child(before) : nullptr) {
            QAccessibleStateChangeEvent left(iface, changed);
            QAccessible::updateAccessibility(&left);
        }
    }
    if (!now)
        return;
    if (QAccessibleInterface* iface = child(*index)) {
        QAccessibleStateChangeEvent came(iface, changed);
        QAccessible::updateAccessibility(&came);
        QAccessibleEvent focus(iface, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}
