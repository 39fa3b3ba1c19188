// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFlags>

// The facets of a dock that observers follow separately, so that a change wakes only those who
// show what it touched: an opacity tick repaints one panel and leaves the tray menu and the hot
// keys alone.
enum class DockFacet : unsigned {
    // Where its panel stands: the position and size.
    frame = 1u << 0,
    // How it is drawn and laid out: kind, style, layout, orientation, columns, icon size,
    // labels, opacity, tint, corner radius.
    appearance = 1u << 1,
    // What it shows: its tabs, their items, the selected tab.
    content = 1u << 2,
    hotKey = 1u << 3,
    // How the dock is listed (tray menu, settings sidebar): its name, whether it is shown, and
    // its place in the list of docks (an addition, a removal or a move).
    listing = 1u << 4,
    // How its panel behaves: above other windows, auto-hide and the edge it hides toward.
    behaviour = 1u << 5,
};
Q_DECLARE_FLAGS(DockFacets, DockFacet)
Q_DECLARE_OPERATORS_FOR_FLAGS(DockFacets)

inline constexpr int dockFacetCount = 6;
inline constexpr DockFacets allDockFacets = DockFacets::fromInt((1u << dockFacetCount) - 1);
