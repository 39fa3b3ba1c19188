// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/AutoHideRule.h"

#include <gtest/gtest.h>

namespace {

using Action = AutoHideRule::Action;
constexpr Action reveal = Action::reveal, hide = Action::hide, none = Action::none;
constexpr ScreenEdge left = ScreenEdge::left, right = ScreenEdge::right, top = ScreenEdge::top,
                     bottom = ScreenEdge::bottom;
constexpr bool hidden = true, shown = false;

const QRectF leftScreen(0, 0, 1280, 800);
const std::vector<QRectF> oneScreen{leftScreen};
const std::vector<QRectF> twoScreens{leftScreen, QRectF(1280, 0, 1280, 800)};

// Panels against their edge of the left screen: the left one at x 0-100, y 300-500 (near zone
// x -60..160, y 240..560). With two screens side by side, the right edge of the left one and the
// left edge of the right one are inner edges: innerRight is against it from the left, innerLeft
// from the right.
const QRectF leftPanel(0, 300, 100, 200);
const QRectF rightPanel(1180, 300, 100, 200);
const QRectF topPanel(500, 700, 200, 100);
const QRectF bottomPanel(500, 0, 200, 100);
const QRectF& innerRight = rightPanel;
const QRectF innerLeft(1280, 300, 100, 200);

struct Case {
    const char* name;
    const std::vector<QRectF>* screens;
    ScreenEdge edge;
    QRectF panel;
    bool hidden;
    QPointF pointer;
    Action expected;
};

// clang-format off
const Case cases[] = {
    {"hidden left, pointer on the band's inner line", &oneScreen, left, leftPanel, hidden, {6, 700}, reveal},
    {"hidden left, half a point past the band", &oneScreen, left, leftPanel, hidden, {6.5, 700}, none},
    {"hidden left, pointer at the screen's left column", &oneScreen, left, leftPanel, hidden, {0, 10}, reveal},
    {"hidden, pointer just inside the near zone", &oneScreen, left, leftPanel, hidden, {159.9, 400}, reveal},
    {"hidden, pointer on the near zone's right edge", &oneScreen, left, leftPanel, hidden, {160, 400}, none},
    {"hidden, pointer on the near zone's lower edge", &oneScreen, left, leftPanel, hidden, {50, 240}, reveal},
    {"hidden, pointer on the near zone's upper edge", &oneScreen, left, leftPanel, hidden, {50, 560}, none},
    {"shown, pointer inside the panel", &oneScreen, left, leftPanel, shown, {50, 400}, none},
    {"shown, pointer on the near zone's right edge", &oneScreen, left, leftPanel, shown, {160, 400}, none},
    {"shown, pointer just beyond 60 points", &oneScreen, left, leftPanel, shown, {160.5, 400}, hide},
    {"shown, pointer 200 above and over the panel", &oneScreen, left, leftPanel, shown, {50, 700}, none},
    {"shown, pointer far to the right", &oneScreen, left, leftPanel, shown, {900, 100}, hide},
    {"hidden right, pointer on the band", &oneScreen, right, rightPanel, hidden, {1274, 700}, reveal},
    {"hidden right, half a point short of the band", &oneScreen, right, rightPanel, hidden, {1273.5, 700}, none},
    {"shown right, pointer beyond the left side", &oneScreen, right, rightPanel, shown, {1119.5, 400}, hide},
    {"shown right, pointer below the panel", &oneScreen, right, rightPanel, shown, {1200, 50}, none},
    {"hidden top, pointer on the band", &oneScreen, top, topPanel, hidden, {100, 794}, reveal},
    {"hidden top, half a point below the band", &oneScreen, top, topPanel, hidden, {100, 793.5}, none},
    {"shown top, pointer beyond the lower side", &oneScreen, top, topPanel, shown, {600, 639}, hide},
    {"shown top, pointer beside the panel", &oneScreen, top, topPanel, shown, {1100, 780}, none},
    {"hidden bottom, pointer on the band", &oneScreen, bottom, bottomPanel, hidden, {100, 6}, reveal},
    {"hidden bottom, half a point above the band", &oneScreen, bottom, bottomPanel, hidden, {100, 6.5}, none},
    {"shown bottom, pointer beyond the upper side", &oneScreen, bottom, bottomPanel, shown, {600, 161}, hide},
    {"shown bottom, pointer exactly 60 above", &oneScreen, bottom, bottomPanel, shown, {600, 160}, none},
    {"a panel on no screen uses the main screen", &oneScreen, left, QRectF(-400, 300, 100, 200), hidden, {2, 700}, reveal},
    // Two screens: a panel answers to the edge of its own screen only.
    {"hidden at the inner edge, pointer on its screen's band", &twoScreens, right, innerRight, hidden, {1275, 700}, reveal},
    {"hidden at the inner edge, pointer across it on the other monitor", &twoScreens, right, innerRight, hidden, {1282, 700}, none},
    {"the other monitor's outer right edge is not the panel's edge", &twoScreens, right, innerRight, hidden, {2556, 700}, none},
    {"hidden left-edge dock on the right monitor, pointer on the inner band", &twoScreens, left, innerLeft, hidden, {1285, 700}, reveal},
    {"the left monitor's outer left edge is not that dock's edge", &twoScreens, left, innerLeft, hidden, {2, 700}, none},
    {"shown at the inner edge, pointer gone to the other monitor", &twoScreens, right, innerRight, shown, {1400, 100}, hide},
    {"shown at the inner edge, pointer across it but still near", &twoScreens, right, innerRight, shown, {1330, 400}, none},
    {"shown, pointer above a side dock on the same monitor", &twoScreens, left, innerLeft, shown, {1300, 700}, none},
    {"a panel mostly on the right monitor takes that monitor's edge", &twoScreens, right, QRectF(1250, 300, 100, 200), hidden, {2556, 700}, reveal},
};
// clang-format on

class AutoHideRuleTable : public ::testing::TestWithParam<Case> {};

TEST_P(AutoHideRuleTable, DecidesByThePanelsOwnScreen) {
    const Case& c = GetParam();
    const AutoHideRule::Input input{c.pointer, c.panel, c.screens, leftScreen, c.edge, c.hidden};
    EXPECT_EQ(AutoHideRule::decide(input), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(AutoHideRule, AutoHideRuleTable, ::testing::ValuesIn(cases));

TEST(AutoHideRule, NoScreenAtAllDecidesNothing) {
    const std::vector<QRectF> noScreen;
    EXPECT_EQ(AutoHideRule::decide({{900, 100}, leftPanel, &noScreen, std::nullopt, left, shown}),
              none);
}

} // namespace
