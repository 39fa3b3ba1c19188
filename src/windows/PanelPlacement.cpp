// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/PanelPlacement.h"

#include <algorithm>
#include <cmath>

namespace {

// A window is at least one pixel wide and high, whatever the record says.
QRectF asShown(const QRectF& frame) {
    return {frame.x(), frame.y(), std::max(frame.width(), 1.0), std::max(frame.height(), 1.0)};
}

double overlap(const QRectF& a, const QRectF& b) {
    const QRectF common = a.intersected(b);
    return common.isEmpty() ? 0 : common.width() * common.height();
}

// Keeps [start, start + length) inside [low, high), or starts at `low` when it cannot fit.
double clampedStart(double start, double length, double low, double high) {
    return length >= high - low ? low : std::clamp(start, low, high - length);
}

QRectF movedOnto(const QRectF& frame, const QRectF& screen) {
    const QRectF shown = asShown(frame);
    const double minX = screen.x(), maxX = screen.x() + screen.width();
    const double minY = screen.y(), maxY = screen.y() + screen.height();
    const double x = clampedStart(shown.x(), shown.width(), minX, maxX);
    // y grows upward: the top edge is what must stay on the screen when the frame is too tall.
    const double y = shown.height() >= maxY - minY
                         ? maxY - shown.height()
                         : std::clamp(shown.y(), minY, maxY - shown.height());
    return {x, y, frame.width(), frame.height()};
}

} // namespace

std::optional<QRectF> PanelPlacement::screenOf(const QRectF& frame,
                                               const std::vector<QRectF>& screens) {
    std::optional<QRectF> best;
    double bestOverlap = 0;
    for (const QRectF& screen : screens) {
        const double area = overlap(asShown(frame), screen);
        if (area > bestOverlap) {
            best = screen;
            bestOverlap = area;
        }
    }
    return best;
}

QRectF PanelPlacement::reachableFrame(const QRectF& frame, const std::vector<QRectF>& screens) {
    const bool finite = std::isfinite(frame.x()) && std::isfinite(frame.y()) &&
                        std::isfinite(frame.width()) && std::isfinite(frame.height());
    if (!finite || screens.empty() || screenOf(frame, screens))
        return frame;
    QRectF best = frame;
    double bestDistance = INFINITY;
    for (const QRectF& screen : screens) {
        const QRectF moved = movedOnto(frame, screen);
        const double distance = std::hypot(moved.x() - frame.x(), moved.y() - frame.y());
        if (distance < bestDistance) {
            best = moved;
            bestDistance = distance;
        }
    }
    return best;
}
