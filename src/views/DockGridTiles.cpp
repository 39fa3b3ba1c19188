// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockGridTiles.h"

#include "views/DockItemGridView.h"

#include <climits>

DockGridTiles::DockGridTiles(DockItemGridView* grid) : AccessibleTiles(grid), grid_(grid) {
    connect(grid, &DockItemGridView::tilesChanged, this, &DockGridTiles::tilesChanged);
    connect(grid, &DockItemGridView::currentChanged, this, &DockGridTiles::currentChanged);
    connect(grid, &DockItemGridView::dockletTextChanged, this, &DockGridTiles::dockletTextChanged);
    startFollowing();
}

const DockItem* DockGridTiles::item(int index) const {
    const std::vector<DockItem>* items = grid_->items();
    if (!items || index < 0 || std::size_t(index) >= items->size())
        return nullptr;
    return &(*items)[std::size_t(index)];
}

int DockGridTiles::count() const {
    const std::vector<DockItem>* items = grid_->items();
    return items ? int(std::min<std::size_t>(items->size(), INT_MAX)) : 0;
}

QUuid DockGridTiles::key(int index) const {
    const DockItem* found = item(index);
    return found ? found->id : QUuid();
}

QString DockGridTiles::description(const DockItem& item) {
    switch (item.kind) {
    case DockItemKind::application:
        return tr("Application");
    case DockItemKind::file:
    case DockItemKind::folder:
        return item.path.value_or(QString());
    case DockItemKind::url:
        return item.urlString.value_or(QString());
    case DockItemKind::clippingText: {
        const QString text = item.textContent ? item.textContent->toString() : QString();
        return text.left(text.indexOf(QLatin1Char('\n'))).trimmed();
    }
    case DockItemKind::docklet:
        switch (item.docklet.value_or(DockletKind::separator)) {
        case DockletKind::clock:
            return tr("Clock");
        case DockletKind::trash:
            return tr("Trash");
        case DockletKind::diskSpace:
            return tr("Free disk space");
        case DockletKind::cpuMeter:
            return tr("Processor load");
        case DockletKind::separator:
            return tr("Separator");
        }
        break;
    case DockItemKind::separator:
        return tr("Separator");
    }
    return {};
}

QString DockGridTiles::text(int index, QAccessible::Text kind) const {
    const DockItem* found = item(index);
    if (!found)
        return {};
    if (kind == QAccessible::Description)
        return description(*found);
    if (kind != QAccessible::Name)
        return {};
    if (found->kind == DockItemKind::separator)
        return tr("Separator");
    if (found->kind == DockItemKind::docklet && found->docklet) {
        const QString shown = grid_->dockletText(*found->docklet);
        if (!shown.isEmpty())
            return tr("%1, %2").arg(found->name, shown);
    }
    return found->name;
}

QAccessible::Role DockGridTiles::role(int index) const {
    const DockItem* found = item(index);
    if (!found)
        return QAccessible::NoRole;
    if (found->kind == DockItemKind::separator ||
        (found->kind == DockItemKind::docklet && found->docklet == DockletKind::separator))
        return QAccessible::Separator;
    return found->kind == DockItemKind::clippingText ? QAccessible::ListItem : QAccessible::Button;
}

QRect DockGridTiles::screenRect(int index) const {
    return grid_->tileScreenRect(index);
}

std::optional<int> DockGridTiles::current() const {
    const auto index = grid_->currentIndex();
    return index ? std::optional(int(*index)) : std::nullopt;
}

void DockGridTiles::press(int index) {
    grid_->openTile(index);
}

void DockGridTiles::showMenu(int index) {
    grid_->showTileMenu(index);
}

void DockGridTiles::dockletTextChanged(DockletKind docklet) {
    // Only the tiles the reader has seen: a name it never read needs no news.
    std::vector<int> changed;
    const int n = count();
    for (int i = 0; i < n; ++i) {
        const DockItem* found = item(i);
        if (found->kind == DockItemKind::docklet && found->docklet == docklet && isKnown(found->id))
            changed.push_back(i);
    }
    namesChanged(changed);
}
