// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/ProcessDockTiles.h"

#include "views/ProcessDockView.h"

namespace {

// An application is known by a text key; a reader's child by a uuid made from it, the same
// for the same application every time.
QUuid keyOf(const QString& application) {
    static const QUuid space = QUuid::fromString(u"{5f8c7e3a-2d1b-4c6e-9a0f-3b7d8e1c4a52}");
    return QUuid::createUuidV5(space, application);
}

} // namespace

ProcessDockTiles::ProcessDockTiles(ProcessDockView* view) : AccessibleTiles(view), view_(view) {
    connect(view, &ProcessDockView::tilesChanged, this, &ProcessDockTiles::tilesMoved);
    connect(view, &ProcessDockView::currentChanged, this, &ProcessDockTiles::currentChanged);
    for (int i = 0; i < count(); ++i)
        if (isFrontmost(i))
            frontmost_ = key(i);
    startFollowing();
}

int ProcessDockTiles::count() const {
    return int(view_->tiles().size());
}

QUuid ProcessDockTiles::key(int index) const {
    const auto tiles = view_->tiles();
    return index >= 0 && std::size_t(index) < tiles.size() ? keyOf(tiles[std::size_t(index)].key)
                                                           : QUuid();
}

bool ProcessDockTiles::isFrontmost(int index) const {
    const auto tiles = view_->tiles();
    return index >= 0 && std::size_t(index) < tiles.size() && tiles[std::size_t(index)].frontmost;
}

QString ProcessDockTiles::text(int index, QAccessible::Text kind) const {
    if (kind == QAccessible::Name)
        return view_->tileName(std::size_t(index));
    if (kind == QAccessible::Description)
        return isFrontmost(index) ? tr("Active application") : tr("Running application");
    return {};
}

QAccessible::State ProcessDockTiles::state(int index) const {
    QAccessible::State state;
    state.active = isFrontmost(index);
    return state;
}

QRect ProcessDockTiles::screenRect(int index) const {
    const auto tiles = view_->tiles();
    if (index < 0 || std::size_t(index) >= tiles.size())
        return {};
    const QRect rect = tiles[std::size_t(index)].rect;
    return QRect(view_->viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

std::optional<int> ProcessDockTiles::current() const {
    const auto index = view_->currentIndex();
    return index ? std::optional(int(*index)) : std::nullopt;
}

void ProcessDockTiles::press(int index) {
    view_->activateTile(std::size_t(index));
}

void ProcessDockTiles::showMenu(int index) {
    view_->showTileMenu(std::size_t(index));
}

void ProcessDockTiles::tilesMoved() {
    tilesChanged();
    std::optional<QUuid> front;
    int frontIndex = -1;
    for (int i = 0; i < count(); ++i)
        if (isFrontmost(i)) {
            front = key(i);
            frontIndex = i;
        }
    if (front == frontmost_)
        return;
    const std::optional<QUuid> previous = std::exchange(frontmost_, front);
    const int before = previous ? indexOfKey(*previous) : -1;
    QAccessible::State active;
    active.active = true;
    for (const int index : {before, frontIndex}) {
        stateChangedAt(index, active);
        changedAt(index, QAccessible::DescriptionChanged);
    }
}
