// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/TabStripTiles.h"

#include "models/Dock.h"
#include "views/DockTabStripView.h"

#include <QContextMenuEvent>
#include <QCoreApplication>

TabStripTiles::TabStripTiles(DockTabStripView* strip) : AccessibleTiles(strip), strip_(strip) {
    connect(strip, &DockTabStripView::tabsChanged, this, &TabStripTiles::tabsMoved);
    if (const auto index = current())
        selected_ = key(*index);
    startFollowing();
}

const DockTab* TabStripTiles::tab(int index) const {
    const Dock* dock = strip_->dock();
    if (!dock || index < 0 || std::size_t(index) >= dock->tabs.size())
        return nullptr;
    return &dock->tabs[std::size_t(index)];
}

int TabStripTiles::count() const {
    const Dock* dock = strip_->dock();
    return dock ? int(dock->tabs.size()) : 0;
}

QUuid TabStripTiles::key(int index) const {
    const DockTab* found = tab(index);
    return found ? found->id : QUuid();
}

QString TabStripTiles::text(int index, QAccessible::Text kind) const {
    const DockTab* found = tab(index);
    return found && kind == QAccessible::Name ? found->name : QString();
}

QRect TabStripTiles::screenRect(int index) const {
    const QRect rect = strip_->tabRect(std::size_t(index));
    return QRect(strip_->mapToGlobal(rect.topLeft()), rect.size());
}

std::optional<int> TabStripTiles::current() const {
    const Dock* dock = strip_->dock();
    if (!dock || dock->selectedTabIndex < 0 || dock->selectedTabIndex >= count())
        return std::nullopt;
    return int(dock->selectedTabIndex);
}

void TabStripTiles::press(int index) {
    if (const DockTab* found = tab(index))
        strip_->selectTab(found->id);
}

void TabStripTiles::showMenu(int index) {
    // The strip's own menu, as a click with the secondary button opens it.
    const QPoint at = strip_->tabRect(std::size_t(index)).center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, strip_->mapToGlobal(at));
    QCoreApplication::sendEvent(strip_, &event);
}

void TabStripTiles::tabsMoved() {
    tilesChanged();
    const std::optional<int> index = current();
    const std::optional<QUuid> now = index ? std::optional(key(*index)) : std::nullopt;
    if (now == selected_)
        return;
    const std::optional<QUuid> previous = std::exchange(selected_, now);
    QAccessible::State selected;
    selected.selected = true;
    stateChangedAt(previous ? indexOfKey(*previous) : -1, selected);
    stateChangedAt(index.value_or(-1), selected);
}
