// Dock panels on a real X server with a real window manager: geometry, map state,
// window-manager hints, the stays-on-top toggle, auto-hide driven by real pointer motion and
// moves written back.
#include "integration/support/PanelFixture.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using namespace X11Probe;
using Geometry = WindowGeometry;

// The Xvfb screen of the shared session: 1280 x 800, so Qt y = 800 - (y + height).
constexpr int screenHeight = 800;

class DockPanelTest : public PanelFixture {};

TEST_F(DockPanelTest, GeometryAndMapStateFollowTheRecord) {
    const Dock dock = addDock(QStringLiteral("Geometry"), {100, 200, 180, 300});
    start();
    const WId window = panelOf(dock.id)->winId();
    EXPECT_TRUE(
        waitForGeometry(window, {100, screenHeight - 500, 180, 300, QStringLiteral("IsViewable")}))
        << xwininfo(window);

    change(dock.id, [](Dock& d) { d.position = {400, 50, 220, 160}; });
    EXPECT_TRUE(
        waitForGeometry(window, {400, screenHeight - 210, 220, 160, QStringLiteral("IsViewable")}))
        << xwininfo(window);

    change(dock.id, [](Dock& d) { d.isVisible = false; });
    EXPECT_TRUE(waitForMapState(window, QStringLiteral("IsUnMapped")));
    change(dock.id, [](Dock& d) { d.isVisible = true; });
    EXPECT_TRUE(waitForMapState(window, QStringLiteral("IsViewable")));
    EXPECT_EQ(panelOf(dock.id)->winId(), window);
}

TEST_F(DockPanelTest, NamesTheWindowAfterTheProgramAndTheDock) {
    const Dock dock = addDock(QStringLiteral("Named"), {100, 200, 180, 300});
    start();
    const WId window = panelOf(dock.id)->winId();
    EXPECT_TRUE(xprop(window, QStringLiteral("WM_CLASS")).contains(R"("moorline", "Moorline")"));
    change(dock.id, [](Dock& d) { d.name = QStringLiteral("Renamed"); });
    EXPECT_TRUE(Desktop::waitUntil(
        [&] { return xprop(window, QStringLiteral("_NET_WM_NAME")).contains("\"Renamed\""); }));
}

TEST_F(DockPanelTest, StaysOutOfTaskBarsOnEveryWorkspaceAfterEachShow) {
    const Dock dock = addDock(QStringLiteral("Sticky"), {100, 200, 180, 300});
    start();
    const WId window = panelOf(dock.id)->winId();
    const auto hintsHold = [&] {
        const QString state = xprop(window, QStringLiteral("_NET_WM_STATE"));
        return state.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")) &&
               state.contains(QStringLiteral("_NET_WM_STATE_SKIP_PAGER")) &&
               xprop(window, QStringLiteral("_NET_WM_DESKTOP")).contains("4294967295");
    };
    EXPECT_TRUE(Desktop::waitUntil(hintsHold)) << xprop(window, QString()).toStdString();
    // Shown without taking the focus.
    EXPECT_NE(
        Desktop::run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).out.trimmed(),
        windowId(window).toLatin1());
    change(dock.id, [](Dock& d) { d.isVisible = false; });
    EXPECT_TRUE(waitForMapState(window, QStringLiteral("IsUnMapped")));
    change(dock.id, [](Dock& d) { d.isVisible = true; });
    EXPECT_TRUE(waitForMapState(window, QStringLiteral("IsViewable")));
    EXPECT_TRUE(Desktop::waitUntil(hintsHold)) << xprop(window, QString()).toStdString();
    // On every workspace indeed: still shown on another one.
    xdotool({QStringLiteral("set_desktop"), QStringLiteral("2")});
    Desktop::waitUntil([] { return false; }, 200ms);
    EXPECT_EQ(xwininfo(window).mapState, QStringLiteral("IsViewable"));
    xdotool({QStringLiteral("set_desktop"), QStringLiteral("0")});
}

TEST_F(DockPanelTest, AlwaysOnTopTogglesTheAboveStateOnTheSameWindow) {
    const Dock dock = addDock(QStringLiteral("Level"), {100, 200, 180, 300});
    start();
    const WId window = panelOf(dock.id)->winId();
    const auto above = [&] {
        return xprop(window, QStringLiteral("_NET_WM_STATE"))
            .contains(QStringLiteral("_NET_WM_STATE_ABOVE"));
    };
    EXPECT_TRUE(Desktop::waitUntil(above));
    change(dock.id, [](Dock& d) { d.alwaysOnTop = false; });
    EXPECT_TRUE(Desktop::waitUntil([&] { return !above(); }));
    EXPECT_EQ(panelOf(dock.id)->winId(), window);
    change(dock.id, [](Dock& d) { d.alwaysOnTop = true; });
    EXPECT_TRUE(Desktop::waitUntil(above));
    EXPECT_EQ(panelOf(dock.id)->winId(), window);
    // Still skip-taskbar: the window was not made anew.
    EXPECT_TRUE(xprop(window, QStringLiteral("_NET_WM_STATE"))
                    .contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")));

    // Lowered by someone else (the window manager's menu, a rule): the next apply raises it.
    hints.setAbove(window, false);
    ASSERT_TRUE(Desktop::waitUntil([&] { return !above(); }));
    change(dock.id, [](Dock& d) { d.name = QStringLiteral("Level again"); });
    EXPECT_TRUE(Desktop::waitUntil(above));

    // Lowered while hidden, it comes back at the normal level.
    change(dock.id, [](Dock& d) { d.isVisible = false; });
    change(dock.id, [](Dock& d) { d.alwaysOnTop = false; });
    change(dock.id, [](Dock& d) { d.isVisible = true; });
    EXPECT_TRUE(waitForMapState(window, QStringLiteral("IsViewable")));
    Desktop::waitUntil([] { return false; }, 200ms);
    EXPECT_FALSE(above());
}

TEST_F(DockPanelTest, AnAboveDockStaysOverAnActivatedWindowAndANormalOneDoesNot) {
    const Dock dock = addDock(QStringLiteral("Stacked"), {100, 200, 180, 300});
    start();
    const WId window = panelOf(dock.id)->winId();
    ASSERT_TRUE(waitForMapState(window, QStringLiteral("IsViewable")));
    QProcess xterm;
    xterm.start(QStringLiteral("xterm"),
                {QStringLiteral("-geometry"), QStringLiteral("40x20+50+250"), QStringLiteral("-e"),
                 QStringLiteral("sleep"), QStringLiteral("60")});
    ASSERT_TRUE(xterm.waitForStarted(5000));
    const auto terminal = [&] {
        return Desktop::run(QStringLiteral("xdotool"),
                            {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                             QStringLiteral("--pid"), QString::number(xterm.processId())})
            .out.trimmed();
    };
    ASSERT_TRUE(Desktop::waitUntil([&] { return !terminal().isEmpty(); }));
    // Which of the two the window manager stacks higher.
    const auto panelOnTop = [&] {
        const QString stacking = QString::fromUtf8(
            Desktop::run(QStringLiteral("xprop"),
                         {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")})
                .out);
        const QString terminalId =
            QStringLiteral("0x") + QString::number(terminal().toULongLong(), 16);
        const QString panelId = QStringLiteral("0x") + QString::number(quint64(window), 16);
        return stacking.indexOf(panelId) > stacking.indexOf(terminalId);
    };
    const auto activateTerminal = [&] {
        xdotool({QStringLiteral("windowactivate"), QString::fromLatin1(terminal())});
        Desktop::waitUntil([] { return false; }, 300ms);
    };
    activateTerminal();
    EXPECT_TRUE(panelOnTop());
    change(dock.id, [](Dock& d) { d.alwaysOnTop = false; });
    activateTerminal();
    EXPECT_TRUE(Desktop::waitUntil([&] { return !panelOnTop(); }));
    xterm.kill();
    xterm.waitForFinished(3000);
}

TEST_F(DockPanelTest, AMoveByTheWindowManagerIsWrittenBackOnce) {
    const Dock dock = addDock(QStringLiteral("Moved"), {100, 200, 180, 300});
    start();
    const WId window = panelOf(dock.id)->winId();
    ASSERT_TRUE(
        waitForGeometry(window, {100, screenHeight - 500, 180, 300, QStringLiteral("IsViewable")}));
    int updates = 0;
    Subscription counting = store.docks.sink([&](const auto&) { ++updates; });
    updates = 0;
    xdotool({QStringLiteral("windowmove"), windowId(window), QStringLiteral("300"),
             QStringLiteral("100")});
    const DockPosition expected{300, double(screenHeight - 100 - 300), 180, 300};
    EXPECT_TRUE(Desktop::waitUntil([&] { return store.dock(dock.id)->position == expected; }));
    // Nothing more once the frame is saved.
    Desktop::waitUntil([] { return false; }, 600ms);
    EXPECT_EQ(updates, 1);
}

TEST_F(DockPanelTest, AutoHideFollowsRealPointerMotion) {
    const Dock dock = addDock(QStringLiteral("Hiding"), {0, 300, 100, 200}, true);
    start();
    const WId window = panelOf(dock.id)->winId();
    ASSERT_TRUE(pointerMonitor.isListening());
    ASSERT_TRUE(waitForMapState(window, QStringLiteral("IsViewable")));

    // A warp makes no raw motion; the relative step after it does.
    xdotool({QStringLiteral("mousemove"), QStringLiteral("640"), QStringLiteral("400")});
    xdotool({QStringLiteral("mousemove_relative"), QStringLiteral("5"), QStringLiteral("5")});
    EXPECT_TRUE(waitForMapState(window, QStringLiteral("IsUnMapped")));

    xdotool({QStringLiteral("mousemove"), QStringLiteral("20"), QStringLiteral("100")});
    xdotool({QStringLiteral("mousemove_relative"), QStringLiteral("--"), QStringLiteral("-18"),
             QStringLiteral("0")});
    EXPECT_TRUE(waitForMapState(window, QStringLiteral("IsViewable")));

    change(dock.id, [](Dock& d) { d.autoHide = false; });
    EXPECT_FALSE(pointerMonitor.isListening());
}

TEST_F(DockPanelTest, TheHotKeyShowsAndHidesTheDock) {
    Dock dock = addDock(QStringLiteral("Keyed"), {100, 200, 180, 300});
    // Command-K: Super+K here.
    dock.hotKey = {40, HotKeyBinding::cmdKey};
    store.update(dock);
    start();
    const WId window = panelOf(dock.id)->winId();
    const auto mapState = [&] { return xwininfo(window).mapState; };
    ASSERT_TRUE(Desktop::waitUntil([&] { return mapState() == QStringLiteral("IsViewable"); }));
    xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("super+k")});
    EXPECT_TRUE(Desktop::waitUntil([&] { return mapState() == QStringLiteral("IsUnMapped"); }));
    EXPECT_FALSE(store.dock(dock.id)->isVisible);
    xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("super+k")});
    EXPECT_TRUE(Desktop::waitUntil([&] { return mapState() == QStringLiteral("IsViewable"); }));
    EXPECT_TRUE(store.dock(dock.id)->isVisible);
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

TEST_F(DockPanelTest, TheBlurFollowsTheRoundedShapeAndTheWindowTakesNoFocus) {
    const Dock dock = addDock(QStringLiteral("Blurred"), {100, 200, 180, 300});
    start();
    const WId window = panelOf(dock.id)->winId();
    ASSERT_TRUE(waitForMapState(window, QStringLiteral("IsViewable")));
    EXPECT_TRUE(xprop(window, QStringLiteral("WM_HINTS")).contains("input focus: False"));
    QList<QRect> rects = blurRectangles(window);
    EXPECT_TRUE(covers(rects, {90, 150}));
    EXPECT_FALSE(covers(rects, {0, 0}));
    EXPECT_FALSE(covers(rects, {179, 299}));
    change(dock.id, [](Dock& d) { d.appearance.cornerRadius = 0; });
    EXPECT_TRUE(Desktop::waitUntil([&] { return covers(blurRectangles(window), {0, 0}); }));
}

} // namespace
