// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/PanelPlacement.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const QRectF primary(0, 0, 1280, 800);
const QRectF right(1280, 0, 1280, 800);
const std::vector<QRectF> one{primary};
const std::vector<QRectF> two{primary, right};

struct ScreenCase {
    const char* name;
    QRectF frame;
    std::optional<QRectF> expected;
};

const ScreenCase screenCases[] = {
    {"wholly on the second", {1500, 100, 100, 100}, right},
    {"mostly on the first", {1200, 100, 100, 100}, primary},
    {"half on each goes to the first", {1230, 100, 100, 100}, primary},
    {"touching an edge only is on no screen", {2560, 100, 100, 100}, std::nullopt},
    {"off every screen", {-500, 100, 100, 100}, std::nullopt},
    {"an empty frame counts as one pixel", {1500, 100, 0, -5}, right},
};

class PanelScreen : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(PanelScreen, IsTheScreenShowingMostOfIt) {
    EXPECT_EQ(PanelPlacement::screenOf(GetParam().frame, two), GetParam().expected)
        << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(PanelPlacement, PanelScreen, ::testing::ValuesIn(screenCases));

struct ReachCase {
    const char* name;
    const std::vector<QRectF>* screens;
    QRectF frame;
    QRectF expected;
};

const double nan = std::numeric_limits<double>::quiet_NaN();
const std::vector<QRectF> none;

const ReachCase reachCases[] = {
    {"on a screen stays", &one, {100, 200, 180, 300}, {100, 200, 180, 300}},
    {"partly on a screen stays", &one, {1200, 200, 180, 300}, {1200, 200, 180, 300}},
    {"right of it moves to the right edge", &one, {1500, 300, 100, 200}, {1180, 300, 100, 200}},
    {"left of it moves to the left edge", &one, {-900, 100, 100, 200}, {0, 100, 100, 200}},
    {"above it moves down to the top", &one, {100, 900, 100, 200}, {100, 600, 100, 200}},
    {"below it moves up to the bottom", &one, {100, -500, 100, 200}, {100, 0, 100, 200}},
    {"too big: top-left corner on the screen", &one, {2000, 0, 2000, 1000}, {0, -200, 2000, 1000}},
    {"the nearest of two screens", &two, {3000, 100, 100, 200}, {2460, 100, 100, 200}},
    {"no screen at all: as stored", &none, {3000, 100, 100, 200}, {3000, 100, 100, 200}},
    {"an empty frame keeps its size", &one, {1500, 300, 0, -20}, {1279, 300, 0, -20}},
};

class ReachableFrame : public ::testing::TestWithParam<ReachCase> {};

TEST_P(ReachableFrame, IsOnAScreen) {
    const ReachCase& c = GetParam();
    EXPECT_EQ(PanelPlacement::reachableFrame(c.frame, *c.screens), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(PanelPlacement, ReachableFrame, ::testing::ValuesIn(reachCases));

TEST(PanelPlacement, ANonFiniteFrameIsLeftToThePanel) {
    const QRectF frame = PanelPlacement::reachableFrame({nan, 0, 10, 10}, one);
    EXPECT_TRUE(std::isnan(frame.x()));
}

} // namespace
