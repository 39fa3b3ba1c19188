// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/DockSnapshot.h"

DockSnapshot::DockSnapshot(const Dock& dock)
    : frame_(dock.position), appearance_(appearanceOf(dock)), hotKey_(dock.hotKey),
      listing_(listingOf(dock)), behaviour_(behaviourOf(dock)), content_(contentOf(dock)) {}

DockSnapshot::Appearance DockSnapshot::appearanceOf(const Dock& d) {
    return {d.kind, d.layout, d.orientation, d.style, d.columns, d.appearance};
}

DockSnapshot::Listing DockSnapshot::listingOf(const Dock& d) {
    return {d.name, d.isVisible};
}

DockSnapshot::Behaviour DockSnapshot::behaviourOf(const Dock& d) {
    return {d.alwaysOnTop, d.autoHide, d.screenEdgeForAutoHide};
}

DockSnapshot::Content DockSnapshot::contentOf(const Dock& d) {
    Content content{d.selectedTabIndex, {}};
    content.tabs.reserve(d.tabs.size());
    for (const DockTab& tab : d.tabs)
        content.tabs.push_back({tab.id, tab.name, tab.items.data(), tab.items.size()});
    return content;
}

DockFacets DockSnapshot::changesTo(const Dock& now) const {
    DockFacets changed;
    changed.setFlag(DockFacet::frame, frame_ != now.position);
    changed.setFlag(DockFacet::appearance, appearance_ != appearanceOf(now));
    changed.setFlag(DockFacet::hotKey, hotKey_ != now.hotKey);
    changed.setFlag(DockFacet::listing, listing_ != listingOf(now));
    changed.setFlag(DockFacet::behaviour, behaviour_ != behaviourOf(now));
    changed.setFlag(DockFacet::content, content_ != contentOf(now));
    return changed;
}
