// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/DockStore.h"

// Puts a store in a given state for a test, as if it had read those docks from its file.
class DockStoreTesting {
public:
    static void setDocks(DockStore& store, std::vector<Dock> docks) {
        store.replaceAll(std::move(docks));
    }
};
