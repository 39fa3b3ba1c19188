// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runtime/AppBadge.h"
#include "views/TileImageCache.h"

#include <QCoreApplication>
#include <QFont>
#include <QRect>
#include <QUuid>

class DockletRuntime;
class DockStore;
class QMenu;
class QMimeData;
class QPainter;
class QWidget;
struct DockItem;
struct DockViewServices;
struct ItemGridLayout;

// One item's tile in a grid: how it is drawn (its icon or live docklet, label and hover
// highlight) and what it does (opens on a click, its context menu, the custom icon chooser, the
// payload dragged out of it). Not a widget: the grid draws and hit-tests its tiles itself, so that
// a tab of any length costs one widget.
class DockItemTileView {
    Q_DECLARE_TR_FUNCTIONS(DockItemTileView)
public:
    struct State {
        bool hovering = false;
        double scale = 1.0; // of the icon, about its centre
        bool trashTargeted = false;
        // An application tile whose program runs, and what that program reports.
        bool running = false;
        AppBadge badge;
    };

    static QFont labelFont();
    // The square where the icon or docklet of the tile in `cell` is drawn.
    static QRect iconRect(const DockItem& item, const QRect& cell, const ItemGridLayout& layout);
    static void paint(QPainter& painter, const DockItem& item, const QRect& cell,
                      const ItemGridLayout& layout, const State& state,
                      const TileImageCache::Images& images, const DockletRuntime& runtime);
    // Whether the tile has a live docklet in place of an icon.
    static bool isLiveDocklet(const DockItem& item);
    // Whether the icon grows under the pointer (and the tile is highlighted).
    static bool scalesOnHover(const DockItem& item);

    // A click: opens the item as its kind says. Every opening of an item goes through here.
    static void open(const DockItem& item, const DockViewServices& services);
    // A middle click: another copy of an application, whether one runs or not; any other item
    // opens as on a click.
    static void openNew(const DockItem& item, const DockViewServices& services);
    // The item's context menu (deleted when closed); its actions act on the store's current
    // state, by id.
    static QMenu* makeMenu(const DockItem& item, const QUuid& dockId,
                           const DockViewServices& services, QWidget* parent);
    // Asks for an image file and stores its bytes as the item's icon, unless the item or its
    // dock has gone by the time the answer comes.
    static void chooseCustomIcon(const QUuid& itemId, const QUuid& dockId,
                                 const DockViewServices& services, QWidget* parent);
    // What a drag out of the tile carries: the item's id as plain text.
    static QMimeData* dragPayload(const DockItem& item);
    // The item of that id in the dock as the store holds it now, or null.
    static const DockItem* currentItem(const DockStore& store, const QUuid& dockId,
                                       const QUuid& itemId);
};
