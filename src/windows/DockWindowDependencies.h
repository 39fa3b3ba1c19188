#pragma once

class DockPanelFactory;
class PointerMonitor;
class Screens;

// The window layer a dock's window controller works through, handed in by whoever makes the
// windows manager: the real one at start-up, fakes in tests.
struct DockWindowDependencies {
    DockPanelFactory& panelFactory;
    Screens& screens;
    PointerMonitor& pointerMonitor;
};
