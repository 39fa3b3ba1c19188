// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/TileBadgePainter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace TileBadgePainter {

namespace {

const QColor dotColour(255, 255, 255, qRound(0.85 * 255));
const QColor urgentFill(255, 140, 0, qRound(0.45 * 255));
const QColor badgeFill(220, 40, 40);
const QColor badgeText(255, 255, 255);
const QColor trackFill(0, 0, 0, qRound(0.55 * 255));
const QColor progressFill(90, 170, 255);

} // namespace

QString countText(std::int64_t count) {
    return count > 999 ? QStringLiteral("999+") : QString::number(count);
}

void paintUrgency(QPainter& painter, const QRect& cell) {
    QPainterPath shape;
    shape.addRoundedRect(QRectF(cell.adjusted(1, 0, -1, 0)), 10, 10);
    painter.fillPath(shape, urgentFill);
}

void paintRunningDot(QPainter& painter, const QRect& icon) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(dotColour);
    painter.drawEllipse(
        QRectF(icon.center().x() + 0.5 - dotSize / 2.0, icon.bottom() + 1, dotSize, dotSize));
    painter.restore();
}

void paintBadge(QPainter& painter, const QRect& icon, const AppBadge& badge) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    if (badge.progress) {
        const int height = std::max(3, icon.height() / 10);
        const QRectF track(icon.left() + icon.width() * 0.1, icon.bottom() + 1 - height * 2,
                           icon.width() * 0.8, height);
        painter.setBrush(trackFill);
        painter.drawRoundedRect(track, height / 2.0, height / 2.0);
        painter.setBrush(progressFill);
        painter.drawRoundedRect(
            QRectF(track.topLeft(), QSizeF(track.width() * *badge.progress, track.height())),
            height / 2.0, height / 2.0);
    }
    if (badge.count) {
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(std::max(7, icon.height() * 11 / 48));
        const QString text = countText(*badge.count);
        const QFontMetrics metrics(font);
        const int height = metrics.height();
        const int width =
            std::min(icon.width(), std::max(height, metrics.horizontalAdvance(text) + height / 2));
        const QRectF pill(icon.right() + 1 - width, icon.top(), width, height);
        painter.setBrush(badgeFill);
        painter.drawRoundedRect(pill, height / 2.0, height / 2.0);
        painter.setFont(font);
        painter.setPen(badgeText);
        painter.drawText(pill, Qt::AlignCenter, text);
    }
    painter.restore();
}

} // namespace TileBadgePainter
