// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runtime/AppBadge.h"
#include "runtime/DockletFigures.h"
#include "views/TileImageCache.h"

#include <QFont>
#include <QRect>

class QPainter;
struct DockItem;
struct ItemGridLayout;

// Draws one item's tile in a grid: its icon or live docklet, its label and the hover highlight,
// and for a running program its dot, badge, progress and urgency.
// Pure drawing from what it is given; the grid draws and hit-tests its tiles itself, so that a
// tab of any length costs one widget.
class DockItemTilePainter {
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
                      const TileImageCache::Images& images, const DockletFigures& figures);
    // Whether the tile has a live docklet in place of an icon.
    static bool isLiveDocklet(const DockItem& item);
    // Whether the icon grows under the pointer (and the tile is highlighted).
    static bool scalesOnHover(const DockItem& item);
};
