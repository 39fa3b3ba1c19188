// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockItemTilePainter.h"

#include "models/DockItem.h"
#include "views/DockletTilePainter.h"
#include "views/ItemGridLayout.h"
#include "views/TileBadgePainter.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor hoverFill(255, 255, 255, qRound(0.12 * 255));
const QColor labelColor(255, 255, 255, qRound(0.85 * 255));
const QColor separatorColor(255, 255, 255, qRound(0.15 * 255));

bool isSeparator(const DockItem& item) {
    return item.kind == DockItemKind::separator;
}

// A separator has no label, so its tile is shorter than the row; it sits in the row's middle.
int iconTop(const DockItem& item, const QRect& cell, const ItemGridLayout& layout) {
    if (isSeparator(item))
        return cell.top() + (cell.height() - layout.iconSize) / 2;
    return cell.top() + ItemGridLayout::tilePadding;
}

void paintLabel(QPainter& painter, const QRect& icon, const ItemGridLayout& layout,
                const QStaticText& label) {
    // Centred under the icon, at the top of the label's row; elided to its width already.
    const int width = layout.labelWidth();
    const double left = icon.center().x() - width / 2 + 1;
    const double top = icon.bottom() + 1 + ItemGridLayout::partSpacing;
    painter.setFont(DockItemTilePainter::labelFont());
    painter.setPen(labelColor);
    painter.drawStaticText(QPointF(left + (width - label.size().width()) / 2, top), label);
}

void paintIcon(QPainter& painter, const QRect& icon, double scale, const QPixmap& pixmap) {
    QRectF target(icon);
    if (scale != 1.0) {
        const QSizeF size = target.size() * scale;
        target = QRectF(target.center() - QPointF(size.width() / 2, size.height() / 2), size);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    }
    painter.drawPixmap(target, pixmap, QRectF(pixmap.rect()));
}

} // namespace

QFont DockItemTilePainter::labelFont() {
    QFont font;
    // A point of the dock's geometry is a logical pixel.
    font.setPixelSize(10);
    return font;
}

bool DockItemTilePainter::isLiveDocklet(const DockItem& item) {
    return item.kind == DockItemKind::docklet && item.docklet.has_value();
}

bool DockItemTilePainter::scalesOnHover(const DockItem& item) {
    return !isSeparator(item) && !isLiveDocklet(item);
}

QRect DockItemTilePainter::iconRect(const DockItem& item, const QRect& cell,
                                    const ItemGridLayout& layout) {
    return {cell.center().x() + 1 - layout.iconSize / 2, iconTop(item, cell, layout),
            layout.iconSize, layout.iconSize};
}

void DockItemTilePainter::paint(QPainter& painter, const DockItem& item, const QRect& cell,
                                const ItemGridLayout& layout, const State& state,
                                const TileImageCache::Images& images,
                                const DockletFigures& figures) {
    const QRect icon = iconRect(item, cell, layout);
    if (isSeparator(item)) {
        const double width = layout.iconSize * 0.8;
        painter.fillRect(QRectF(icon.center().x() + 0.5 - width / 2, icon.center().y(), width, 1),
                         separatorColor);
        return;
    }
    if (state.badge.urgent)
        TileBadgePainter::paintUrgency(painter, cell);
    if (state.hovering) {
        QPainterPath highlight;
        highlight.addRoundedRect(QRectF(cell.adjusted(1, 0, -1, 0)), 10, 10);
        painter.fillPath(highlight, hoverFill);
    }
    if (isLiveDocklet(item))
        DockletTilePainter::paint(painter, *item.docklet, QRectF(icon), figures,
                                  state.trashTargeted);
    else
        paintIcon(painter, icon, state.scale, images.icon);
    if (state.running)
        TileBadgePainter::paintRunningDot(painter, icon);
    TileBadgePainter::paintBadge(painter, icon, state.badge);
    if (layout.labelHeight > 0)
        paintLabel(painter, icon, layout, images.label);
}
