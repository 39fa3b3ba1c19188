// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/DockFacets.h"

#include <QUuid>

// One change of the store as its observers hear it: which dock, and what about it. A dock added
// or removed comes with every facet; a null id stands for the whole list, read anew.
struct DockChange {
    QUuid dockId;
    DockFacets facets;

    // Whether the change may have touched any of `wanted` of the dock `id`.
    bool touches(const QUuid& id, DockFacets wanted) const {
        return (dockId.isNull() || dockId == id) && (facets & wanted);
    }
};
