// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class DockPanelFactory;
class PointerMonitor;
class Screens;

// The window layer a dock's window controller works through, handed in by whoever makes the
// windows manager: the real one at start-up, fakes in tests.
struct DockWindowDependencies {
    DockPanelFactory& panelFactory;
    Screens& screens;
    PointerMonitor& pointerMonitor;
    // Whether one of our own menus, dialogs or drags is open: no dock hides from under it. None
    // given: never.
    std::function<bool()> isOwnPopupOpen = {};
};
