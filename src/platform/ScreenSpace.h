// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>

// Conversions between Qt's global coordinates (origin at the top-left of the X screen, y down)
// and the docks' space (origin at the lower-left corner of the primary screen, y up). `primary`
// is the primary screen's geometry in Qt's coordinates. X puts the origin at the top-left of the
// bounding box of all monitors, so the primary screen starts elsewhere than at x = 0 as soon as
// a monitor stands to its left: a dock on the primary screen keeps its place however the other
// monitors are arranged.
namespace ScreenSpace {

// A rectangle keeps its size; its lower edge in dock space is its bottom edge in Qt's.
inline QRectF fromQt(const QRectF& rect, const QRect& primary) {
    const double primaryBottom = primary.y() + primary.height();
    return {rect.x() - primary.x(), primaryBottom - (rect.y() + rect.height()), rect.width(),
            rect.height()};
}

inline QRectF toQt(const QRectF& frame, const QRect& primary) {
    const double primaryBottom = primary.y() + primary.height();
    return {frame.x() + primary.x(), primaryBottom - (frame.y() + frame.height()), frame.width(),
            frame.height()};
}

// A pointer sits on a pixel; it is placed at that pixel's lower-left corner, so that the top row
// of a screen still lies inside the screen's half-open frame, as the left column does.
inline QPointF pointFromQt(const QPoint& pixel, const QRect& primary) {
    const double primaryBottom = primary.y() + primary.height();
    return {static_cast<double>(pixel.x() - primary.x()), primaryBottom - pixel.y() - 1};
}

} // namespace ScreenSpace
