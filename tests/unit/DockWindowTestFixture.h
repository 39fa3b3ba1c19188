#pragma once

#include "fakes/FakeDefaultApplications.h"
#include "fakes/FakeDockPanelFactory.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeHotKeyBackend.h"
#include "fakes/FakePointerMonitor.h"
#include "fakes/FakeScreens.h"
#include "fakes/VirtualScheduler.h"
#include "runtime/HotKeyManager.h"
#include "store/DockStore.h"
#include "windows/DockWindowsManager.h"

#include <gtest/gtest.h>

#include <memory>

// A store, the hot key manager on a fake backend and the fake window layer, on a virtual clock.
class DockWindowTest : public ::testing::Test {
protected:
    DockWindowTest() {
        store.docks.set({});
        // Let the store write its starter docks, so that the clock starts out idle.
        scheduler.advance(std::chrono::seconds(1));
    }

    static Dock makeDock(const QString& name, DockPosition position = {100, 200, 180, 300}) {
        Dock dock = Dock::makeDefault(DockKind::items, name);
        dock.position = position;
        return dock;
    }

    void startManager() {
        manager = std::make_unique<DockWindowsManager>(store, nullptr, dependencies);
    }

    const Dock& stored(const QUuid& id) const { return *store.dock(id); }
    void change(const QUuid& id, const std::function<void(Dock&)>& edit) {
        Dock dock = stored(id);
        edit(dock);
        store.update(dock);
    }

    // Whether the dock has a hot key, held by a live grab of its record's chord (the record may
    // be gone). A chord given up stays grabbed until the end of the pass, firing nothing.
    bool hotKeyRegistered(const QUuid& dockID, std::optional<HotKeyBinding> binding = {}) const {
        if (!hotKeys.isRegistered(dockID))
            return false;
        if (!binding && store.dock(dockID))
            binding = store.dock(dockID)->hotKey;
        if (!binding || !binding->isComplete())
            return false;
        for (const auto& grab : hotKeyBackend.live())
            if (grab.keyCode == *binding->keyCode && grab.modifiers == *binding->modifiers)
                return true;
        return false;
    }
    // Presses the dock's chord and runs the task the press becomes.
    void pressHotKey(const QUuid& dockID) {
        const HotKeyBinding binding = stored(dockID).hotKey;
        ASSERT_TRUE(hotKeyBackend.pressChord(*binding.keyCode, *binding.modifiers));
        scheduler.runPending();
    }

    FakeFileSystem fileSystem;
    VirtualScheduler scheduler;
    FakeDefaultApplications defaultApplications;
    DockStore store{{fileSystem, scheduler, defaultApplications, QStringLiteral("/data/Moorline")}};
    FakeHotKeyBackend hotKeyBackend;
    HotKeyManager hotKeys{hotKeyBackend, scheduler};
    FakeDockPanelFactory panels;
    FakeScreens screens;
    FakePointerMonitor pointer{&screens};
    DockWindowDependencies dependencies{scheduler, hotKeys, panels, screens, pointer};
    std::unique_ptr<DockWindowsManager> manager;
};
