// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/EwmhRunningApplications.h"
#include "fakes/FakeDesktop.h"
#include "integration/support/DesktopTools.h"
#include "integration/support/XClient.h"
#include "integration/support/XSession.h"
#include "platform/QtScheduler.h"
#include "runtime/RunningAppsMonitor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace std::chrono_literals;

namespace {

// The test's own desktop entries are the only ones installed, so that programs without one are
// known by class. GIO reads XDG_DATA_DIRS once, at its first use, so it is set before the first
// test; not before main, since the window manager needs the system's data directories.
struct EntriesDirectory : ::testing::Environment {
    EntriesDirectory() {
        Session::writeImage(iconPath(), Qt::red, 16);
        writeEntry(entryPath(), u"Probe Terminal"_qs, u"MoorlineProbe"_qs, iconPath());
    }
    void SetUp() override { qputenv("XDG_DATA_DIRS", dir.path().toLocal8Bit()); }
    QString iconPath() const { return dir.path() + u"/probe.png"_qs; }
    QString entryPath() const { return dir.path() + u"/applications/probe.desktop"_qs; }

    static void writeEntry(const QString& path, const QString& name, const QString& wmClass,
                           const QString& icon) {
        Session::writeFile(
            path, u"[Desktop Entry]\nType=Application\nName=%1\n"
                  "Exec=xterm -class %2\nIcon=%3\nStartupWMClass=%2\n"_qs.arg(name, wmClass, icon)
                      .toUtf8());
    }

    QTemporaryDir dir;
};
const EntriesDirectory& entries =
    *static_cast<EntriesDirectory*>(::testing::AddGlobalTestEnvironment(new EntriesDirectory));

QStringList names(const std::vector<RunningApplication>& apps) {
    QStringList out;
    for (const auto& app : apps)
        out << app.localizedName.value_or(QString());
    return out;
}

QByteArray windowState(std::uint32_t window) {
    return Session::xprop(window, {u"_NET_WM_STATE"_qs, u"WM_STATE"_qs});
}

class RunningAppsTest : public ::testing::Test {
protected:
    void SetUp() override {
        monitor.start();
        // Programs of the test before may take a moment to go.
        ASSERT_TRUE(Session::waitUntil([&] { return monitor.apps->empty(); }, 10s))
            << names(*monitor.apps).join(", ").toStdString();
    }

    QProcess& startXterm(const QStringList& extra = {}) {
        return processes.start(u"xterm"_qs, extra + QStringList{u"-e"_qs, u"sleep"_qs, u"600"_qs});
    }

    std::optional<RunningApplication>
    listed(const std::function<bool(const RunningApplication&)>& which) const {
        for (const auto& app : *monitor.apps)
            if (which(app))
                return app;
        return std::nullopt;
    }
    std::optional<RunningApplication> app(const QProcess& process) const {
        return listed(
            [&](const auto& app) { return app.processIdentifier == process.processId(); });
    }
    std::optional<RunningApplication> named(const QString& name) const {
        return listed([&](const auto& app) { return app.localizedName == name; });
    }
    bool isFrontmost(const QProcess& process) const {
        return monitor.frontmostApp->has_value() &&
               (*monitor.frontmostApp)->processIdentifier == process.processId();
    }
    bool waitForApp(const QProcess& process) {
        return Session::waitUntil([&] { return app(process).has_value(); }, 10s);
    }

    EwmhRunningApplications source;
    FakeDesktop desktop;
    QtScheduler scheduler;
    RunningAppsMonitor monitor{source, desktop, scheduler};
    Session::ChildProcesses processes;
};

} // namespace

TEST_F(RunningAppsTest, FollowsProgramsSortedByNameHidesActivatesAndClosesThemPolitely) {
    QProcess& xterm = startXterm();
    const QProcess& xclock = processes.start(u"xclock"_qs);
    ASSERT_TRUE(waitForApp(xterm));
    ASSERT_TRUE(waitForApp(xclock));
    EXPECT_EQ(names(*monitor.apps), (QStringList{"XClock", "XTerm"}));
    // With no desktop entry, the executable stands for the bundle.
    EXPECT_EQ(app(xclock)->desktopEntryPath, u"/usr/bin/xclock"_qs);
    EXPECT_EQ(app(xterm)->desktopEntryPath, u"/usr/bin/xterm"_qs);
    ASSERT_EQ(app(xterm)->windows.size(), 1u);

    // Hide iconifies and republishes the same list; activation restores.
    const std::uint32_t window = app(xterm)->windows.front();
    int published = 0;
    const auto sink = monitor.apps.sink([&](const auto&) { ++published; });
    monitor.hide(*app(xterm));
    EXPECT_TRUE(Session::waitUntil([&] {
        const QByteArray state = windowState(window);
        return state.contains("_NET_WM_STATE_HIDDEN") && state.contains("Iconic");
    }));
    EXPECT_TRUE(Session::waitUntil([&] { return published > 1; }));
    EXPECT_TRUE(app(xterm).has_value());
    published = 0;
    monitor.activate(*app(xterm));
    EXPECT_TRUE(Session::waitUntil([&] {
        const QByteArray state = windowState(window);
        return !state.contains("_NET_WM_STATE_HIDDEN") && state.contains("Normal");
    }));
    EXPECT_TRUE(Session::waitUntil([&] { return isFrontmost(xterm); }));
    EXPECT_TRUE(Session::waitUntil([&] { return published > 0; }));

    // xterm may map its window before it has started its command; a close before that leaves
    // it with nothing to hang up, and it stays.
    ASSERT_TRUE(Session::waitUntil([&] {
        return Session::run(u"pgrep"_qs, {u"-P"_qs, QString::number(xterm.processId())}).exitCode ==
               0;
    }));
    // A close request lets xterm exit by itself; a kill would be a crash exit.
    monitor.terminate(*app(xterm));
    ASSERT_TRUE(xterm.waitForFinished(10000));
    EXPECT_EQ(xterm.exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(Session::waitUntil([&] { return names(*monitor.apps) == QStringList{"XClock"}; }));
}

TEST_F(RunningAppsTest, DesktopEntriesGiveNameIconAndLocationEvenWhenInstalledLater) {
    const QProcess& probe = startXterm({u"-class"_qs, u"MoorlineProbe"_qs});
    ASSERT_TRUE(waitForApp(probe));
    const RunningApplication found = *app(probe);
    EXPECT_EQ(found.localizedName, u"Probe Terminal"_qs);
    EXPECT_EQ(found.desktopEntryPath, entries.entryPath());
    EXPECT_EQ(Session::centreColour(found.icon, 16), QColor(Qt::red));

    // An entry installed later is found when its program starts.
    EntriesDirectory::writeEntry(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            u"/applications/late.desktop"_qs,
        u"Late Probe"_qs, u"LateProbe"_qs, entries.iconPath());
    const QProcess& late = startXterm({u"-class"_qs, u"LateProbe"_qs});
    ASSERT_TRUE(waitForApp(late));
    EXPECT_TRUE(Session::waitUntil(
        [&] { return app(late) && app(late)->localizedName == u"Late Probe"_qs; }));
}

TEST_F(RunningAppsTest, OwnToolWindowsAreNotRegular) {
    // Dock panels are frameless tool windows: they must not list the program itself.
    QWidget panel(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    panel.resize(100, 40);
    panel.show();
    const auto own = [&]() -> std::optional<RunningApplication> {
        for (const auto& app : source.snapshot().applications)
            if (app.processIdentifier == QCoreApplication::applicationPid())
                return app;
        return std::nullopt;
    };
    ASSERT_TRUE(Session::waitUntil([&] { return own().has_value(); }));
    EXPECT_EQ(own()->activationPolicy, ActivationPolicy::accessory);
    EXPECT_TRUE(monitor.apps->empty());
}

TEST_F(RunningAppsTest, ToleratesMalformedPropertiesAndWindowsThatVanish) {
    XClient client;
    // A pidless window with a good 2x2 blue icon followed by an image cut short.
    const xcb_window_t good = client.createWindow();
    const char goodClass[] = "strange\0Strange";
    client.set(good, "WM_CLASS", XCB_ATOM_STRING, 8, goodClass, sizeof goodClass);
    const std::uint32_t icon[] = {2,          2,  0xff0000ff, 0xff0000ff, 0xff0000ff,
                                  0xff0000ff, 64, 64,         0xffffffff};
    client.set(good, "_NET_WM_ICON", XCB_ATOM_CARDINAL, 32, icon, std::size(icon));
    // A pid of the wrong type, a class without its terminators, a type nobody knows, a state
    // of the wrong format.
    const xcb_window_t odd = client.createWindow();
    client.set(odd, "_NET_WM_PID", XCB_ATOM_STRING, 8, "1234", 4);
    client.set(odd, "WM_CLASS", XCB_ATOM_STRING, 8, "oddball", 7);
    const xcb_atom_t unknownType = client.atom("_MOORLINE_TEST_UNKNOWN_TYPE");
    client.set(odd, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM, 32, &unknownType, 1);
    client.set(odd, "_NET_WM_ICON", XCB_ATOM_CARDINAL, 32, icon, 1);
    client.map(good);
    client.map(odd);

    ASSERT_TRUE(Session::waitUntil([&] { return named("Strange") && named("oddball"); }));
    EXPECT_EQ(named("Strange")->key, u"class:Strange"_qs);
    EXPECT_EQ(named("Strange")->icon.pixmap(2, 2).toImage().pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(named("oddball")->processIdentifier, -1);
    EXPECT_FALSE(named("oddball")->desktopEntryPath.has_value());
    // Leaving the task bar makes an application not regular, coming back regular again.
    client.changeState(good, true, "_NET_WM_STATE_SKIP_TASKBAR");
    EXPECT_TRUE(Session::waitUntil([&] { return !named("Strange"); }));
    client.changeState(good, false, "_NET_WM_STATE_SKIP_TASKBAR");
    EXPECT_TRUE(Session::waitUntil([&] { return named("Strange").has_value(); }));

    // A window that is gone by the time its properties are read is left out.
    auto* connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const EwmhAtoms atoms = EwmhAtoms::intern(connection);
    const EwmhWindowReader reader(connection, atoms,
                                  xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root);
    const auto windows = reader.readWindows({{good, EwmhWindowReader::allProperties, true},
                                             {0x1fffffff, EwmhWindowReader::allProperties, true},
                                             {odd, 0, true}});
    ASSERT_EQ(windows.size(), 2u);
    ASSERT_TRUE(windows[0].properties.has_value());
    EXPECT_EQ(windows[0].properties->wmClass, u"Strange"_qs);
    EXPECT_EQ(windows[1].window, odd);
    EXPECT_FALSE(windows[1].properties.has_value());
    EXPECT_TRUE(windows[1].icon.has_value());

    // (Openbox puts its own icon on a window whose icon it cannot read, so the cut icons are
    // checked here.)
    const std::uint32_t cut[] = {4, 4, 0, 0, 0};
    EXPECT_TRUE(EwmhWindowReader::decodeIcon(cut, std::size(cut)).isNull());
    const std::uint32_t huge[] = {0xffffffff, 0xffffffff, 0};
    EXPECT_TRUE(EwmhWindowReader::decodeIcon(huge, std::size(huge)).isNull());
    const std::uint32_t empty[] = {0, 5, 1, 1, 0xff00ff00};
    EXPECT_TRUE(EwmhWindowReader::decodeIcon(empty, std::size(empty)).isNull());
    EXPECT_TRUE(EwmhWindowReader::decodeIcon(nullptr, 0).isNull());
    EXPECT_FALSE(EwmhWindowReader::decodeIcon(icon, std::size(icon)).isNull());

    client.destroy(good);
    client.destroy(odd);
    EXPECT_TRUE(Session::waitUntil([&] { return monitor.apps->empty(); }));
}

TEST_F(RunningAppsTest, ActivationLeavesTheWindowLastInFrontInFront) {
    XClient client;
    const std::uint32_t pid = 0x7ffffff0; // no such process: grouped by pid all the same
    const char wmClass[] = "twowin\0TwoWindows";
    std::vector<xcb_window_t> windows;
    for (int i = 0; i < 2; ++i) {
        windows.push_back(client.createWindow());
        client.set(windows.back(), "_NET_WM_PID", XCB_ATOM_CARDINAL, 32, &pid, 1);
        client.set(windows.back(), "WM_CLASS", XCB_ATOM_STRING, 8, wmClass, sizeof wmClass);
        client.map(windows.back());
    }
    const QProcess& xterm = startXterm();
    ASSERT_TRUE(waitForApp(xterm));
    const auto twoWindows = [&] {
        return listed([&](const auto& app) {
            return app.processIdentifier == std::int32_t(pid) && app.windows.size() == 2;
        });
    };
    ASSERT_TRUE(Session::waitUntil([&] { return twoWindows().has_value(); }));
    const auto activeWindow = [] { return Session::xprop(0, {u"_NET_ACTIVE_WINDOW"_qs}); };
    // Active and at the top of the stacking list: xfwm4 reports the new active window before it
    // has restacked, and the next activation reads the stacking list.
    const auto inFront = [&](xcb_window_t window) {
        const QByteArray id = "0x" + QByteArray::number(window, 16);
        return activeWindow().contains(id) &&
               Session::xprop(0, {u"_NET_CLIENT_LIST_STACKING"_qs}).trimmed().endsWith(id);
    };
    const auto activateTerminal = [&] {
        monitor.activate(*app(xterm));
        return Session::waitUntil([&] { return inFront(app(xterm)->windows.front()); });
    };

    // The first window is brought to the front by itself, then the terminal over both.
    Session::xdotool({u"windowactivate"_qs, QString::number(windows[0])});
    ASSERT_TRUE(Session::waitUntil([&] { return inFront(windows[0]); }));
    ASSERT_TRUE(activateTerminal());

    monitor.activate(*twoWindows());
    EXPECT_TRUE(Session::waitUntil([&] { return inFront(windows[0]); }))
        << activeWindow().constData();

    Session::xdotool({u"windowactivate"_qs, QString::number(windows[1])});
    ASSERT_TRUE(Session::waitUntil([&] { return inFront(windows[1]); }));
    ASSERT_TRUE(activateTerminal());
    monitor.activate(*twoWindows());
    EXPECT_TRUE(Session::waitUntil([&] { return inFront(windows[1]); }))
        << activeWindow().constData();
}

TEST_F(RunningAppsTest, AFloodOfMadeUpWindowIdsIsReadAFewAtATimeAndOnlyOnce) {
    const QProcess& xterm = startXterm();
    ASSERT_TRUE(waitForApp(xterm));
    auto* connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::vector<xcb_window_t> real =
        EwmhWindowReader(connection, EwmhAtoms::intern(connection), root).readRoot().clients;
    // 100,000 ids no client owns after the real ones, written by another client, twice.
    std::vector<xcb_window_t> flood = real;
    for (xcb_window_t id = 0x1f000000; flood.size() < real.size() + 100000; ++id)
        flood.push_back(id);
    XClient client;
    int changes = 0;
    const Subscription counting = source.onChange([&] { ++changes; });
    // The longest the event loop went without a pass, printed for the record.
    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout,
                     [&] { longestStall = std::max(longestStall, sinceTick.restart()); });
    tick.start(5);
    sinceTick.start();
    const auto write = [&](const std::vector<xcb_window_t>& ids) {
        client.set(root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, 32, ids.data(),
                   std::uint32_t(ids.size()));
    };
    write(flood);
    EXPECT_TRUE(Session::waitUntil([&] { return changes > 50; }, 30s)) << changes;
    // Until the whole flood has been read (slow under the sanitizers): no change for 300 ms.
    const auto settle = [&] {
        for (int seen = -1; seen != changes;) {
            seen = changes;
            Session::pause(300ms);
        }
    };
    settle();
    EXPECT_TRUE(app(xterm).has_value());
    // Written again: the made-up ids are known for what they are, and not read again in passes
    // (a window manager may answer with a list of its own, which is one change more).
    changes = 0;
    write(flood);
    EXPECT_TRUE(Session::waitUntil([&] { return changes > 0; }));
    settle();
    EXPECT_LE(changes, 3);
    write(real);
    std::printf("client list flood: longest event loop stall %lld ms\n",
                static_cast<long long>(longestStall));
}
