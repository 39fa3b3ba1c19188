// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/DockStore.h"

// Reaches into a store for a test: puts it in a given state, as if it had read those docks from
// its file, and tells whether a save is waiting.
class DockStoreTesting {
public:
    static void setDocks(DockStore& store, std::vector<Dock> docks) {
        store.replaceAll(std::move(docks));
    }
    static bool isSavePending(const DockStore& store) { return store.savePending_; }
};
