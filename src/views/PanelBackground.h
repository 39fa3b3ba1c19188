// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QSize>

#include <vector>

class QPainter;

// The rounded background of a dock's panel for one size, corner radius and pixel ratio, prepared
// once so that a repaint for a new tint or opacity costs little: its area as the rectangles it
// covers whole and the four corners along the outline's own arcs, and its hairline drawn once
// and copied, as its four corners and the lines of pixels along its sides. What filling and
// stroking the outline draws, to a level of rounding.
class PanelBackground {
public:
    PanelBackground() = default;
    PanelBackground(const QSize& size, double cornerRadius, qreal ratio, const QColor& hairline);

    bool fits(const QSize& size, double cornerRadius, qreal ratio) const {
        return size == size_ && cornerRadius == radius_ && ratio == ratio_;
    }
    // Fills the shape and draws the hairline over it. `clearedBelow`: what lies beneath is
    // transparent (a translucent window is cleared before every paint), so that the rectangles
    // can be written rather than blended: the same pixels at a fraction of the cost.
    void paint(QPainter& painter, const QColor& fill, bool clearedBelow) const;

    // The rounded outline of a rectangle; a radius that makes no sense draws square corners.
    static QPainterPath outline(const QRectF& rect, double cornerRadius);

private:
    struct Corner {
        QPoint at;
        QImage image;
    };
    struct Line {
        QRect rect;
        QColor color;
    };

    void prepareArea(double radius, int corner);
    void prepareHairline(const QColor& color, int corner);
    void strokeHairline(QPainter& painter) const;

    QSize size_;
    double radius_ = -1;
    qreal ratio_ = 0;
    QPainterPath outline_;
    std::vector<QRect> bands_;
    std::vector<QPainterPath> corners_;
    // The hairline's pieces; none where it is drawn as it is (at a fractional pixel ratio).
    std::vector<Corner> hairlineCorners_;
    std::vector<Line> hairlineSides_;
    QColor hairline_;
};
