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
        dock.position = {60, 120, 180, 420};
        dock.appearance.iconSize = 48;
        break;
    case DockKind::applicationSwitcher:
        dock.tabs.push_back(DockTab::make(QStringLiteral("Items")));
        dock.orientation = DockOrientation::horizontal;
        dock.position = {200, 40, 480, 92};
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
