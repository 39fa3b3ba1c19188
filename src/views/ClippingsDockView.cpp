// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/ClippingsDockView.h"

#include "store/DockStore.h"

#include <QPainter>

namespace {

// Around the hint, as the platform pads a text by default.
constexpr int hintPadding = 16;
const QColor hintColor(255, 255, 255, qRound(0.5 * 255));

QFont hintFont() {
    QFont font;
    font.setPixelSize(10);
    return font;
}

} // namespace

ClippingsDockView::ClippingsDockView(const QUuid& dockId,
                                     const DockItemGridView::Services& services, QWidget* parent)
    : QWidget(parent), dockId_(dockId), store_(services.store),
      grid_(new DockItemGridView(dockId, services, this)) {
    // Bundles stay folders here; text the grid refuses elsewhere becomes a clipping; tiles of
    // other docks are kept as copies.
    grid_->setDropRules(
        {.desktopEntriesAsApplications = false, .textAsClipping = true, .tilesAsCopies = true});
    refresh();
}

QString ClippingsDockView::hint() {
    return tr("Drag text or files here to save them");
}

void ClippingsDockView::refresh() {
    grid_->refresh();
    const Dock* dock = store_.dock(dockId_);
    const std::vector<DockItem>* items = dock ? DockItemGridView::shownItems(*dock) : nullptr;
    const bool empty = dock && (!items || items->empty());
    if (empty != showsHint_) {
        showsHint_ = empty;
        update(hintRect());
    }
}

QRect ClippingsDockView::hintRect() const {
    // Under the (empty) grid, which keeps its padding.
    const int top = grid_->gridLayout().contentHeight();
    return rect().adjusted(hintPadding, top + hintPadding, -hintPadding, -hintPadding);
}

void ClippingsDockView::paintEvent(QPaintEvent*) {
    if (!showsHint_)
        return;
    // The grid above is transparent: the hint shows through it and drops still reach it.
    QPainter painter(this);
    painter.setFont(hintFont());
    painter.setPen(hintColor);
    painter.drawText(hintRect(), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, hint());
}

void ClippingsDockView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    grid_->setGeometry(rect());
    update();
}
