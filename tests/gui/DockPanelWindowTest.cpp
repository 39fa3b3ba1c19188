#include "windows/DockPanelWindow.h"
#include "fakes/FakeWindowHints.h"
#include "platform/ScreenSpace.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const QRect primary(0, 0, 1280, 800);

struct GeometryCase {
    const char* name;
    QRectF frame;
    QRect expected;
};

const double nan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

const GeometryCase geometryCases[] = {
    {"lower-left origin becomes top-left", {100, 200, 180, 300}, {100, 300, 180, 300}},
    {"a frame off every screen is kept", {-5000, 2000, 100, 100}, {-5000, -1300, 100, 100}},
    {"zero size becomes the smallest window", {10, 10, 0, 0}, {10, 790, 1, 1}},
    {"negative size becomes the smallest window", {10, 10, -40, -20}, {10, 810, 1, 1}},
    {"huge sizes stop at what X carries", {0, 0, 1e9, 1e9}, {0, -32768, 32767, 32767}},
    {"huge positions stop at 16 bits", {1e12, -1e12, 10, 10}, {32767, 32767, 10, 10}},
    {"fractions round to whole pixels", {10.4, 20.6, 100.5, 50.2}, {10, 729, 101, 50}},
    {"not-a-number reads as zero", {nan, nan, nan, nan}, {0, 0, 1, 1}},
    {"infinities stop at the limits", {inf, -inf, inf, -inf}, {32767, 32767, 32767, 1}},
};

class PanelGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(PanelGeometry, FollowsTheFrameWithinWhatXAccepts) {
    const GeometryCase& c = GetParam();
    EXPECT_EQ(DockPanelWindow::geometryForFrame(c.frame, primary), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(DockPanelWindow, PanelGeometry, ::testing::ValuesIn(geometryCases));

TEST(ScreenSpace, APointerPixelSitsAtItsLowerLeftCorner) {
    // The top row is still inside the primary screen's half-open frame [0, 800).
    EXPECT_EQ(ScreenSpace::pointFromQt({0, 0}, primary), QPointF(0, 799));
    EXPECT_EQ(ScreenSpace::pointFromQt({1279, 799}, primary), QPointF(1279, 0));
    // A screen above the primary one lies above y = 800.
    EXPECT_EQ(ScreenSpace::fromQt(QRectF(0, -600, 1024, 600), primary), QRectF(0, 800, 1024, 600));
}

TEST(ScreenSpace, TheOriginIsThePrimaryScreensWhereverXPutsIt) {
    // A 1024-wide monitor left of the primary one, and 224 pixels taller: X's origin is the
    // top-left of both together, so the primary screen starts at (1024, 224).
    const QRect shifted(1024, 224, 1280, 800);
    EXPECT_EQ(ScreenSpace::fromQt(QRectF(1124, 524, 180, 300), shifted),
              QRectF(100, 200, 180, 300));
    EXPECT_EQ(ScreenSpace::toQt(QRectF(100, 200, 180, 300), shifted), QRectF(1124, 524, 180, 300));
    EXPECT_EQ(ScreenSpace::fromQt(QRectF(0, 0, 1024, 1024), shifted), QRectF(-1024, 0, 1024, 1024));
    EXPECT_EQ(ScreenSpace::pointFromQt({1024, 1023}, shifted), QPointF(0, 0));
}

TEST(DockPanelWindow, ReportsItsFrameAndOnlyRealChanges) {
    FakeWindowHints hints;
    DockPanelWindow panel({100, 200, 180, 300}, hints);
    int changes = 0;
    panel.setFrameChangedHandler([&] { ++changes; });
    panel.orderFront();
    EXPECT_TRUE(panel.isOnScreen());
    panel.setFrame({100, 200, 180, 300});
    EXPECT_EQ(changes, 0);
    panel.setFrame({150, 200, 180, 300});
    EXPECT_EQ(changes, 1);
    panel.setFrame({150, 200, 0, 0});
    EXPECT_GE(changes, 2);
    EXPECT_EQ(panel.frame().size(), QSizeF(1, 1));
    panel.orderOut();
    EXPECT_FALSE(panel.isOnScreen());
    panel.close();
}

TEST(DockPanelWindow, AssertsItsLevelAtEveryApplyWhileShown) {
    FakeWindowHints hints;
    DockPanelWindow panel({100, 200, 180, 300}, hints);
    panel.setAlwaysOnTop(true); // hidden: taken along to the next map
    panel.orderFront();
    const FakeWindowHints::State& state = hints.windows[panel.winId()];
    EXPECT_EQ(state.mapsPrepared, 1);
    EXPECT_TRUE(state.above);
    EXPECT_EQ(state.windowClass, QByteArray("moorline.Moorline"));
    // The window manager may have changed the layer meanwhile: the same value is asked again.
    panel.setAlwaysOnTop(true);
    panel.setAlwaysOnTop(true);
    EXPECT_EQ(state.aboveRequests, 2);
    panel.close();
}

TEST(DockPanelWindow, BlursBehindTheRoundedShapeOnlyAndFollowsItsChanges) {
    FakeWindowHints hints;
    DockPanelWindow panel({100, 200, 180, 300}, hints);
    const FakeWindowHints::State& state = hints.windows[panel.winId()];
    panel.orderFront();
    panel.setCornerRadius(16);
    EXPECT_TRUE(state.blur.contains(QPoint(90, 150)));
    EXPECT_TRUE(state.blur.contains(QPoint(90, 0)));
    EXPECT_FALSE(state.blur.contains(QPoint(0, 0)));
    EXPECT_FALSE(state.blur.contains(QPoint(179, 299)));
    panel.setFrame({100, 200, 400, 300});
    EXPECT_TRUE(state.blur.contains(QPoint(390, 150)));
    EXPECT_FALSE(state.blur.contains(QPoint(399, 0)));
    panel.setCornerRadius(0);
    EXPECT_TRUE(state.blur.contains(QPoint(0, 0)));
    // Radii beyond the panel's size or beyond reason round it off as far as it goes.
    EXPECT_FALSE(DockPanelWindow::blurRegion({180, 300}, 1e308).contains(QPoint(2, 2)));
    EXPECT_TRUE(DockPanelWindow::blurRegion({180, 300}, -4).contains(QPoint(0, 0)));
    panel.close();
}

} // namespace
