// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockItem.h"

#include <vector>

// One tab of a dock: a title and its items in display order.
struct DockTab {
    QUuid id;
    QString name;
    std::vector<DockItem> items;

    bool operator==(const DockTab&) const = default;

    // A new tab with a fresh id and no items.
    static DockTab make(const QString& name);
};
