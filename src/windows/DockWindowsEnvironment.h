#pragma once

#include "backends/x11/QtScreens.h"
#include "backends/x11/XInputPointerMonitor.h"
#include "windows/DockPanelWindowFactory.h"
#include "windows/DockWindowDependencies.h"

// The real window layer for the windows manager: X11 panels, Qt's screens and the XInput2
// pointer monitor. Make one at start-up, keep it as long as the manager, and hand
// dependencies() to the manager.
class DockWindowsEnvironment {
public:
    DockWindowDependencies dependencies(Scheduler& scheduler, HotKeyManager& hotKeyManager) {
        return {scheduler, hotKeyManager, panelFactory, screens, pointerMonitor};
    }

    DockPanelWindowFactory panelFactory;
    QtScreens screens;
    XInputPointerMonitor pointerMonitor;
};
