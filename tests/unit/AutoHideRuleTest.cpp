#include "windows/AutoHideRule.h"

#include <gtest/gtest.h>

namespace {

using Action = AutoHideRule::Action;

const QRectF leftScreen(0, 0, 1280, 800);
const QRectF rightScreen(1280, 0, 1280, 800);

struct Case {
    const char* name;
    ScreenEdge edge;
    QRectF panel;
    bool hidden;
    QPointF pointer;
    Action expected;
};

// Panels: a left-edge one at x 0-100, y 300-500 (near zone x -60..160, y 240..560); the others
// placed against their edges the same way.
const QRectF leftPanel(0, 300, 100, 200);
const QRectF rightPanel(1180, 300, 100, 200);
const QRectF topPanel(500, 700, 200, 100);
const QRectF bottomPanel(500, 0, 200, 100);

const Case cases[] = {
    {"hidden left, pointer on the band's inner line",
     ScreenEdge::left,
     leftPanel,
     true,
     {6, 700},
     Action::reveal},
    {"hidden left, half a point past the band",
     ScreenEdge::left,
     leftPanel,
     true,
     {6.5, 700},
     Action::none},
    {"hidden left, pointer at the screen's left column",
     ScreenEdge::left,
     leftPanel,
     true,
     {0, 10},
     Action::reveal},
    {"hidden, pointer just inside the near zone",
     ScreenEdge::left,
     leftPanel,
     true,
     {159.9, 400},
     Action::reveal},
    {"hidden, pointer on the near zone's right edge",
     ScreenEdge::left,
     leftPanel,
     true,
     {160, 400},
     Action::none},
    {"hidden, pointer on the near zone's lower edge",
     ScreenEdge::left,
     leftPanel,
     true,
     {50, 240},
     Action::reveal},
    {"hidden, pointer on the near zone's upper edge",
     ScreenEdge::left,
     leftPanel,
     true,
     {50, 560},
     Action::none},
    {"shown, pointer inside the panel",
     ScreenEdge::left,
     leftPanel,
     false,
     {50, 400},
     Action::none},
    {"shown, pointer on the near zone's right edge",
     ScreenEdge::left,
     leftPanel,
     false,
     {160, 400},
     Action::none},
    {"shown, pointer just beyond 60 points",
     ScreenEdge::left,
     leftPanel,
     false,
     {160.5, 400},
     Action::hide},
    {"shown, pointer 200 above and over the panel",
     ScreenEdge::left,
     leftPanel,
     false,
     {50, 700},
     Action::none},
    {"shown, pointer far to the right",
     ScreenEdge::left,
     leftPanel,
     false,
     {900, 100},
     Action::hide},
    {"hidden right, pointer on the band",
     ScreenEdge::right,
     rightPanel,
     true,
     {1274, 700},
     Action::reveal},
    {"hidden right, half a point short of the band",
     ScreenEdge::right,
     rightPanel,
     true,
     {1273.5, 700},
     Action::none},
    {"shown right, pointer beyond the left side",
     ScreenEdge::right,
     rightPanel,
     false,
     {1119.5, 400},
     Action::hide},
    {"shown right, pointer below the panel",
     ScreenEdge::right,
     rightPanel,
     false,
     {1200, 50},
     Action::none},
    {"hidden top, pointer on the band",
     ScreenEdge::top,
     topPanel,
     true,
     {100, 794},
     Action::reveal},
    {"hidden top, half a point below the band",
     ScreenEdge::top,
     topPanel,
     true,
     {100, 793.5},
     Action::none},
    {"shown top, pointer beyond the lower side",
     ScreenEdge::top,
     topPanel,
     false,
     {600, 639},
     Action::hide},
    {"shown top, pointer beside the panel",
     ScreenEdge::top,
     topPanel,
     false,
     {1100, 780},
     Action::none},
    {"hidden bottom, pointer on the band",
     ScreenEdge::bottom,
     bottomPanel,
     true,
     {100, 6},
     Action::reveal},
    {"hidden bottom, half a point above the band",
     ScreenEdge::bottom,
     bottomPanel,
     true,
     {100, 6.5},
     Action::none},
    {"shown bottom, pointer beyond the upper side",
     ScreenEdge::bottom,
     bottomPanel,
     false,
     {600, 161},
     Action::hide},
    {"shown bottom, pointer exactly 60 above",
     ScreenEdge::bottom,
     bottomPanel,
     false,
     {600, 160},
     Action::none},
};

class AutoHideRuleTable : public ::testing::TestWithParam<Case> {};

TEST_P(AutoHideRuleTable, DecidesAsExpected) {
    const Case& c = GetParam();
    const std::vector<QRectF> screens{leftScreen};
    const AutoHideRule::Input input{c.pointer, c.panel, &screens, leftScreen, c.edge, c.hidden};
    EXPECT_EQ(AutoHideRule::decide(input), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(AutoHideRule, AutoHideRuleTable, ::testing::ValuesIn(cases));

// Two monitors side by side: the right edge of the left one and the left edge of the right one
// are inner edges. Panels: a right-edge one against the inner edge (x 1180-1280, y 300-500), a
// left-edge one against it from the other side (x 1280-1380).
const QRectF innerRightPanel(1180, 300, 100, 200);
const QRectF innerLeftPanel(1280, 300, 100, 200);

const Case twoScreenCases[] = {
    {"hidden at the inner edge, pointer on its screen's band",
     ScreenEdge::right,
     innerRightPanel,
     true,
     {1275, 700},
     Action::reveal},
    {"hidden at the inner edge, pointer across it on the other monitor",
     ScreenEdge::right,
     innerRightPanel,
     true,
     {1282, 700},
     Action::none},
    {"the other monitor's outer right edge is not the panel's edge",
     ScreenEdge::right,
     innerRightPanel,
     true,
     {2556, 700},
     Action::none},
    {"hidden left-edge dock on the right monitor, pointer on the inner band",
     ScreenEdge::left,
     innerLeftPanel,
     true,
     {1285, 700},
     Action::reveal},
    {"the left monitor's outer left edge is not that dock's edge",
     ScreenEdge::left,
     innerLeftPanel,
     true,
     {2, 700},
     Action::none},
    {"shown at the inner edge, pointer gone to the other monitor",
     ScreenEdge::right,
     innerRightPanel,
     false,
     {1400, 100},
     Action::hide},
    {"shown at the inner edge, pointer across it but still near",
     ScreenEdge::right,
     innerRightPanel,
     false,
     {1330, 400},
     Action::none},
    {"shown, pointer above a side dock on the same monitor",
     ScreenEdge::left,
     innerLeftPanel,
     false,
     {1300, 700},
     Action::none},
    {"a panel mostly on the right monitor takes that monitor's edge",
     ScreenEdge::right,
     QRectF(1250, 300, 100, 200),
     true,
     {2556, 700},
     Action::reveal},
};

class AutoHideRuleOnTwoScreens : public ::testing::TestWithParam<Case> {};

TEST_P(AutoHideRuleOnTwoScreens, UsesThePanelsOwnScreen) {
    const Case& c = GetParam();
    const std::vector<QRectF> screens{leftScreen, rightScreen};
    const AutoHideRule::Input input{c.pointer, c.panel, &screens, leftScreen, c.edge, c.hidden};
    EXPECT_EQ(AutoHideRule::decide(input), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(AutoHideRule, AutoHideRuleOnTwoScreens,
                         ::testing::ValuesIn(twoScreenCases));

TEST(AutoHideRule, APanelOnNoScreenUsesTheMainScreen) {
    const std::vector<QRectF> screens{leftScreen};
    const QRectF offScreen(-400, 300, 100, 200);
    EXPECT_EQ(
        AutoHideRule::decide({{2, 700}, offScreen, &screens, leftScreen, ScreenEdge::left, true}),
        Action::reveal);
}

TEST(AutoHideRule, NoScreenAtAllDecidesNothing) {
    const std::vector<QRectF> none;
    EXPECT_EQ(
        AutoHideRule::decide({{900, 100}, leftPanel, &none, std::nullopt, ScreenEdge::left, false}),
        Action::none);
}

} // namespace
