// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/DockPanelWindow.h"
#include "fakes/FakeWindowHints.h"
#include "platform/ScreenSpace.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const QRect primary(0, 0, 1280, 800);
// The primary screen and a taller one to its right.
const QRect desktop(0, 0, 2304, 1000);

struct GeometryCase {
    const char* name;
    QRectF frame;
    QRect expected;
    QRect virtualDesktop = desktop;
};

const double nan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

const GeometryCase geometryCases[] = {
    {"lower-left origin becomes top-left", {100, 200, 180, 300}, {100, 300, 180, 300}},
    {"a frame off every screen is kept", {-5000, 2000, 100, 100}, {-5000, -1300, 100, 100}},
    {"zero size becomes the smallest panel", {10, 10, 0, 0}, {10, 742, 48, 48}},
    {"negative size becomes the smallest panel", {10, 10, -40, -20}, {10, 742, 48, 48}},
    {"a sliver grows to the smallest panel", {10, 10, 30, 600}, {10, 190, 48, 600}},
    {"wider than the primary screen is kept", {0, 0, 2000, 900}, {0, -100, 2000, 900}},
    {"huge sizes stop at the virtual desktop, top on it", {0, 0, 1e308, 1e308}, {0, 0, 2304, 1000}},
    {"a cut height starts at the desktop's top", {700, 300, 180, 5000}, {700, 0, 180, 1000}},
    {"a cut height starts at a desktop top above the primary screen",
     {700, 300, 180, 5000},
     {700, -400, 180, 1400},
     QRect(0, -400, 2304, 1400)},
    {"with no screen, huge sizes stop at what X carries",
     {0, 0, 1e9, 1e9},
     {0, -31967, 32767, 32767},
     QRect()},
    {"huge positions stop at 16 bits", {1e12, -1e12, 10, 10}, {32767, 32767, 48, 48}},
    {"fractions round to whole pixels", {10.4, 20.6, 100.5, 50.2}, {10, 729, 101, 50}},
    {"not-a-number reads as zero", {nan, nan, nan, nan}, {0, 752, 48, 48}},
    {"infinities stop at the limits", {inf, -inf, inf, -inf}, {32767, 32767, 2304, 48}},
    {"an infinite height starts at the desktop's top", {0, -inf, 10, inf}, {0, 0, 48, 1000}},
};

TEST(DockPanelWindow, TheGeometryFollowsTheFrameWithinTheDesktop) {
    for (const GeometryCase& c : geometryCases)
        EXPECT_EQ(DockPanelWindow::geometryForFrame(c.frame, primary, c.virtualDesktop), c.expected)
            << c.name;
}

TEST(ScreenSpace, APointerPixelSitsAtItsLowerLeftCorner) {
    // The top row is still inside the primary screen's half-open frame [0, 800).
    EXPECT_EQ(ScreenSpace::pointFromQt({0, 0}, primary), QPointF(0, 799));
    EXPECT_EQ(ScreenSpace::pointFromQt({1279, 799}, primary), QPointF(1279, 0));
    // A screen above the primary one lies above y = 800.
    EXPECT_EQ(ScreenSpace::fromQt(QRectF(0, -600, 1024, 600), primary), QRectF(0, 800, 1024, 600));
}

// Wherever X puts the origin, the docks' space starts at the primary screen: MonitorsTest.
TEST(DockPanelWindow, ReportsItsFrameButNeverItsOwnChanges) {
    // The user's moves through the window manager are reported: DockPanelTest, on a real one.
    FakeWindowHints hints;
    DockPanelWindow panel({100, 200, 180, 300}, hints);
    int changes = 0;
    panel.setFrameChangedHandler([&] { ++changes; });
    panel.showPanel();
    EXPECT_TRUE(panel.isOnScreen());
    panel.setFrame({150, 200, 180, 300});
    EXPECT_EQ(panel.frame(), QRectF(150, 200, 180, 300));
    panel.setFrame({150, 200, 0, 0});
    EXPECT_EQ(panel.frame().size(), QSizeF(48, 48));
    EXPECT_EQ(changes, 0);
    panel.hidePanel();
    EXPECT_FALSE(panel.isOnScreen());
    panel.close();
}

// The level, the window class and the blur of the rounded shape on a real X server are in
// DockPanelTest; here what the panel asks for when its frame or radius change.
TEST(DockPanelWindow, TheBlurFollowsTheFrameAndAnyRadius) {
    FakeWindowHints hints;
    DockPanelWindow panel({100, 200, 180, 300}, hints);
    const FakeWindowHints::State& state = hints.windows[panel.windowHandle()];
    panel.showPanel();
    panel.setCornerRadius(16);
    panel.setFrame({100, 200, 400, 300});
    EXPECT_TRUE(state.blur.contains(QPoint(390, 150)));
    EXPECT_FALSE(state.blur.contains(QPoint(399, 0)));
    // Radii beyond the panel's size or beyond reason round it off as far as it goes.
    EXPECT_FALSE(DockPanelWindow::blurRegion({180, 300}, 1e308).contains(QPoint(2, 2)));
    EXPECT_TRUE(DockPanelWindow::blurRegion({180, 300}, -4).contains(QPoint(0, 0)));
    panel.close();
}

} // namespace
