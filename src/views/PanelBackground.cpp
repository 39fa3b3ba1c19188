// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/PanelBackground.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

PanelBackground::PanelBackground(const QSize& size, double cornerRadius, qreal ratio,
                                 const QColor& hairline)
    : size_(size), radius_(cornerRadius), ratio_(ratio),
      outline_(outline(QRectF(QPointF(), QSizeF(size)), cornerRadius)) {
    // The radius as outline() draws it.
    const double limit = std::min(size.width(), size.height()) / 2.0;
    const double radius = std::isnan(cornerRadius) ? 0.0 : std::clamp(cornerRadius, 0.0, limit);
    // Whole pixels around the corners, so that the rectangles and the corners meet without a
    // seam.
    const int corner = int(std::ceil(radius));
    prepareArea(radius, corner);
    prepareHairline(hairline, corner);
}

QPainterPath PanelBackground::outline(const QRectF& rect, double cornerRadius) {
    const double limit = std::min(rect.width(), rect.height()) / 2;
    const double radius = std::isnan(cornerRadius) ? 0.0 : std::clamp(cornerRadius, 0.0, limit);
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

void PanelBackground::prepareArea(double radius, int corner) {
    const int w = size_.width();
    const int h = size_.height();
    // Corner squares that would overlap leave the whole area to the outline.
    if (2 * corner > w || 2 * corner > h) {
        corners_ = {outline_};
        return;
    }
    for (const QRect& band :
         {QRect(0, corner, w, h - 2 * corner), QRect(corner, 0, w - 2 * corner, corner),
          QRect(corner, h - corner, w - 2 * corner, corner)})
        if (!band.isEmpty())
            bands_.push_back(band);
    if (corner == 0)
        return;
    // The arcs as QPainterPath::addRoundedRect computes them, so that the corner pixels come out
    // exactly as filling the whole outline would. Each corner runs from its square's inner
    // corner along one side to the arc (arcTo draws the line to its start), then back.
    const double arcWidth = w * (100 * radius / (w / 2.0)) / 100;
    const double arcHeight = h * (100 * radius / (h / 2.0)) / 100;
    const double c = corner;
    const struct {
        QPointF inner, side, end;
        QRectF arc;
        double startAngle;
    } corners[] = {
        {{c, c}, {0, c}, {c, 0}, {0, 0, arcWidth, arcHeight}, 180},
        {{w - c, c}, {w - c, 0}, {double(w), c}, {w - arcWidth, 0, arcWidth, arcHeight}, 90},
        {{w - c, h - c},
         {double(w), h - c},
         {w - c, double(h)},
         {w - arcWidth, h - arcHeight, arcWidth, arcHeight},
         0},
        {{c, h - c}, {c, double(h)}, {0, h - c}, {0, h - arcHeight, arcWidth, arcHeight}, 270},
    };
    for (const auto& each : corners) {
        QPainterPath path(each.inner);
        path.lineTo(each.side);
        path.arcTo(each.arc, each.startAngle, -90);
        path.lineTo(each.end);
        path.closeSubpath();
        corners_.push_back(path);
    }
}

void PanelBackground::prepareHairline(const QColor& color, int corner) {
    hairline_ = color;
    const int w = size_.width();
    const int h = size_.height();
    // The corners with the joins to the sides; along the sides the line is the same all along.
    const int k = corner + 2;
    const int thickness = 2;
    if (ratio_ != 1 || 2 * k > w || 2 * k > h)
        return;
    QImage drawn(w, h, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    painter.setRenderHint(QPainter::Antialiasing);
    strokeHairline(painter);
    painter.end();
    for (const QPoint at : {QPoint(0, 0), QPoint(w - k, 0), QPoint(0, h - k), QPoint(w - k, h - k)})
        hairlineCorners_.push_back({at, drawn.copy(QRect(at, QSize(k, k)))});
    const auto side = [&](QPoint sample, const QRect& rect) {
        const QRgb pixel = drawn.pixel(sample);
        if (qAlpha(pixel) > 0)
            hairlineSides_.push_back({rect, QColor::fromRgba(qUnpremultiply(pixel))});
    };
    for (int i = 0; i < thickness; ++i) {
        side({k, i}, QRect(k, i, w - 2 * k, 1));
        side({k, h - 1 - i}, QRect(k, h - 1 - i, w - 2 * k, 1));
        side({i, k}, QRect(i, k, 1, h - 2 * k));
        side({w - 1 - i, k}, QRect(w - 1 - i, k, 1, h - 2 * k));
    }
}

void PanelBackground::strokeHairline(QPainter& painter) const {
    // Centred on the outline; the panel's edge cuts off its outer half.
    painter.setPen(QPen(hairline_, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline_);
}

void PanelBackground::paint(QPainter& painter, const QColor& fill, bool clearedBelow) const {
    if (clearedBelow)
        painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& band : bands_)
        painter.fillRect(band, fill);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (const QPainterPath& corner : corners_)
        painter.fillPath(corner, fill);
    if (hairlineCorners_.empty()) {
        strokeHairline(painter);
        return;
    }
    for (const Corner& corner : hairlineCorners_)
        painter.drawImage(corner.at, corner.image);
    for (const Line& line : hairlineSides_)
        painter.fillRect(line.rect, line.color);
}
