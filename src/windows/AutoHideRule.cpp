// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/AutoHideRule.h"

#include "windows/PanelPlacement.h"

namespace {

double minX(const QRectF& r) {
    return r.x();
}
double maxX(const QRectF& r) {
    return r.x() + r.width();
}
double minY(const QRectF& r) {
    return r.y();
}
double maxY(const QRectF& r) {
    return r.y() + r.height();
}

// The panel's own screen decides the edge: with two monitors side by side, the edge a dock hides
// toward may be the inner one between them, and the outer edge of the other monitor has nothing
// to do with it.
std::optional<QRectF> panelScreen(const AutoHideRule::Input& input) {
    if (input.screens)
        if (auto screen = PanelPlacement::screenOf(input.panelFrame, *input.screens))
            return screen;
    return input.mainScreen;
}

// The band lies inside the screen: at an inner edge the pointer passes on to the next monitor,
// which is not the edge any more.
bool atEdge(const QPointF& p, const QRectF& s, ScreenEdge edge) {
    if (!AutoHideRule::contains(s, p))
        return false;
    constexpr double band = AutoHideRule::edgeBand;
    switch (edge) {
    case ScreenEdge::left:
        return p.x() <= minX(s) + band;
    case ScreenEdge::right:
        return p.x() >= maxX(s) - band;
    case ScreenEdge::top:
        return p.y() >= maxY(s) - band;
    case ScreenEdge::bottom:
        return p.y() <= minY(s) + band;
    }
    return false;
}

// Hiding waits until the pointer is well past the side facing away from the edge, so that a
// pointer wandering above or below a side dock leaves it alone.
bool farBeyondOppositeSide(const QPointF& p, const QRectF& f, ScreenEdge edge) {
    constexpr double near = AutoHideRule::nearDistance;
    switch (edge) {
    case ScreenEdge::left:
        return p.x() > maxX(f) + near;
    case ScreenEdge::right:
        return p.x() < minX(f) - near;
    case ScreenEdge::top:
        return p.y() < minY(f) - near;
    case ScreenEdge::bottom:
        return p.y() > maxY(f) + near;
    }
    return false;
}

} // namespace

bool AutoHideRule::contains(const QRectF& rect, const QPointF& point) {
    return minX(rect) <= point.x() && point.x() < maxX(rect) && minY(rect) <= point.y() &&
           point.y() < maxY(rect);
}

QRectF AutoHideRule::edgeStrip(const QRectF& s, ScreenEdge edge) {
    constexpr double t = stripThickness;
    switch (edge) {
    case ScreenEdge::left:
        return {minX(s), minY(s), t, s.height()};
    case ScreenEdge::right:
        return {maxX(s) - t, minY(s), t, s.height()};
    case ScreenEdge::top:
        return {minX(s), maxY(s) - t, s.width(), t};
    case ScreenEdge::bottom:
        return {minX(s), minY(s), s.width(), t};
    }
    return {};
}

AutoHideRule::Action AutoHideRule::decide(const Input& input) {
    const std::optional<QRectF> screen = panelScreen(input);
    if (!screen)
        return Action::none;
    const QPointF& p = input.pointer;
    const QRectF& f = input.panelFrame;
    const QRectF nearZone = f.adjusted(-nearDistance, -nearDistance, nearDistance, nearDistance);
    const bool near = contains(nearZone, p);

    if (input.isAutoHidden)
        return atEdge(p, *screen, input.edge) || near ? Action::reveal : Action::none;
    if (near || contains(f, p))
        return Action::none;
    // Gone to another monitor: at an outer edge the pointer cannot pass the panel, at an inner
    // one it can, and a dock left standing there would stay up for as long as the user works on
    // the other monitor.
    if (!contains(*screen, p))
        return Action::hide;
    return farBeyondOppositeSide(p, f, input.edge) ? Action::hide : Action::none;
}
