// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/SettingsSection.h"

#include <QEvent>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

void SettingsSection::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (frame_.size() != pixels) {
        frame_ = QPixmap(pixels);
        frame_.setDevicePixelRatio(ratio);
        frame_.fill(Qt::transparent);
        // What QGroupBox draws, once.
        QStylePainter painter(&frame_, this);
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        painter.drawComplexControl(QStyle::CC_GroupBox, option);
    }
    // The paint event's region clips the copy to what is to be repainted.
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), frame_);
}

void SettingsSection::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::FontChange:
    case QEvent::EnabledChange:
    case QEvent::ActivationChange:
    case QEvent::LayoutDirectionChange:
        frame_ = QPixmap();
        break;
    default:
        break;
    }
    QGroupBox::changeEvent(event);
}
