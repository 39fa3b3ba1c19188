// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/DockStoreTesting.h"
#include "fakes/FakeAutostart.h"
#include "fakes/FakeBadgeUpdates.h"
#include "fakes/FakeCacheFiles.h"
#include "fakes/FakeClipboard.h"
#include "fakes/FakeDefaultApplications.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeFileIcons.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeHotKeyBackend.h"
#include "fakes/FakeImageFileChooser.h"
#include "fakes/FakeKeyCodeTranslator.h"
#include "fakes/FakeLaunchConfirmation.h"
#include "fakes/FakeLaunchFeedback.h"
#include "fakes/FakePathChooser.h"
#include "fakes/FakeProcessScopes.h"
#include "fakes/FakeRunningApplications.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/FakeSystemStatistics.h"
#include "fakes/FakeTrash.h"
#include "fakes/FakeWallClock.h"
#include "fakes/FakeWindowActivation.h"
#include "fakes/FakeWindowHints.h"
#include "fakes/VirtualScheduler.h"
#include "runtime/ApplicationLauncher.h"
#include "runtime/BadgeModel.h"
#include "runtime/DockletRuntime.h"
#include "runtime/HotKeyManager.h"
#include "runtime/LaunchAtLogin.h"
#include "runtime/RunningAppsMonitor.h"
#include "store/DockStore.h"
#include "support/IconCache.h"
#include "views/DockContentView.h"
#include "views/DockItemActions.h"
#include "views/PreferencesView.h"
#include "windows/DockWindowDependencies.h"

// The whole fake platform with a real store, monitor, hot key manager, docklet sampler and item
// actions, handed to the views and windows as each takes them: on a virtual clock for logic and
// widget tests, on the event loop (QtScheduler) for tests against a real X server. The store
// starts with the docks given (none by default).
template <typename SchedulerType> struct FakeServicesOn {
    explicit FakeServicesOn(std::vector<Dock> docks = {}) {
        DockStoreTesting::setDocks(store, std::move(docks));
        runningApps.start();
        iconCache.startChecking();
        // Let the store write its starter docks, so that the clock starts out idle.
        if constexpr (requires { scheduler.advance(std::chrono::seconds(1)); })
            scheduler.advance(std::chrono::seconds(1));
    }

    FakeFileSystem fileSystem;
    SchedulerType scheduler;
    FakeDefaultApplications defaultApplications;
    FakeDesktop desktop;
    FakeLaunchConfirmation launchConfirmation;
    FakeClipboard clipboard;
    FakeTrash trash;
    FakeFileIcons fileIcons;
    FakeImageFileChooser imageChooser;
    FakePathChooser pathChooser;
    FakeRunningApplications runningApplications;
    FakeSystemStatistics statistics;
    FakeHotKeyBackend hotKeyBackend;
    FakeKeyCodeTranslator keyCodes;
    FakeAutostart autostart;
    FakeSystemLog systemLog;
    FakeWindowActivation windowActivation;
    FakeWindowHints windowHints;
    FakeCacheFiles cacheFiles;
    FakeWallClock wallClock{scheduler, 0.0};
    FakeLaunchFeedback launchFeedback;
    FakeProcessScopes scopes;
    FakeBadgeUpdates badgeUpdates;
    DockStore store{{fileSystem, scheduler, defaultApplications, QStringLiteral("/data/Moorline")}};
    RunningAppsMonitor runningApps{runningApplications, desktop, scheduler};
    HotKeyManager hotKeys{hotKeyBackend, scheduler};
    DockletRuntime docklets{statistics, scheduler, wallClock};
    LaunchAtLogin launchAtLogin{autostart, systemLog};
    IconCache iconCache{cacheFiles};
    ApplicationLauncher launcher{{desktop, launchConfirmation, runningApps, runningApplications,
                                  launchFeedback, scopes, scheduler}};
    BadgeModel badges{badgeUpdates, scheduler};
    DockItemActions itemActions{{store, desktop, clipboard, launcher, imageChooser, fileSystem,
                                 trash, defaultApplications}};

    DockContentView::Services contentServices() {
        return {store,    scheduler,   runningApps, fileSystem, fileIcons, iconCache,
                docklets, itemActions, launcher,    badges,     trash};
    }
    PreferencesView::Services preferencesServices() {
        return {store,      scheduler,           hotKeys,   keyCodes,   launchAtLogin,
                fileSystem, defaultApplications, fileIcons, pathChooser};
    }
    DockWindowDependencies windowDependencies(DockPanelFactory& panels, Screens& screens,
                                              PointerMonitor& pointer) {
        return {store, hotKeys, scheduler, panels, screens, pointer};
    }
};

using FakeServices = FakeServicesOn<VirtualScheduler>;
