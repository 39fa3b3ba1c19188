// SPDX-License-Identifier: GPL-3.0-or-later
// Dock panels on two monitors: Xorg with the dummy video driver, whose outputs xrandr places,
// switches off and on again while the panels run, with the session's window manager.
#include "integration/support/DummyMonitors.h"
#include "integration/support/PanelFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace std::chrono_literals;
using namespace X11Probe;

const QString viewable = QStringLiteral("IsViewable");
// The primary monitor; the X origin moves when another monitor stands left of it or above it.
const QRect primaryAtOrigin(0, 0, 1280, 800);
const QRect rightMonitor(1280, 0, 1280, 800);

class MonitorsTest : public PanelFixture {
protected:
    MonitorsTest() { EXPECT_TRUE(DummyMonitors::arrange({primaryAtOrigin, rightMonitor})); }

    // Waits past the window manager's own moves after a change of monitors.
    static void settle() { Session::pause(1500ms); }
};

// A second monitor beside, left of, above and below the primary one, with its own height: how
// it appears in the docks' space, where a dock stored on it is shown, and what a move of that
// dock by the window manager writes back.
struct Layout {
    const char* name;
    QRect primary;           // X coordinates
    QRect secondary;         // X coordinates
    QRectF secondaryInDocks; // the docks' space: primary's lower-left corner, y up
    DockPosition stored;     // a dock on the secondary monitor
    QPoint shownAt;          // its top-left in X
    QPoint movedTo;          // a move in X...
    DockPosition written;    // ...and the frame written back
};

// clang-format off
const Layout layouts[] = {
    // name; primary, secondary, secondaryInDocks; stored, shownAt, movedTo, written
    {"right, shorter, tops aligned",
        {0, 0, 1280, 800}, {1280, 0, 1024, 768}, {1280, 32, 1024, 768},
        {1400, 100, 200, 300}, {1400, 400}, {1500, 200}, {1500, 300, 200, 300}},
    {"left, shorter, bottoms aligned",
        {1024, 0, 1280, 800}, {0, 32, 1024, 768}, {-1024, 0, 1024, 768},
        {-900, 100, 200, 300}, {124, 400}, {200, 250}, {-824, 250, 200, 300}},
    {"above, taller",
        {0, 1024, 1280, 800}, {0, 0, 1280, 1024}, {0, 800, 1280, 1024},
        {100, 1000, 200, 300}, {100, 524}, {300, 100}, {300, 1424, 200, 300}},
    {"below, shorter",
        {0, 0, 1280, 800}, {0, 800, 1024, 768}, {0, -768, 1024, 768},
        {100, -600, 200, 300}, {100, 1100}, {300, 1200}, {300, -700, 200, 300}},
};
// clang-format on

void PrintTo(const Layout& layout, std::ostream* out) {
    *out << layout.name;
}

class MonitorLayouts : public MonitorsTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(MonitorLayouts, DocksOnTheSecondMonitorKeepTheirPlaceBothWays) {
    const Layout& l = GetParam();
    ASSERT_TRUE(DummyMonitors::arrange({l.primary, l.secondary})) << l.name;
    const std::vector<QRectF> frames = screens.frames();
    EXPECT_NE(std::find(frames.begin(), frames.end(), l.secondaryInDocks), frames.end()) << l.name;
    EXPECT_EQ(screens.mainFrame(), QRectF(QPointF(0, 0), l.primary.size()));

    const Dock dock = addDock(QStringLiteral("Second"), l.stored);
    start();
    const WId window = panelOf(dock.id)->winId();
    EXPECT_TRUE(waitForGeometry(window, {l.shownAt.x(), l.shownAt.y(), int(l.stored.width),
                                         int(l.stored.height), viewable}))
        << l.name << ": " << xwininfo(window);

    Session::xdotool({QStringLiteral("windowmove"), windowId(window),
                      QString::number(l.movedTo.x()), QString::number(l.movedTo.y())});
    EXPECT_TRUE(Session::waitUntil([&] { return storedPosition(dock.id) == l.written; }))
        << l.name << ": " << xwininfo(window);
}

INSTANTIATE_TEST_SUITE_P(MonitorsTest, MonitorLayouts, ::testing::ValuesIn(layouts));

TEST_F(MonitorsTest, AutoHideAtTheInnerEdgeAnswersToThePanelsOwnMonitor) {
    // Against the right edge of the primary monitor, which the other monitor continues.
    const Dock dock = addDock(QStringLiteral("Inner"), {1180, 300, 100, 200}, true);
    change(dock.id, [](Dock& d) { d.screenEdgeForAutoHide = ScreenEdge::right; });
    start();
    const WId window = panelOf(dock.id)->winId();
    ASSERT_TRUE(waitForMapState(window, viewable));
    ASSERT_TRUE(pointerMonitor.isListening());

    movePointer(400, 400);
    ASSERT_TRUE(waitForMapState(window, QStringLiteral("IsUnMapped")));
    // The other monitor's outer right edge is not this dock's edge.
    movePointer(2559, 100);
    Session::pause(300ms);
    EXPECT_EQ(xwininfo(window).mapState, QStringLiteral("IsUnMapped"));
    // The inner edge, from the primary's side.
    movePointer(1277, 100);
    EXPECT_TRUE(waitForMapState(window, viewable));
    // On to the other monitor, away from the dock: it hides.
    movePointer(1900, 100);
    EXPECT_TRUE(waitForMapState(window, QStringLiteral("IsUnMapped")));
    // Without auto-hide the panel comes back and nothing listens to the pointer any more.
    change(dock.id, [](Dock& d) { d.autoHide = false; });
    EXPECT_TRUE(waitForMapState(window, viewable));
    EXPECT_FALSE(pointerMonitor.isListening());
}

TEST_F(MonitorsTest, MonitorsChangingWhileRunningMoveEveryDockWithTheirSpaceAndKeepItsFrame) {
    const DockPosition stored{100, 100, 200, 300};
    const DockPosition onSecond{1500, 200, 180, 300};
    const Dock dock = addDock(QStringLiteral("Follows"), stored);
    const Dock second = addDock(QStringLiteral("Unplugged"), onSecond);
    start();
    const WId window = panelOf(dock.id)->winId();
    const WId secondWindow = panelOf(second.id)->winId();
    ASSERT_TRUE(waitForGeometry(window, {100, 400, 200, 300, viewable}));
    ASSERT_TRUE(waitForGeometry(secondWindow, {1500, 300, 180, 300, viewable}))
        << xwininfo(secondWindow);

    // Unplugged, a monitor's dock is shown at the primary monitor's right edge meanwhile; the
    // record keeps its frame, and it comes back.
    ASSERT_TRUE(DummyMonitors::arrange({primaryAtOrigin}));
    EXPECT_TRUE(waitForGeometry(secondWindow, {1100, 300, 180, 300, viewable}))
        << xwininfo(secondWindow);
    settle();
    EXPECT_EQ(xwininfo(secondWindow), (WindowGeometry{1100, 300, 180, 300, viewable}));
    EXPECT_EQ(storedPosition(second.id), onSecond);
    ASSERT_TRUE(DummyMonitors::arrange({primaryAtOrigin, rightMonitor}));
    EXPECT_TRUE(waitForGeometry(secondWindow, {1500, 300, 180, 300, viewable}))
        << xwininfo(secondWindow);

    // The primary monitor grows taller: the docks' space hangs from its bottom edge.
    ASSERT_TRUE(DummyMonitors::arrange({{0, 0, 1280, 1024}, {1280, 0, 1280, 1024}}));
    EXPECT_TRUE(waitForGeometry(window, {100, 624, 200, 300, viewable})) << xwininfo(window);
    EXPECT_TRUE(waitForGeometry(secondWindow, {1500, 524, 180, 300, viewable}))
        << xwininfo(secondWindow);
    // A monitor added on the left shifts X's origin, not the docks.
    ASSERT_TRUE(DummyMonitors::arrange({{1024, 0, 1280, 800}, {0, 0, 1024, 768}}));
    EXPECT_TRUE(waitForGeometry(window, {1124, 400, 200, 300, viewable})) << xwininfo(window);
    ASSERT_TRUE(DummyMonitors::arrange({primaryAtOrigin, rightMonitor}));
    EXPECT_TRUE(waitForGeometry(window, {100, 400, 200, 300, viewable})) << xwininfo(window);
    settle();
    EXPECT_EQ(storedPosition(dock.id), stored);
    EXPECT_EQ(storedPosition(second.id), onSecond);

    // Moved by the user while its monitor is away, it stays where it was put.
    ASSERT_TRUE(DummyMonitors::arrange({primaryAtOrigin}));
    settle();
    Session::xdotool({QStringLiteral("windowmove"), windowId(secondWindow), QStringLiteral("600"),
                      QStringLiteral("100")});
    EXPECT_TRUE(Session::waitUntil([&] {
        return storedPosition(second.id) == DockPosition{600, 400, 180, 300};
    }));
}

} // namespace

int main(int argc, char** argv) {
    XSession::Options options;
    options.dummyMonitors = true;
    return runIntegrationTests(argc, argv, options);
}
