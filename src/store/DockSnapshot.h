// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Dock.h"
#include "store/DockFacets.h"

#include <tuple>
#include <vector>

// A dock's state as far as telling which of its facets a change touched: every field by value
// but the tabs, and of each tab its id, its name and where its item list lives. Taking one costs
// the same for a dock of many items as for an empty one; an item changed in place inside the
// same list is therefore not seen (the store's item operations say what they change).
class DockSnapshot {
public:
    explicit DockSnapshot(const Dock& dock);

    // The facets in which `now` differs from the snapshot.
    DockFacets changesTo(const Dock& now) const;

private:
    // Each field of a dock belongs to exactly one facet; a new field needs a place here.
    using Appearance =
        std::tuple<DockKind, DockLayout, DockOrientation, DockStyle, std::int64_t, DockAppearance>;
    using Listing = std::tuple<QString, bool>;
    using Behaviour = std::tuple<bool, bool, ScreenEdge>;
    struct TabShape {
        QUuid id;
        QString name;
        const DockItem* items;
        std::size_t count;
        bool operator==(const TabShape&) const = default;
    };
    struct Content {
        std::int64_t selectedTabIndex;
        std::vector<TabShape> tabs;
        bool operator==(const Content&) const = default;
    };
    static Appearance appearanceOf(const Dock& d);
    static Listing listingOf(const Dock& d);
    static Behaviour behaviourOf(const Dock& d);
    static Content contentOf(const Dock& d);

    DockPosition frame_;
    Appearance appearance_;
    HotKeyBinding hotKey_;
    Listing listing_;
    Behaviour behaviour_;
    Content content_;
};
