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

AutoHideRule::Action decideOnTwoScreens(QPointF pointer, ScreenEdge edge, QRectF panel) {
    const std::vector<QRectF> screens{leftScreen, rightScreen};
    return AutoHideRule::decide({pointer, panel, &screens, leftScreen, edge, true});
}

TEST(AutoHideRule, TheScreenUnderThePointerGivesTheEdge) {
    const QRectF panel(1180, 300, 100, 200);
    // The right edge of the second screen reveals a dock that sits on the first one.
    EXPECT_EQ(decideOnTwoScreens({2555, 700}, ScreenEdge::right, panel), Action::reveal);
    EXPECT_EQ(decideOnTwoScreens({1275, 700}, ScreenEdge::right, panel), Action::reveal);
}

TEST(AutoHideRule, AScreensRightEdgeBelongsToTheNextScreen) {
    // x = 1280 lies on the second screen, whose right edge is far away.
    EXPECT_EQ(decideOnTwoScreens({1280, 700}, ScreenEdge::right, QRectF(100, 100, 50, 50)),
              Action::none);
    EXPECT_EQ(decideOnTwoScreens({1279.5, 700}, ScreenEdge::right, QRectF(100, 100, 50, 50)),
              Action::reveal);
}

TEST(AutoHideRule, APointerOffEveryScreenUsesTheMainScreen) {
    const std::vector<QRectF> screens{leftScreen};
    EXPECT_EQ(
        AutoHideRule::decide({{-5, 700}, leftPanel, &screens, leftScreen, ScreenEdge::left, true}),
        Action::reveal);
}

TEST(AutoHideRule, NoScreenAtAllDecidesNothing) {
    const std::vector<QRectF> none;
    EXPECT_EQ(
        AutoHideRule::decide({{900, 100}, leftPanel, &none, std::nullopt, ScreenEdge::left, false}),
        Action::none);
}

} // namespace
