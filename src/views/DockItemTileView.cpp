// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockItemTileView.h"

#include "platform/FileSystem.h"
#include "platform/ImageFileChooser.h"
#include "runtime/ApplicationLauncher.h"
#include "store/DockStore.h"
#include "support/DesktopLaunch.h"
#include "views/ApplicationMenuEntries.h"
#include "views/DockViewServices.h"
#include "views/DockletTileView.h"
#include "views/ItemGridLayout.h"
#include "views/TileBadgePainter.h"

#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

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
                const QString& label) {
    const int width = layout.labelWidth();
    const QRect box(icon.center().x() - width / 2 + 1,
                    icon.bottom() + 1 + ItemGridLayout::partSpacing, width, layout.labelHeight);
    painter.setFont(DockItemTileView::labelFont());
    painter.setPen(labelColor);
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, label);
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

QFont DockItemTileView::labelFont() {
    QFont font;
    // A point of the dock's geometry is a logical pixel.
    font.setPixelSize(10);
    return font;
}

bool DockItemTileView::isLiveDocklet(const DockItem& item) {
    return item.kind == DockItemKind::docklet && item.docklet.has_value();
}

bool DockItemTileView::scalesOnHover(const DockItem& item) {
    return !isSeparator(item) && !isLiveDocklet(item);
}

QRect DockItemTileView::iconRect(const DockItem& item, const QRect& cell,
                                 const ItemGridLayout& layout) {
    return {cell.center().x() + 1 - layout.iconSize / 2, iconTop(item, cell, layout),
            layout.iconSize, layout.iconSize};
}

void DockItemTileView::paint(QPainter& painter, const DockItem& item, const QRect& cell,
                             const ItemGridLayout& layout, const State& state,
                             const TileImageCache::Images& images, const DockletRuntime& runtime) {
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
        DockletTileView::paint(painter, *item.docklet, QRectF(icon), runtime, state.trashTargeted);
    else
        paintIcon(painter, icon, state.scale, images.icon);
    if (state.running)
        TileBadgePainter::paintRunningDot(painter, icon);
    TileBadgePainter::paintBadge(painter, icon, state.badge);
    if (layout.labelHeight > 0)
        paintLabel(painter, icon, layout, images.label);
}

void DockItemTileView::open(const DockItem& item, const DockViewServices& services) {
    DesktopLaunch::open(item, services.launcher, services.desktop, services.clipboard);
}

void DockItemTileView::openNew(const DockItem& item, const DockViewServices& services) {
    if (const auto entry = DesktopLaunch::desktopEntryOf(item))
        services.launcher.openNew(*entry);
    else
        open(item, services);
}

const DockItem* DockItemTileView::currentItem(const DockStore& store, const QUuid& dockId,
                                              const QUuid& itemId) {
    const Dock* dock = store.dock(dockId);
    if (!dock)
        return nullptr;
    for (const DockTab& tab : dock->tabs)
        for (const DockItem& item : tab.items)
            if (item.id == itemId)
                return &item;
    return nullptr;
}

QMenu* DockItemTileView::makeMenu(const DockItem& item, const QUuid& dockId,
                                  const DockViewServices& services, QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QUuid itemId = item.id;
    const bool opens = item.kind != DockItemKind::docklet && !isSeparator(item);
    const auto entry = DesktopLaunch::desktopEntryOf(item);
    if (entry)
        ApplicationMenuEntries::addEntryActions(*menu, services.launcher, *entry);
    if (opens) {
        menu->addAction(tr("Open"), menu, [item, services] { open(item, services); });
        if (entry)
            ApplicationMenuEntries::addNewWindow(*menu, services.launcher, *entry);
        if (item.kind != DockItemKind::clippingText)
            menu->addAction(tr("Reveal in File Manager"), menu,
                            [item, services] { DesktopLaunch::reveal(item, services.desktop); });
        // The chooser outlives the menu; it is placed over the dock's panel.
        QPointer<QWidget> window = parent ? parent->window() : nullptr;
        menu->addAction(tr("Choose Custom Icon…"), menu, [itemId, dockId, services, window] {
            chooseCustomIcon(itemId, dockId, services, window);
        });
        if (item.customIconData)
            menu->addAction(tr("Reset Icon"), menu, [itemId, dockId, services] {
                const DockItem* current = currentItem(services.store, dockId, itemId);
                if (!current || !current->customIconData)
                    return;
                DockItem changed = *current;
                changed.customIconData.reset();
                services.store.updateItem(changed, dockId);
            });
        menu->addSeparator();
    }
    menu->addAction(tr("Remove From Dock"), menu,
                    [itemId, dockId, services] { services.store.removeItem(itemId, dockId); });
    return menu;
}

void DockItemTileView::chooseCustomIcon(const QUuid& itemId, const QUuid& dockId,
                                        const DockViewServices& services, QWidget* parent) {
    services.imageChooser.chooseImage(
        parent, [itemId, dockId, services](std::optional<QString> path) {
            if (!path)
                return;
            const std::optional<QByteArray> bytes = services.fileSystem.readAll(*path);
            // The dock or the item may have gone while the chooser was open.
            const DockItem* current = currentItem(services.store, dockId, itemId);
            if (!bytes || !current)
                return;
            DockItem changed = *current;
            // The file's own bytes, whatever they are: an undecodable one shows the kind's icon.
            changed.customIconData = *bytes;
            services.store.updateItem(changed, dockId);
        });
}

QMimeData* DockItemTileView::dragPayload(const DockItem& item) {
    auto* data = new QMimeData;
    data->setText(item.id.toString(QUuid::WithoutBraces).toUpper());
    return data;
}
