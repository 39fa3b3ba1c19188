// SPDX-License-Identifier: GPL-3.0-or-later
#include "DockWindowTestFixture.h"

namespace {

using namespace std::chrono_literals;

class DockWindowControllerTest : public DockWindowTest {
protected:
    // A left-edge auto-hiding dock at x 0-100, y 300-500 on a 1280 x 800 screen.
    QUuid startWithAutoHidingDock(ScreenEdge edge = ScreenEdge::left,
                                  DockPosition position = {0, 300, 100, 200}) {
        Dock dock = makeDock(u"A"_qs, position);
        dock.autoHide = true;
        dock.screenEdgeForAutoHide = edge;
        return start({dock});
    }

    void movePointer(QPointF to) {
        pointer.move(to);
        scheduler.runPending();
    }

    // Counts the store's changes from now on.
    void countChanges() {
        counting = store.docks.sink([this](const auto&) { ++changes; });
        changes = 0;
    }

    int changes = 0;
    Subscription counting;
};

TEST_F(DockWindowControllerTest, TenMovesATenthApartGiveOneUpdateAfterTheLast) {
    const QUuid a = start({makeDock(u"A"_qs)});
    EXPECT_EQ(pointer.activeCount(), 0u) << "no pointer monitor without auto-hide";
    countChanges();
    for (int i = 1; i <= 10; ++i) {
        panel(a).userSetsFrame({100.0 + i, 200, 180, 300});
        scheduler.advance(100ms);
    }
    // 300 ms after the tenth move.
    scheduler.advance(199ms);
    EXPECT_EQ(changes, 0);
    scheduler.advance(1ms);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(stored(a).position, (DockPosition{110, 200, 180, 300}));
    scheduler.advance(5s);
    EXPECT_EQ(changes, 1);
}

TEST_F(DockWindowControllerTest, MovesInTheirDelayAreWrittenAtQuitInOneChangeAndOnlyOnce) {
    const Dock b = makeDock(u"B"_qs);
    const Dock c = makeDock(u"C"_qs);
    const QUuid a = start({makeDock(u"A"_qs), b, c});
    countChanges();
    panel(a).userSetsFrame({300, 300, 200, 200});
    panel(c.id).userSetsFrame({500, 100, 200, 200});
    scheduler.advance(100ms);
    manager->flushPendingFrameSaves();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(stored(a).position, (DockPosition{300, 300, 200, 200}));
    EXPECT_EQ(stored(b.id).position, b.position);
    EXPECT_EQ(stored(c.id).position, (DockPosition{500, 100, 200, 200}));
    scheduler.advance(1s);
    manager->flushPendingFrameSaves();
    EXPECT_EQ(changes, 1);
}

TEST_F(DockWindowControllerTest, AFrameSaveWritesOnlyThePositionAndOtherChangesLeaveTheMove) {
    const QUuid a = start({makeDock(u"A"_qs)});
    panel(a).userSetsFrame({300, 300, 200, 200});
    scheduler.advance(100ms);
    // A change of something else before the save neither undoes the move nor is undone by it.
    EXPECT_TRUE(panel(a).alwaysOnTop);
    change(a, [](Dock& dock) {
        dock.name = u"Renamed"_qs;
        dock.alwaysOnTop = false;
    });
    EXPECT_EQ(panel(a).frame, QRectF(300, 300, 200, 200));
    scheduler.advance(300ms);
    EXPECT_EQ(stored(a).name, u"Renamed"_qs);
    EXPECT_EQ(stored(a).position, (DockPosition{300, 300, 200, 200}));
    EXPECT_EQ(panel(a).title, u"Renamed"_qs);
    EXPECT_FALSE(panel(a).alwaysOnTop);
}

TEST_F(DockWindowControllerTest, ThePanelLeavesWhenThePointerIsFarAndComesBackAtTheEdge) {
    const QUuid id = startWithAutoHidingDock();
    movePointer({150, 400}); // near: stays
    EXPECT_TRUE(panel(id).onScreen);
    // The pointer events of one pass give one check.
    for (int i = 0; i < 50; ++i)
        pointer.move({600.0 + i, 400});
    EXPECT_EQ(scheduler.pendingCount(), 1u);
    scheduler.runPending();
    EXPECT_FALSE(panel(id).onScreen);
    EXPECT_TRUE(manager->controller(id)->isAutoHidden());
    movePointer({7, 100}); // just off the band
    EXPECT_FALSE(panel(id).onScreen);
    movePointer({6, 100});
    EXPECT_TRUE(panel(id).onScreen);
    EXPECT_FALSE(manager->controller(id)->isAutoHidden());
    // Auto-hide never writes the frame.
    scheduler.advance(1s);
    EXPECT_EQ(stored(id).position, (DockPosition{0, 300, 100, 200}));
}

TEST_F(DockWindowControllerTest, AutoHideAndTheRecordsVisibilityEachHaveTheirSay) {
    const QUuid id = startWithAutoHidingDock();
    // An auto-hidden dock toggled visible waits for the pointer.
    movePointer({600, 400});
    change(id, [](Dock& dock) { dock.isVisible = false; });
    change(id, [](Dock& dock) { dock.isVisible = true; });
    EXPECT_FALSE(panel(id).onScreen);
    movePointer({2, 780});
    EXPECT_TRUE(panel(id).onScreen);
    // The rule reveals only what it hid; a dock hidden by its record is the record's business.
    const int shown = panel(id).orderFrontCount;
    change(id, [](Dock& dock) { dock.isVisible = false; });
    movePointer({600, 400});
    movePointer({50, 400});
    EXPECT_EQ(panel(id).orderFrontCount, shown);
    EXPECT_EQ(pointer.activeCount(), 1u) << "installed once, whatever else changes";
    // Switching auto-hide off brings an auto-hidden panel back; on again starts from it shown.
    change(id, [](Dock& dock) { dock.isVisible = true; });
    movePointer({600, 400});
    ASSERT_FALSE(panel(id).onScreen);
    change(id, [](Dock& dock) { dock.autoHide = false; });
    EXPECT_TRUE(panel(id).onScreen);
    EXPECT_FALSE(manager->controller(id)->isAutoHidden());
    EXPECT_EQ(pointer.activeCount(), 0u);
    change(id, [](Dock& dock) { dock.autoHide = true; });
    EXPECT_TRUE(panel(id).onScreen);
    EXPECT_EQ(pointer.activeCount(), 1u);
}

// Two monitors side by side; a dock on the right one.
class DockWindowScreensTest : public DockWindowControllerTest {
protected:
    const QRectF primary{0, 0, 1280, 800};
    const QRectF secondary{1280, 0, 1280, 800};
    DockWindowScreensTest() { screens.setFrames({primary, secondary}); }
};

TEST_F(DockWindowScreensTest, AnUnpluggedMonitorsDockStandsInOnTheOtherAndComesBack) {
    const DockPosition home{1500, 300, 100, 200};
    const QUuid a = start({makeDock(u"A"_qs, home)});
    ASSERT_EQ(panel(a).frame, QRectF(1500, 300, 100, 200));

    screens.setFrames({primary});
    scheduler.runPending();
    EXPECT_EQ(panel(a).frame, QRectF(1180, 300, 100, 200));
    // The window manager moves windows of a lost monitor on its own; that is not written, not
    // even by a quit meanwhile, and the record places the panel again once the screens are quiet.
    panel(a).userSetsFrame({1260, 280, 100, 200});
    manager->flushPendingFrameSaves();
    EXPECT_EQ(stored(a).position, home);
    scheduler.advance(2s);
    EXPECT_EQ(panel(a).frame, QRectF(1180, 300, 100, 200));
    EXPECT_EQ(stored(a).position, home);

    screens.setFrames({primary, secondary});
    scheduler.runPending();
    EXPECT_EQ(panel(a).frame, QRectF(1500, 300, 100, 200));
    scheduler.advance(2s);
    EXPECT_EQ(stored(a).position, home);
}

TEST_F(DockWindowScreensTest, ADockOnTheSecondMonitorHidesTowardItsOwnEdge) {
    const QUuid id = startWithAutoHidingDock(ScreenEdge::right, {2460, 300, 100, 200});
    movePointer({1600, 400});
    ASSERT_FALSE(panel(id).onScreen);
    movePointer({1278, 700}); // the main screen's right edge is not this dock's
    EXPECT_FALSE(panel(id).onScreen);
    movePointer({2558, 700});
    EXPECT_TRUE(panel(id).onScreen);
}

TEST_F(DockWindowScreensTest, ABurstOfScreenChangesReappliesEveryDockOnce) {
    start({makeDock(u"A"_qs), makeDock(u"B"_qs)});
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

// Where the pointer is seen over our own surfaces only: the panel goes a moment after the
// pointer left it (or never came onto it), and comes back from a strip at its edge.
TEST_F(DockWindowControllerTest, WithEdgeStripsThePanelGoesWhenLeftAndComesBackFromTheEdge) {
    bool popupOpen = false;
    dependencies.isOwnPopupOpen = [&] { return popupOpen; };
    pointer.everywhere = false;
    const QUuid id = startWithAutoHidingDock(ScreenEdge::right, {1180, 300, 100, 200});
    EXPECT_EQ(pointer.activeCount(), 0u);
    ASSERT_TRUE(panel(id).onScreen);
    scheduler.advance(1999ms);
    EXPECT_TRUE(panel(id).onScreen);
    scheduler.advance(1ms); // the pointer never came onto it
    EXPECT_FALSE(panel(id).onScreen);
    EXPECT_EQ(pointer.strip, QRectF(1278, 0, 2, 800));

    pointer.enterStrip();
    EXPECT_TRUE(panel(id).onScreen);
    EXPECT_FALSE(pointer.strip);
    panel(id).pointerPresence(true);
    scheduler.advance(10s);
    EXPECT_TRUE(panel(id).onScreen);
    // Out to a gap and back in: it stays.
    panel(id).pointerPresence(false);
    scheduler.advance(300ms);
    panel(id).pointerPresence(true);
    scheduler.advance(1s);
    EXPECT_TRUE(panel(id).onScreen);
    // Out onto one of our menus: it stays until that is closed.
    panel(id).pointerPresence(false);
    popupOpen = true;
    scheduler.advance(2s);
    EXPECT_TRUE(panel(id).onScreen);
    popupOpen = false;
    scheduler.advance(400ms);
    EXPECT_FALSE(panel(id).onScreen);
    EXPECT_TRUE(pointer.strip);

    change(id, [](Dock& dock) { dock.autoHide = false; });
    EXPECT_TRUE(panel(id).onScreen);
    EXPECT_FALSE(pointer.strip);
    scheduler.advance(10s);
    EXPECT_TRUE(panel(id).onScreen);
}
