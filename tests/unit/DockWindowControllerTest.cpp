#include "DockWindowTestFixture.h"

namespace {

using namespace std::chrono_literals;

class DockWindowControllerTest : public DockWindowTest {
protected:
    // A left-edge auto-hiding dock at x 0-100, y 300-500 on a 1280 x 800 screen.
    QUuid startWithAutoHidingDock(ScreenEdge edge = ScreenEdge::left) {
        Dock dock = makeDock(QStringLiteral("A"), {0, 300, 100, 200});
        dock.autoHide = true;
        dock.screenEdgeForAutoHide = edge;
        setDocks({dock});
        startManager();
        return dock.id;
    }

    void movePointer(QPointF to) {
        pointer.move(to);
        scheduler.runPending();
    }

    DockWindowController& controllerOf(const QUuid& id) { return *manager->controller(id); }
};

TEST_F(DockWindowControllerTest, TenMovesATenthApartGiveOneUpdateAfterTheLast) {
    const Dock a = makeDock(QStringLiteral("A"));
    setDocks({a});
    startManager();
    int updates = 0;
    Subscription counting = store.docks.sink([&](const auto&) { ++updates; });
    updates = 0;

    FakeDockPanelState* panel = panels.panelFor(a.id);
    for (int i = 1; i <= 10; ++i) {
        panel->userSetsFrame({100.0 + i, 200, 180, 300});
        scheduler.advance(100ms);
    }
    // 100 ms after the tenth move.
    scheduler.advance(199ms);
    EXPECT_EQ(updates, 0);
    scheduler.advance(1ms);
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(stored(a.id).position, (DockPosition{110, 200, 180, 300}));
    scheduler.advance(5s);
    EXPECT_EQ(updates, 1);
}

TEST_F(DockWindowControllerTest, MovesInTheirDelayAreWrittenAtQuitInOneChangeAndOnlyOnce) {
    const Dock a = makeDock(QStringLiteral("A"));
    const Dock b = makeDock(QStringLiteral("B"));
    const Dock c = makeDock(QStringLiteral("C"));
    setDocks({a, b, c});
    startManager();
    int changes = 0;
    Subscription counting = store.docks.sink([&](const auto&) { ++changes; });
    changes = 0;
    panels.panelFor(a.id)->userSetsFrame({300, 300, 200, 200});
    panels.panelFor(c.id)->userSetsFrame({500, 100, 200, 200});
    scheduler.advance(100ms);
    manager->flushPendingFrameSaves();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(stored(a.id).position, (DockPosition{300, 300, 200, 200}));
    EXPECT_EQ(stored(b.id).position, b.position);
    EXPECT_EQ(stored(c.id).position, (DockPosition{500, 100, 200, 200}));
    scheduler.advance(1s);
    manager->flushPendingFrameSaves();
    EXPECT_EQ(changes, 1);
}

TEST_F(DockWindowControllerTest, AFrameSaveWritesTheRecordAsItIsThen) {
    const Dock a = makeDock(QStringLiteral("A"));
    setDocks({a});
    startManager();
    panels.panelFor(a.id)->userSetsFrame({300, 300, 200, 200});
    scheduler.advance(100ms);
    // The record still rules the panel: a change before the save puts the panel back at the
    // stored frame, and the save then keeps the rename.
    change(a.id, [](Dock& dock) { dock.name = QStringLiteral("Renamed"); });
    scheduler.advance(300ms);
    EXPECT_EQ(stored(a.id).name, QStringLiteral("Renamed"));
    EXPECT_EQ(stored(a.id).position, a.position);
    EXPECT_EQ(panels.panelFor(a.id)->frame, QRectF(100, 200, 180, 300));
    EXPECT_EQ(panels.panelFor(a.id)->title, QStringLiteral("Renamed"));
}

TEST_F(DockWindowControllerTest, ADockOffEveryScreenIsShownOnTheNearestUntilTheUserMovesIt) {
    const Dock a = makeDock(QStringLiteral("A"), {1500, 300, 100, 200});
    setDocks({a});
    startManager();
    FakeDockPanelState* panel = panels.panelFor(a.id);
    EXPECT_EQ(panel->frame, QRectF(1180, 300, 100, 200));
    // Showing it there is no move of the user's: the stored frame waits for its monitor.
    scheduler.advance(1s);
    EXPECT_EQ(stored(a.id).position, a.position);
    panel->userSetsFrame({600, 300, 100, 200});
    scheduler.advance(300ms);
    EXPECT_EQ(stored(a.id).position, (DockPosition{600, 300, 100, 200}));
}

TEST_F(DockWindowControllerTest, AlwaysOnTopFollowsTheRecord) {
    const Dock a = makeDock(QStringLiteral("A"));
    setDocks({a});
    startManager();
    EXPECT_TRUE(panels.panelFor(a.id)->alwaysOnTop);
    change(a.id, [](Dock& dock) { dock.alwaysOnTop = false; });
    EXPECT_FALSE(panels.panelFor(a.id)->alwaysOnTop);
}

TEST_F(DockWindowControllerTest, ThePointerMonitorIsInstalledOnlyWhileAutoHideIsOn) {
    const Dock a = makeDock(QStringLiteral("A"));
    setDocks({a});
    startManager();
    EXPECT_EQ(pointer.installCount, 0);
    movePointer({1200, 100});
    EXPECT_TRUE(panels.panelFor(a.id)->onScreen);

    change(a.id, [](Dock& dock) { dock.autoHide = true; });
    EXPECT_EQ(pointer.activeCount(), 1u);
    change(a.id, [](Dock& dock) { dock.name = QStringLiteral("B"); });
    EXPECT_EQ(pointer.activeCount(), 1u);
    change(a.id, [](Dock& dock) { dock.autoHide = false; });
    EXPECT_EQ(pointer.activeCount(), 0u);
}

TEST_F(DockWindowControllerTest, ThePanelLeavesWhenThePointerIsFarAndComesBackAtTheEdge) {
    const QUuid id = startWithAutoHidingDock();
    FakeDockPanelState* panel = panels.panelFor(id);
    movePointer({150, 400}); // near: stays
    EXPECT_TRUE(panel->onScreen);
    movePointer({600, 400});
    EXPECT_FALSE(panel->onScreen);
    EXPECT_TRUE(controllerOf(id).isAutoHidden());
    movePointer({7, 100}); // just off the band
    EXPECT_FALSE(panel->onScreen);
    movePointer({6, 100});
    EXPECT_TRUE(panel->onScreen);
    EXPECT_FALSE(controllerOf(id).isAutoHidden());
    // Auto-hide never writes the frame.
    scheduler.advance(1s);
    EXPECT_EQ(stored(id).position, (DockPosition{0, 300, 100, 200}));
}

TEST_F(DockWindowControllerTest, PointerEventsOfOnePassGiveOneCheck) {
    const QUuid id = startWithAutoHidingDock();
    for (int i = 0; i < 50; ++i)
        pointer.move({600.0 + i, 400});
    EXPECT_EQ(scheduler.pendingCount(), 1u);
    scheduler.runPending();
    EXPECT_FALSE(panels.panelFor(id)->onScreen);
    // The next event after the check is heard again.
    pointer.move({6, 400});
    EXPECT_EQ(scheduler.pendingCount(), 1u);
}

TEST_F(DockWindowControllerTest, SwitchingAutoHideOffBringsAnAutoHiddenPanelBack) {
    const QUuid id = startWithAutoHidingDock();
    movePointer({600, 400});
    ASSERT_FALSE(panels.panelFor(id)->onScreen);
    change(id, [](Dock& dock) { dock.autoHide = false; });
    EXPECT_TRUE(panels.panelFor(id)->onScreen);
    EXPECT_FALSE(controllerOf(id).isAutoHidden());
    // Switching it on again starts from a shown panel.
    change(id, [](Dock& dock) { dock.autoHide = true; });
    EXPECT_TRUE(panels.panelFor(id)->onScreen);
}

TEST_F(DockWindowControllerTest, AnAutoHiddenDockToggledVisibleWaitsForThePointer) {
    const QUuid id = startWithAutoHidingDock();
    movePointer({600, 400});
    change(id, [](Dock& dock) { dock.isVisible = false; });
    change(id, [](Dock& dock) { dock.isVisible = true; });
    EXPECT_FALSE(panels.panelFor(id)->onScreen);
    movePointer({2, 780});
    EXPECT_TRUE(panels.panelFor(id)->onScreen);
}

TEST_F(DockWindowControllerTest, AHiddenDocksPanelStaysOutWhateverThePointerDoes) {
    const QUuid id = startWithAutoHidingDock();
    change(id, [](Dock& dock) { dock.isVisible = false; });
    movePointer({600, 400});
    movePointer({50, 400});
    // The rule reveals only what it hid; a dock hidden by its record is the record's business.
    EXPECT_EQ(panels.panelFor(id)->orderFrontCount, 1);
}

TEST_F(DockWindowControllerTest, ADockAtAnInnerEdgeAnswersToItsOwnScreen) {
    screens.screenFrames = {QRectF(0, 0, 1280, 800), QRectF(1280, 0, 1280, 800)};
    Dock dock = makeDock(QStringLiteral("R"), {1180, 300, 100, 200});
    dock.autoHide = true;
    dock.screenEdgeForAutoHide = ScreenEdge::right;
    setDocks({dock});
    startManager();
    FakeDockPanelState* panel = panels.panelFor(dock.id);
    movePointer({1300, 400});
    ASSERT_TRUE(panel->onScreen);
    // Gone on to the other monitor.
    movePointer({1500, 400});
    ASSERT_FALSE(panel->onScreen);
    movePointer({2556, 50});
    EXPECT_FALSE(panel->onScreen);
    movePointer({1275, 50});
    EXPECT_TRUE(panel->onScreen);
}

// Two monitors side by side; a dock on the right one.
class DockWindowScreensTest : public DockWindowControllerTest {
protected:
    const QRectF primary{0, 0, 1280, 800};
    const QRectF secondary{1280, 0, 1280, 800};
    DockWindowScreensTest() { screens.setFrames({primary, secondary}); }
};

TEST_F(DockWindowScreensTest, AnUnpluggedMonitorsDockStandsInOnTheOtherAndComesBack) {
    const Dock a = makeDock(QStringLiteral("A"), {1500, 300, 100, 200});
    setDocks({a});
    startManager();
    FakeDockPanelState* panel = panels.panelFor(a.id);
    ASSERT_EQ(panel->frame, QRectF(1500, 300, 100, 200));

    screens.setFrames({primary});
    scheduler.runPending();
    EXPECT_EQ(panel->frame, QRectF(1180, 300, 100, 200));
    // The window manager moves windows of a lost monitor on its own; that is not written, not
    // even by a quit meanwhile, and the record places the panel again once the screens are quiet.
    panel->userSetsFrame({1260, 280, 100, 200});
    manager->flushPendingFrameSaves();
    EXPECT_EQ(stored(a.id).position, a.position);
    scheduler.advance(2s);
    EXPECT_EQ(panel->frame, QRectF(1180, 300, 100, 200));
    EXPECT_EQ(stored(a.id).position, a.position);

    screens.setFrames({primary, secondary});
    scheduler.runPending();
    EXPECT_EQ(panel->frame, QRectF(1500, 300, 100, 200));
    scheduler.advance(2s);
    EXPECT_EQ(stored(a.id).position, a.position);
}

TEST_F(DockWindowScreensTest, ABurstOfScreenChangesReappliesEveryDockOnce) {
    setDocks({makeDock(QStringLiteral("A")), makeDock(QStringLiteral("B"))});
    startManager();
    const int beforeA = panels.panels[0]->setFrameCount;
    const int beforeB = panels.panels[1]->setFrameCount;
    for (int i = 0; i < 3; ++i)
        screens.setFrames({primary, secondary});
    scheduler.runPending();
    EXPECT_EQ(panels.panels[0]->setFrameCount, beforeA + 1);
    EXPECT_EQ(panels.panels[1]->setFrameCount, beforeB + 1);
    manager.reset();
    EXPECT_EQ(screens.observerCount(), 0u);
}

} // namespace
