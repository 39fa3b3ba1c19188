// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/FakeDockPanelFactory.h"
#include "fakes/FakePointerMonitor.h"
#include "fakes/FakeScreens.h"
#include "fakes/FakeServices.h"
#include "windows/DockWindowsManager.h"

#include <gtest/gtest.h>

#include <memory>

// A store, the hot key manager on a fake backend and the fake window layer, on a virtual clock.
class DockWindowTest : public ::testing::Test {
protected:
    void setDocks(std::vector<Dock> docks) { DockStoreTesting::setDocks(store, std::move(docks)); }

    static Dock makeDock(const QString& name, DockPosition position = {100, 200, 180, 300}) {
        Dock dock = Dock::makeDefault(DockKind::items, name);
        dock.position = position;
        return dock;
    }

    void startManager() { manager = std::make_unique<DockWindowsManager>(dependencies); }
    // Starts the manager on these docks and answers the first one's id.
    QUuid start(std::vector<Dock> docks) {
        const QUuid first = docks.empty() ? QUuid() : docks.front().id;
        setDocks(std::move(docks));
        startManager();
        return first;
    }
    FakeDockPanelState& panel(const QUuid& dockId) { return *panels.panelFor(dockId); }

    const Dock& stored(const QUuid& id) const { return *store.dock(id); }
    void change(const QUuid& id, const std::function<void(Dock&)>& edit) {
        store.mutateDock(id, edit);
    }

    // Whether the dock has a hot key, held by a live grab of its record's chord (the record may
    // be gone). A chord given up stays grabbed until the end of the pass, firing nothing.
    bool hotKeyRegistered(const QUuid& dockId, std::optional<HotKeyBinding> binding = {}) const {
        if (!hotKeys.isRegistered(dockId))
            return false;
        if (!binding && store.dock(dockId))
            binding = store.dock(dockId)->hotKey;
        if (!binding || !binding->isComplete())
            return false;
        for (const auto& grab : hotKeyBackend.live())
            if (grab.keyCode == *binding->keyCode && grab.modifiers == *binding->modifiers)
                return true;
        return false;
    }
    // Presses the dock's chord and runs the task the press becomes.
    void pressHotKey(const QUuid& dockId) {
        const HotKeyBinding binding = stored(dockId).hotKey;
        ASSERT_TRUE(hotKeyBackend.pressChord(*binding.keyCode, *binding.modifiers));
        scheduler.runPending();
    }

    FakeServices fakes;
    DockStore& store = fakes.store;
    VirtualScheduler& scheduler = fakes.scheduler;
    FakeHotKeyBackend& hotKeyBackend = fakes.hotKeyBackend;
    HotKeyManager& hotKeys = fakes.hotKeys;
    FakeDockPanelFactory panels;
    FakeScreens screens;
    FakePointerMonitor pointer{&screens};
    DockWindowDependencies dependencies = fakes.windowDependencies(panels, screens, pointer);
    std::unique_ptr<DockWindowsManager> manager;
};
