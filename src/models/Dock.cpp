// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Dock.h"

DockTab Dock::currentTab() const {
    if (selectedTabIndex >= 0 && selectedTabIndex < static_cast<std::int64_t>(tabs.size()))
        return tabs[static_cast<std::size_t>(selectedTabIndex)];
    if (!tabs.empty())
        return tabs.front();
    return DockTab::make(QStringLiteral("Main"));
}

Dock Dock::makeDefault(DockKind kind, const QString& name) {
    Dock dock;
    dock.id = QUuid::createUuid();
    dock.name = name;
    dock.kind = kind;
    switch (kind) {
    case DockKind::items:
        dock.tabs.push_back(DockTab::make(QStringLiteral("Main")));
        dock.orientation = DockOrientation::vertical;
        // Wide enough for the four columns it asks for, at 48-point icons.
        dock.position = {60, 120, 276, 420};
        dock.appearance.iconSize = 48;
        break;
    case DockKind::applicationSwitcher:
        dock.tabs.push_back(DockTab::make(QStringLiteral("Items")));
        dock.orientation = DockOrientation::horizontal;
        // Beside the launcher dock rather than over its corner, and tall enough for its 56-point
        // icons with their running dots and labels under the name.
        dock.position = {360, 40, 480, 140};
        dock.appearance.iconSize = 56;
        break;
    case DockKind::clippings:
        dock.tabs.push_back(DockTab::make(QStringLiteral("Items")));
        dock.orientation = DockOrientation::vertical;
        dock.position = {900, 120, 200, 360};
        dock.appearance.iconSize = 48;
        break;
    }
    return dock;
}
