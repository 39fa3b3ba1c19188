// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/DockAspects.h"

#include <QUuid>

// One change of the store as its observers hear it: which dock, and what about it. A dock added
// or removed comes with every aspect; a null id stands for the whole list, read anew.
struct DockChange {
    QUuid dockId;
    DockAspects aspects;

    // Whether the change may have touched any of `wanted` of the dock `id`.
    bool touches(const QUuid& id, DockAspects wanted) const {
        return (dockId.isNull() || dockId == id) && (aspects & wanted);
    }
};
