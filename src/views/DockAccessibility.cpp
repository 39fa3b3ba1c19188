// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockAccessibility.h"

#include "views/DockGridTiles.h"
#include "views/DockItemGridView.h"
#include "views/DockTabStripView.h"
#include "views/ProcessDockTiles.h"
#include "views/ProcessDockView.h"
#include "views/TabStripTiles.h"
#include "views/TileListAccessible.h"

#include <QAccessibleWidget>

namespace {

// The view's interface; its tiles, once made, are a child of the view and live as long.
template <typename Tiles, typename View>
QAccessibleInterface* tilesOf(View* view, QAccessible::Role role) {
    return new TileListAccessible(view, role, [view]() -> AccessibleTiles* {
        auto* tiles = view->template findChild<Tiles*>(QString(), Qt::FindDirectChildrenOnly);
        return tiles ? tiles : new Tiles(view);
    });
}

QAccessibleInterface* factory(const QString& className, QObject* object) {
    if (className == QLatin1String("DockItemGridView"))
        if (auto* grid = qobject_cast<DockItemGridView*>(object))
            return tilesOf<DockGridTiles>(grid, QAccessible::List);
    if (className == QLatin1String("ProcessDockView"))
        if (auto* view = qobject_cast<ProcessDockView*>(object))
            return tilesOf<ProcessDockTiles>(view, QAccessible::List);
    if (className == QLatin1String("DockTabStripView"))
        if (auto* strip = qobject_cast<DockTabStripView*>(object))
            return tilesOf<TabStripTiles>(strip, QAccessible::PageTabList);
    // A panel is a window of its own, not a filler inside one.
    if (className == QLatin1String("DockPanelWindow"))
        if (auto* panel = qobject_cast<QWidget*>(object))
            return new QAccessibleWidget(panel, QAccessible::Window);
    return nullptr;
}

} // namespace

void DockAccessibility::install() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    static_cast<void>(installed);
}
