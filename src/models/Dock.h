// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockAppearance.h"
#include "models/DockPosition.h"
#include "models/DockTab.h"
#include "models/HotKeyBinding.h"

#include <cstdint>

// One dock: its tabs of items, how it is laid out and drawn, where its panel is, and how it
// shows and hides. Plain value; the store holds the authoritative list.
struct Dock {
    QUuid id;
    QString name;
    DockKind kind = DockKind::items;
    std::vector<DockTab> tabs;
    std::int64_t selectedTabIndex = 0;
    DockLayout layout = DockLayout::grid;
    DockOrientation orientation = DockOrientation::vertical;
    DockStyle style = DockStyle::tabbedPalette;
    DockPosition position;
    std::int64_t columns = 4;
    DockAppearance appearance;
    bool autoHide = false;
    bool alwaysOnTop = true;
    bool isVisible = true;
    HotKeyBinding hotKey;
    ScreenEdge screenEdgeForAutoHide = ScreenEdge::left;

    bool operator==(const Dock&) const = default;

    // The tab on show: the selected one when the index is in range, else the first; with no tabs,
    // a new empty tab named "Main" that is not stored in the dock.
    DockTab currentTab() const;

    static Dock makeDefault(DockKind kind, const QString& name);
};
