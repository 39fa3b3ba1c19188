// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backends/x11/QtScreens.h"
#include "backends/x11/X11HotKeyBackend.h"
#include "backends/x11/X11WindowHints.h"
#include "backends/x11/XInputPointerMonitor.h"
#include "fakes/FakeServices.h"
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"
#include "platform/QtScheduler.h"
#include "windows/DockPanelWindow.h"
#include "windows/DockPanelWindowFactory.h"
#include "windows/DockWindowsManager.h"

#include <gtest/gtest.h>

#include <ostream>

// A window's place and map state as the X server reports them (xwininfo).
struct WindowGeometry {
    int x = -1, y = -1, width = -1, height = -1;
    QString mapState;
    bool operator==(const WindowGeometry&) const = default;
};
std::ostream& operator<<(std::ostream& out, const WindowGeometry& g);

namespace X11Probe {
QString windowId(WId id);
QString xprop(WId window, const QString& property);
WindowGeometry xwininfo(WId window);
bool waitForMapState(WId window, const QString& state);
bool waitForGeometry(WId window, const WindowGeometry& expected);
// Moves the pointer to (x, y) in X coordinates with real motion: a warp close by, then a step.
void movePointer(int x, int y);
} // namespace X11Probe

// Real dock panels on the session's X server: the fake services (a store on a fake file system)
// with the X11 hot key backend, and the program's own windows manager with the real window layer.
class PanelFixture : public ::testing::Test {
protected:
    ~PanelFixture() override;

    Dock addDock(const QString& name, DockPosition position, bool autoHide = false);
    void start();
    DockPanelWindow* panelOf(const QUuid& id) const;
    void change(const QUuid& id, const std::function<void(Dock&)>& edit);
    DockPosition storedPosition(const QUuid& id) const { return store.dock(id)->position; }

    FakeServicesOn<QtScheduler> fakes;
    DockStore& store = fakes.store;
    QtScheduler& scheduler = fakes.scheduler;
    X11HotKeyBackend hotKeyBackend{scheduler};
    HotKeyManager hotKeys{hotKeyBackend, scheduler};
    X11WindowHints hints;
    DockPanelWindowFactory panelFactory{hints, fakes.contentServices()};
    QtScreens screens;
    XInputPointerMonitor pointerMonitor;
    std::unique_ptr<DockWindowsManager> manager;
};
