#pragma once

class DockPanelFactory;
class HotKeyManager;
class PointerMonitor;
class Scheduler;
class Screens;

// The services a dock's window controller works through, handed in by whoever makes the windows
// manager: the real X11 ones in the program (DockWindowsEnvironment), fakes in tests.
struct DockWindowDependencies {
    Scheduler& scheduler;
    HotKeyManager& hotKeyManager;
    DockPanelFactory& panelFactory;
    Screens& screens;
    PointerMonitor& pointerMonitor;
};
