// SPDX-License-Identifier: GPL-3.0-or-later
// Dock panels on a real X server with a real window manager: geometry, map state,
// window-manager hints, the stays-on-top toggle, auto-hide driven by real pointer motion and
// moves written back.
#include "integration/support/PanelFixture.h"
#include "views/LaunchConfirmationDialog.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using namespace X11Probe;

// The Xvfb screen of the shared session: 1280 x 800, so Qt y = 800 - (y + height).
constexpr int screenHeight = 800;

class DockPanelTest : public PanelFixture {
protected:
    // One dock, started: 180 x 300 at 100, 200 unless told. Answers its window.
    WId startDock(DockPosition position = {100, 200, 180, 300}) {
        id = addDock(QStringLiteral("Panel"), position).id;
        start();
        return panelOf(id)->winId();
    }
    void edit(const std::function<void(Dock&)>& edit) { change(id, edit); }
    bool hasState(WId window, const char* state) const {
        return xprop(window, QStringLiteral("_NET_WM_STATE")).contains(QLatin1String(state));
    }

    QUuid id;
};

// Whether the window manager stacks `upper` higher than `lower` (both managed windows).
bool stackedAbove(WId upper, WId lower) {
    const QString stacking =
        QString::fromUtf8(Session::xprop(0, {QStringLiteral("_NET_CLIENT_LIST_STACKING")}));
    const auto at = [&](WId window) {
        return stacking.indexOf(u"0x"_qs + QString::number(quint64(window), 16));
    };
    return at(lower) >= 0 && at(upper) > at(lower);
}

// The blur asked of the compositor: rectangles (x, y, width, height) that follow the rounded
// outline, so no corner pixel is in it.
QList<QRect> blurRectangles(WId window) {
    const QString value = xprop(window, QStringLiteral("_KDE_NET_WM_BLUR_BEHIND_REGION"));
    QList<int> numbers;
    for (const QString& part : value.section(u'=', 1).split(u',', Qt::SkipEmptyParts))
        numbers.append(part.trimmed().toInt());
    QList<QRect> rects;
    for (qsizetype i = 0; i + 3 < numbers.size(); i += 4)
        rects.append(QRect(numbers[i], numbers[i + 1], numbers[i + 2], numbers[i + 3]));
    return rects;
}

bool covers(const QList<QRect>& rects, QPoint point) {
    return std::any_of(rects.begin(), rects.end(),
                       [&](const QRect& r) { return r.contains(point); });
}

TEST_F(DockPanelTest, GeometryMapStateNameBlurAndHintsFollowTheRecordOnTheSameWindow) {
    const WId window = startDock();
    EXPECT_TRUE(
        waitForGeometry(window, {100, screenHeight - 500, 180, 300, QStringLiteral("IsViewable")}))
        << xwininfo(window);
    EXPECT_TRUE(xprop(window, QStringLiteral("WM_CLASS")).contains(R"("moorline", "Moorline")"));
    QList<QRect> rects = blurRectangles(window);
    EXPECT_TRUE(covers(rects, {90, 150}));
    EXPECT_FALSE(covers(rects, {0, 0}));
    EXPECT_FALSE(covers(rects, {179, 299}));
    // Out of task bars and pagers, on every workspace, shown without taking the focus.
    const auto hintsHold = [&] {
        return hasState(window, "_NET_WM_STATE_SKIP_TASKBAR") &&
               hasState(window, "_NET_WM_STATE_SKIP_PAGER") &&
               xprop(window, QStringLiteral("_NET_WM_DESKTOP")).contains("4294967295");
    };
    EXPECT_TRUE(Session::waitUntil(hintsHold)) << xprop(window, QString()).toStdString();
    EXPECT_TRUE(xprop(window, QStringLiteral("WM_HINTS")).contains("input focus: False"));
    EXPECT_NE(Session::activeWindow(), u"0x"_qs + QString::number(window, 16));

    edit([](Dock& d) {
        d.position = {400, 50, 220, 160};
        d.name = QStringLiteral("Renamed");
        d.appearance.cornerRadius = 0;
    });
    EXPECT_TRUE(
        waitForGeometry(window, {400, screenHeight - 210, 220, 160, QStringLiteral("IsViewable")}))
        << xwininfo(window);
    EXPECT_TRUE(Session::waitUntil(
        [&] { return xprop(window, QStringLiteral("_NET_WM_NAME")).contains("\"Renamed\""); }));
    EXPECT_TRUE(Session::waitUntil([&] { return covers(blurRectangles(window), {0, 0}); }));

    edit([](Dock& d) { d.isVisible = false; });
    EXPECT_TRUE(waitForMapState(window, QStringLiteral("IsUnMapped")));
    edit([](Dock& d) { d.isVisible = true; });
    EXPECT_TRUE(waitForMapState(window, QStringLiteral("IsViewable")));
    EXPECT_EQ(panelOf(id)->winId(), window);
    // The hints hold after each show, and on another workspace the panel is still there.
    EXPECT_TRUE(Session::waitUntil(hintsHold)) << xprop(window, QString()).toStdString();
    Session::xdotool({QStringLiteral("set_desktop"), QStringLiteral("2")});
    Session::pause(200ms);
    EXPECT_EQ(xwininfo(window).mapState, QStringLiteral("IsViewable"));
    Session::xdotool({QStringLiteral("set_desktop"), QStringLiteral("0")});
}

TEST_F(DockPanelTest, AlwaysOnTopKeepsTheDockOverActivatedWindowsAndTogglesOnTheSameWindow) {
    const WId window = startDock();
    const auto above = [&] { return hasState(window, "_NET_WM_STATE_ABOVE"); };
    EXPECT_TRUE(Session::waitUntil(above));
    ASSERT_TRUE(waitForMapState(window, QStringLiteral("IsViewable")));
    Session::ChildProcesses processes;
    processes.start(QStringLiteral("xterm"),
                    {"-name", "stacked", "-geometry", "40x20+50+250", "-e", "sleep", "60"});
    const QString terminalId = Session::waitForWindow(QStringLiteral("^stacked$"));
    ASSERT_FALSE(terminalId.isEmpty());
    const WId terminal = terminalId.toULongLong();
    const auto activateTerminal = [&] {
        Session::xdotool({QStringLiteral("windowactivate"), terminalId});
        Session::pause(300ms);
    };
    activateTerminal();
    EXPECT_TRUE(stackedAbove(window, terminal));

    edit([](Dock& d) { d.alwaysOnTop = false; });
    EXPECT_TRUE(Session::waitUntil([&] { return !above(); }));
    activateTerminal();
    EXPECT_TRUE(Session::waitUntil([&] { return stackedAbove(terminal, window); }));
    edit([](Dock& d) { d.alwaysOnTop = true; });
    EXPECT_TRUE(Session::waitUntil(above));
    EXPECT_EQ(panelOf(id)->winId(), window);
    // Still skip-taskbar: the window was not made anew.
    EXPECT_TRUE(hasState(window, "_NET_WM_STATE_SKIP_TASKBAR"));

    // Lowered by someone else (the window manager's menu, a rule): the next apply raises it.
    hints.setAbove(panelOf(id)->windowHandle(), false);
    ASSERT_TRUE(Session::waitUntil([&] { return !above(); }));
    edit([](Dock& d) { d.name = QStringLiteral("Level again"); });
    EXPECT_TRUE(Session::waitUntil(above));

    // Lowered while hidden, it comes back at the normal level.
    edit([](Dock& d) { d.isVisible = false; });
    edit([](Dock& d) { d.alwaysOnTop = false; });
    edit([](Dock& d) { d.isVisible = true; });
    EXPECT_TRUE(waitForMapState(window, QStringLiteral("IsViewable")));
    Session::pause(200ms);
    EXPECT_FALSE(above());
}

TEST_F(DockPanelTest, AMoveByTheWindowManagerIsWrittenBackOnce) {
    const WId window = startDock();
    ASSERT_TRUE(
        waitForGeometry(window, {100, screenHeight - 500, 180, 300, QStringLiteral("IsViewable")}));
    int updates = 0;
    Subscription counting = store.docks.sink([&](const auto&) { ++updates; });
    updates = 0;
    Session::xdotool({QStringLiteral("windowmove"), windowId(window), QStringLiteral("300"),
                      QStringLiteral("100")});
    const DockPosition expected{300, double(screenHeight - 100 - 300), 180, 300};
    EXPECT_TRUE(Session::waitUntil([&] { return store.dock(id)->position == expected; }));
    // Nothing more once the frame is saved.
    Session::pause(600ms);
    EXPECT_EQ(updates, 1);
}

TEST_F(DockPanelTest, TheLaunchQuestionComesAboveEveryPanelAndStaysThere) {
    // An always-on-top panel over the middle of the screen, where the question is centred.
    const WId panel = startDock({240, 150, 800, 500});
    ASSERT_TRUE(waitForMapState(panel, QStringLiteral("IsViewable")));
    LaunchConfirmationDialog confirmation;
    const QString entry = QStringLiteral("/home/ann/Downloads/x.desktop");
    confirmation.ask(entry, QStringLiteral("true"), [](bool) {});
    const WId box = confirmation.openBox(entry)->winId();
    ASSERT_TRUE(waitForMapState(box, QStringLiteral("IsViewable")));
    EXPECT_TRUE(Session::waitUntil([&] { return stackedAbove(box, panel); }));
    // A click on the panel (which raises it in its layer) leaves the question above it.
    const WindowGeometry shown = xwininfo(panel);
    Session::xdotool({QStringLiteral("mousemove"), QString::number(shown.x + 20),
                      QString::number(shown.y + 10), QStringLiteral("click"), QStringLiteral("1")});
    Session::pause(300ms);
    EXPECT_TRUE(stackedAbove(box, panel));
}

} // namespace
