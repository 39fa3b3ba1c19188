// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockEnums.h"

#include <QPointF>
#include <QRectF>

#include <optional>
#include <vector>

// Decides, for one pointer position, whether an auto-hiding panel should vanish or come back.
// Pure: the controller feeds it the pointer, the panel's frame and the screens, all in the docks'
// space (y up), and carries out the answer. The edge is that of the panel's own screen (the one
// showing most of it, else the main screen); a pointer that leaves that screen hides the panel.
class AutoHideRule {
public:
    enum class Action { none, hide, reveal };

    // Width of the band inside a screen's edge that brings a hidden panel back.
    static constexpr double edgeBand = 6;
    // How far around the panel the pointer still counts as near it.
    static constexpr double nearDistance = 60;

    struct Input {
        QPointF pointer;
        QRectF panelFrame;
        const std::vector<QRectF>* screens = nullptr; // window-system order
        std::optional<QRectF> mainScreen;             // for a panel that no screen shows
        ScreenEdge edge = ScreenEdge::left;
        bool isAutoHidden = false;
    };

    static Action decide(const Input& input);

    // Where no program learns where the pointer is outside its own surfaces, a strip this thick
    // along the edge takes the pointer instead (and the clicks there: kept thin).
    static constexpr double stripThickness = 2;
    // That strip along `edge` of `screen`.
    static QRectF edgeStrip(const QRectF& screen, ScreenEdge edge);

    // Half-open containment: the minimum edges are inside, the maximum edges outside.
    static bool contains(const QRectF& rect, const QPointF& point);
};
