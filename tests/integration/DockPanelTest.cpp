// Dock panels on a real X server with Openbox: geometry, map state, window-manager hints, the
// stays-on-top toggle, auto-hide driven by real pointer motion and moves written back.
#include "backends/x11/QtScreens.h"
#include "backends/x11/X11HotKeyBackend.h"
#include "backends/x11/X11WindowHints.h"
#include "backends/x11/XInputPointerMonitor.h"
#include "fakes/FakeServices.h"
#include "integration/support/XSession.h"
#include "platform/QtScheduler.h"
#include "windows/DockPanelWindow.h"
#include "windows/DockPanelWindowFactory.h"
#include "windows/DockWindowsManager.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// The Xvfb screen of the shared session: 1280 x 800, so Qt y = 800 - (y + height).
constexpr int screenHeight = 800;

QString windowId(WId id) {
    return QString::number(quint64(id));
}

QString xprop(WId window, const QString& property) {
    return QString::fromUtf8(
        Desktop::run(QStringLiteral("xprop"), {QStringLiteral("-id"), windowId(window), property})
            .out);
}

struct Geometry {
    int x = -1, y = -1, width = -1, height = -1;
    QString mapState;
    bool operator==(const Geometry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Geometry& g) {
    return out << g.x << "," << g.y << " " << g.width << "x" << g.height << " "
               << g.mapState.toStdString();
}

Geometry xwininfo(WId window) {
    const QString info = QString::fromUtf8(
        Desktop::run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), windowId(window)}).out);
    const auto field = [&](const char* name) {
        const QRegularExpression re(QStringLiteral("%1:\\s*(\\S+)").arg(QLatin1String(name)));
        return re.match(info).captured(1);
    };
    return {field("Absolute upper-left X").toInt(), field("Absolute upper-left Y").toInt(),
            field("Width").toInt(), field("Height").toInt(), field("Map State")};
}

class DockPanelTest : public ::testing::Test {
protected:
    ~DockPanelTest() override {
        manager.reset();
        QCoreApplication::processEvents();
    }

    Dock addDock(const QString& name, DockPosition position, bool autoHide = false) {
        Dock dock = Dock::makeDefault(DockKind::items, name);
        dock.position = position;
        dock.autoHide = autoHide;
        std::vector<Dock> docks = *store.docks;
        docks.push_back(dock);
        DockStoreTesting::setDocks(store, std::move(docks));
        return dock;
    }

    void start() {
        manager = std::make_unique<DockWindowsManager>(
            services, DockWindowDependencies{panelFactory, screens, pointerMonitor});
    }

    DockPanelWindow* panelOf(const QUuid& id) const {
        auto* controller = manager->controller(id);
        return controller ? dynamic_cast<DockPanelWindow*>(controller->panel()) : nullptr;
    }

    void change(const QUuid& id, const std::function<void(Dock&)>& edit) {
        Dock dock = *store.dock(id);
        edit(dock);
        store.update(dock);
    }

    static bool waitForMapState(WId window, const QString& state) {
        return Desktop::waitUntil([&] { return xwininfo(window).mapState == state; });
    }

    bool waitForGeometry(WId window, const Geometry& expected) {
        return Desktop::waitUntil([&] { return xwininfo(window) == expected; });
    }

    static void xdotool(const QStringList& arguments) {
        Desktop::run(QStringLiteral("xdotool"), arguments);
    }

    FakeServicesOn<QtScheduler> fakes;
    DockStore& store = fakes.store;
    X11HotKeyBackend hotKeyBackend;
    HotKeyManager hotKeys{hotKeyBackend, fakes.scheduler};
    DockViewServices services = fakes.servicesWith(hotKeys);
    X11WindowHints hints;
    DockPanelWindowFactory panelFactory{hints};
    QtScreens screens;
    XInputPointerMonitor pointerMonitor;
    std::unique_ptr<DockWindowsManager> manager;
};

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
