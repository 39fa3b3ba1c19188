// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class DockPanelFactory;
class DockStore;
class HotKeyManager;
class PointerMonitor;
class Scheduler;
class Screens;

// What the windows manager and each dock's window controller work with, handed in by whoever
// makes the manager: the real ones at start-up, fakes in tests. All outlive the manager.
struct DockWindowDependencies {
    DockStore& store;
    HotKeyManager& hotKeys;
    Scheduler& scheduler;
    DockPanelFactory& panelFactory;
    Screens& screens;
    PointerMonitor& pointerMonitor;
    // Whether one of our own menus, dialogs or drags is open: no dock hides from under it. None
    // given: never.
    std::function<bool()> isOwnPopupOpen = {};
};
