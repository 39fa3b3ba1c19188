#pragma once

#include "backends/x11/X11HotKeyBackend.h"
#include "fakes/FakeDefaultApplications.h"
#include "fakes/FakeFileSystem.h"
#include "integration/support/XSession.h"
#include "platform/QtScheduler.h"
#include "runtime/HotKeyManager.h"
#include "store/DockStore.h"
#include "windows/DockPanelWindow.h"
#include "windows/DockWindowsEnvironment.h"
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
void xdotool(const QStringList& arguments);
// Moves the pointer to (x, y) in X coordinates with real motion: a warp close by, then a step.
void movePointer(int x, int y);
} // namespace X11Probe

// Real dock panels on the session's X server: a store on a fake file system, the X11 hot key
// backend, and the program's own windows manager with the real window layer.
class PanelFixture : public ::testing::Test {
protected:
    PanelFixture();
    ~PanelFixture() override;

    Dock addDock(const QString& name, DockPosition position, bool autoHide = false);
    void start();
    DockPanelWindow* panelOf(const QUuid& id) const;
    void change(const QUuid& id, const std::function<void(Dock&)>& edit);
    DockPosition storedPosition(const QUuid& id) const { return store.dock(id)->position; }

    FakeFileSystem fileSystem;
    QtScheduler& scheduler = QtScheduler::shared();
    FakeDefaultApplications defaultApplications;
    DockStore store{{fileSystem, scheduler, defaultApplications, QStringLiteral("/data")}};
    X11HotKeyBackend hotKeyBackend;
    HotKeyManager hotKeys{hotKeyBackend, scheduler};
    DockWindowsEnvironment environment;
    std::unique_ptr<DockWindowsManager> manager;
};
