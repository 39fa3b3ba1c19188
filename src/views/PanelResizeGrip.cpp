// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/PanelResizeGrip.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

PanelResizeGrip::PanelResizeGrip(QWidget* parent) : QWidget(parent) {
    setFixedSize(edge, edge);
    setCursor(Qt::SizeFDiagCursor);
    setAccessibleName(tr("Resize"));
    setToolTip(tr("Drag to resize the dock"));
}

void PanelResizeGrip::setInk(const PanelInk& ink) {
    if (ink == ink_)
        return;
    ink_ = ink;
    update();
}

void PanelResizeGrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ink_.at(0.35), 1.2, Qt::SolidLine, Qt::RoundCap));
    // Three short diagonals in the corner, as resize grips are drawn.
    const double end = edge - 2.5;
    for (const double from : {4.0, 7.5, 11.0})
        painter.drawLine(QPointF(from, end), QPointF(end, from));
}

void PanelResizeGrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (QWindow* handle = window()->windowHandle())
        handle->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
    event->accept();
}
