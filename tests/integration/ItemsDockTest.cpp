// SPDX-License-Identifier: GPL-3.0-or-later
// An items dock on a real X server with Openbox: real XDND drags from a second X client onto the
// grid and onto the trash, clicks that launch an application or bring it forward and leave the
// keyboard with the user's application, an entry's action from the real menu, a badge from a
// real sender on the session bus.
#include "backends/desktop/DBusBadgeUpdates.h"
#include "backends/desktop/GioDesktop.h"
#include "backends/desktop/GioTrash.h"
#include "backends/desktop/SystemdScopes.h"
#include "backends/linux/LocalFileSystem.h"
#include "backends/x11/EwmhRunningApplications.h"
#include "backends/x11/QtScreens.h"
#include "backends/x11/X11LaunchFeedback.h"
#include "backends/x11/X11WindowHints.h"
#include "backends/x11/XInputPointerMonitor.h"
#include "fakes/FakeServices.h"
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"
#include "platform/QtScheduler.h"
#include "views/DockItemGridView.h"
#include "views/OwnPopups.h"
#include "windows/DockPanelWindow.h"
#include "windows/DockPanelWindowFactory.h"
#include "windows/DockWindowsManager.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>

namespace {

using namespace std::chrono_literals;

using Session::pause;

void xdotool(const QStringList& arguments) {
    Session::xdotool(arguments);
    // Our own windows answer the X messages the input causes.
    pause(30ms);
}

class ItemsDockTest : public ::testing::Test {
protected:
    // The program starts watching the desktop's windows once its panels are drawn.
    void SetUp() override { runningApps.start(); }
    ~ItemsDockTest() override {
        manager.reset();
        QCoreApplication::processEvents();
    }

    QUuid start(std::vector<DockItem> items, bool autoHide = false) {
        Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Items"));
        // Qt's top-left corner at 100, 100 on the 1280 x 800 screen.
        dock.position = {100, 300, 240, 400};
        dock.autoHide = autoHide;
        dock.tabs.front().items = std::move(items);
        DockStoreTesting::setDocks(fakes.store, {dock});
        DockWindowDependencies dependencies =
            fakes.windowDependencies(panelFactory, screens, pointerMonitor);
        dependencies.isOwnPopupOpen = &OwnPopups::isOpen;
        manager = std::make_unique<DockWindowsManager>(dependencies);
        EXPECT_TRUE(Session::waitUntil([&] { return mapState(dock.id).contains("IsViewable"); }));
        pause(200ms);
        return dock.id;
    }

    QByteArray mapState(const QUuid& id) const {
        return Session::run(QStringLiteral("xwininfo"),
                            {"-id", QString::number(panel(id)->winId())})
            .out;
    }
    DockPanelWindow* panel(const QUuid& id) const {
        return dynamic_cast<DockPanelWindow*>(manager->controller(id)->panel());
    }
    DockItemGridView& grid(const QUuid& id) const {
        return *panel(id)->findChild<DockItemGridView*>();
    }
    QPoint tileOnScreen(const QUuid& id, std::int64_t index) const {
        DockItemGridView& view = grid(id);
        return view.viewport()->mapToGlobal(view.cellRect(index).center());
    }
    const std::vector<DockItem>& itemsOf(const QUuid& id) const {
        return fakes.store.dock(id)->tabs.front().items;
    }

    void clickAt(QPoint at) {
        xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())});
        xdotool({"click", "1"});
        pause(300ms);
    }

    FakeServicesOn<QtScheduler> fakes;
    GioTrash trash;
    GioDesktop desktop;
    LocalFileSystem fileSystem;
    // The real desktop, trash and files behind the items; the desktop's running programs,
    // launches and badges, as the program has them.
    EwmhRunningApplications windows;
    RunningAppsMonitor runningApps{windows, desktop, fakes.scheduler};
    X11LaunchFeedback feedback;
    SystemdScopes scopes;
    ApplicationLauncher launcher{{desktop, fakes.launchConfirmation, runningApps, windows, feedback,
                                  scopes, fakes.scheduler}};
    DBusBadgeUpdates badgeUpdates;
    BadgeModel badges{badgeUpdates, fakes.scheduler};
    DockItemActions itemActions{
        {fakes.store, desktop, fakes.clipboard, launcher, fakes.imageChooser, fileSystem, trash}};
    X11WindowHints hints;
    DockPanelWindowFactory panelFactory{hints,
                                        {fakes.store, fakes.scheduler, runningApps, fileSystem,
                                         fakes.fileIcons, fakes.iconCache, fakes.docklets,
                                         itemActions, launcher, badges}};
    QtScreens screens;
    XInputPointerMonitor pointerMonitor;
    std::unique_ptr<DockWindowsManager> manager;
    Session::ChildProcesses processes;
};

TEST_F(ItemsDockTest, FilesAndLinksDraggedFromAnotherProgramBecomeItemsAndStayWithIt) {
    const QString folder = QDir::homePath() + QStringLiteral("/Dragged");
    ASSERT_TRUE(Session::writeFile(folder + QStringLiteral("/notes.txt"), "notes"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/Project")));
    const QUuid id = start({});
    const QPoint empty = grid(id).viewport()->mapToGlobal(QPoint(120, 300));
    const QString answer = Session::dragFromSource(
        processes,
        {"--url", QUrl::fromLocalFile(folder + QStringLiteral("/notes.txt")).toString(), "--url",
         QUrl::fromLocalFile(folder + QStringLiteral("/Project/")).toString(), "--url",
         "https://example.com/docs", "--title", "Documentation", "--data",
         folder + QStringLiteral("/notes.txt")},
        empty);
    // Proposed Move, answered Copy: the source kept its file.
    EXPECT_EQ(answer, QStringLiteral("copy"));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/notes.txt")));
    ASSERT_EQ(itemsOf(id).size(), 3u);
    EXPECT_EQ(itemsOf(id)[0].kind, DockItemKind::file);
    EXPECT_EQ(itemsOf(id)[0].path, folder + QStringLiteral("/notes.txt"));
    EXPECT_EQ(itemsOf(id)[1].kind, DockItemKind::folder);
    EXPECT_EQ(itemsOf(id)[1].path, folder + QStringLiteral("/Project"));
    EXPECT_EQ(itemsOf(id)[2].kind, DockItemKind::url);
    // A Qt source sends no link titles (browsers do): the link is named by its host.
    EXPECT_EQ(itemsOf(id)[2].name, QStringLiteral("example.com"));
}

TEST_F(ItemsDockTest, FilesAndFoldersDraggedOntoTheTrashGoThereAndTheSourceKeepsItsData) {
    const QString folder = QDir::homePath() + QStringLiteral("/ToTrash");
    // Names the trash must encode to list them back: spaces, other scripts, a per cent sign.
    const QStringList trashed = {folder + QStringLiteral("/old report.txt"),
                                 folder + QStringLiteral("/Ünïcødé – файл 100%.txt"),
                                 folder + QStringLiteral("/Old Folder")};
    const QString sourceData = QDir::homePath() + QStringLiteral("/source-data.txt");
    ASSERT_TRUE(Session::writeFile(trashed[0], "1") && Session::writeFile(trashed[1], "2") &&
                Session::writeFile(trashed[2] + QStringLiteral("/inner/file"), "3") &&
                Session::writeFile(sourceData, "mine"));
    const QUuid id = start({DockItem::makeDocklet(DockletKind::trash, QStringLiteral("Trash"))});
    QStringList arguments{"--data", sourceData};
    for (const QString& path : trashed)
        arguments << "--url" << QUrl::fromLocalFile(path).toString();
    EXPECT_EQ(Session::dragFromSource(processes, arguments, tileOnScreen(id, 0)), u"copy"_qs);
    EXPECT_TRUE(QFile::exists(sourceData));
    const QStringList listed = Session::trashedPaths();
    for (const QString& path : trashed) {
        EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();
        EXPECT_TRUE(listed.contains(path)) << listed.join(u'\n').toStdString();
    }
    // The dock itself is unchanged.
    EXPECT_EQ(itemsOf(id).size(), 1u);
}

// A terminal of our own applications folder, known by its window class, with an action that
// leaves a marker.
QString terminalEntry() {
    const QString entry =
        qEnvironmentVariable("XDG_DATA_HOME") + u"/applications/moorline-test-term.desktop"_qs;
    Session::writeFile(entry, "[Desktop Entry]\nType=Application\nName=Test Terminal\n"
                              "Exec=xterm -name moorline-test-term -class MoorlineTestTerm "
                              "-geometry 40x10+700+100\nStartupWMClass=MoorlineTestTerm\n"
                              "Actions=marker;\n[Desktop Action marker]\nName=Leave a Marker\n"
                              "Exec=touch " +
                                  QDir::homePath().toUtf8() + "/action-ran\n");
    return entry;
}

// python3-dbusmock's systemd manager on the test's session bus, logging every call to `log`.
bool startSystemd(Session::ChildProcesses& processes, const QString& log) {
    QFile::remove(log);
    processes.start(u"/usr/bin/python3"_qs,
                    {"-m", "dbusmock", "--session", "-t", "systemd", "-l", log});
    return Session::waitUntil(
        [] {
            return QDBusConnection::sessionBus().interface()->isServiceRegistered(
                u"org.freedesktop.systemd1"_qs);
        },
        10s);
}

TEST_F(ItemsDockTest, AClickLaunchesInAScopeWithAStartupIdThenBringsTheProgramForward) {
    const QString calls = QDir::homePath() + u"/systemd-calls"_qs;
    ASSERT_TRUE(startSystemd(processes, calls));
    const QUuid id = start({DockItem::makeDocklet(DockletKind::clock, QStringLiteral("Clock")),
                            DockItem::makeApplication(terminalEntry(), fileSystem)});
    processes.start(QStringLiteral("xterm"), {"-name", "users-application"});
    const QString users = Session::waitForWindow(QStringLiteral("^users-application$"));
    ASSERT_FALSE(users.isEmpty());
    xdotool({"windowactivate", "--sync", users});
    const QString before = Session::activeWindow();
    ASSERT_EQ(before, QStringLiteral("0x%1").arg(users.toULongLong(), 0, 16));
    clickAt(tileOnScreen(id, 0));
    EXPECT_EQ(Session::activeWindow().toStdString(), before.toStdString());

    const auto terminals = [] { return Session::visibleWindows(u"^moorline-test-term$"_qs); };
    clickAt(tileOnScreen(id, 1));
    ASSERT_TRUE(Session::waitUntil([&] { return terminals().size() == 1; }, 10s));
    const QString launched = terminals().first();
    const QString launchedId = QStringLiteral("0x%1").arg(launched.toULongLong(), 0, 16);
    const int pid =
        Session::run(QStringLiteral("xdotool"), {"getwindowpid", launched}).out.trimmed().toInt();
    ASSERT_GT(pid, 0);
    // Its own scope, named after the escaped desktop id, with its pid; its own startup id.
    QByteArray log;
    EXPECT_TRUE(Session::waitUntil(
        [&] { return (log = Session::readFile(calls)).contains("StartTransientUnit"); }, 10s));
    static const QRegularExpression scope(
        uR"(StartTransientUnit "app-moorline-moorline\\x2dtest\\x2dterm-[0-9a-f]+\.scope" "fail" .*PIDs.*UInt32\((\d+)\))"_qs);
    EXPECT_EQ(scope.match(QString::fromUtf8(log)).captured(1).toInt(), pid) << log.constData();
    const QByteArray environment =
        Session::readFile(u"/proc/"_qs + QString::number(pid) + u"/environ"_qs);
    static const QRegularExpression startupId(
        uR"(\x00DESKTOP_STARTUP_ID=moorline/moorline-test-term/\d+-\d+-[^\x00]*_TIME\d+\x00)"_qs);
    EXPECT_TRUE(startupId.match(QString::fromUtf8(environment)).hasMatch());
    // Known to be running (its dot drawn), then sent behind the user's window.
    EXPECT_TRUE(Session::waitUntil([&] { return launcher.isRunning(terminalEntry()); }));
    xdotool({"windowactivate", "--sync", users});
    EXPECT_TRUE(Session::waitUntil([&] { return Session::activeWindow() == before; }));
    pause(300ms);

    clickAt(tileOnScreen(id, 1));
    EXPECT_TRUE(Session::waitUntil([&] { return Session::activeWindow() == launchedId; }))
        << Session::activeWindow().toStdString() << " instead of " << launchedId.toStdString();
    pause(1s);
    EXPECT_EQ(terminals().size(), 1) << "brought forward, not started again";
    EXPECT_EQ(Session::readFile(calls).count("StartTransientUnit"), 1);
    ::kill(pid, SIGTERM);
}

// With no systemd on the bus, as here, the launch goes ahead all the same.
TEST_F(ItemsDockTest, AnEntrysActionRunsFromTheTilesMenu) {
    const QString marker = QDir::homePath() + u"/action-ran"_qs;
    QFile::remove(marker);
    const QUuid id = start({DockItem::makeApplication(terminalEntry(), fileSystem)});
    const QPoint tile = tileOnScreen(id, 0);
    xdotool({"mousemove", QString::number(tile.x()), QString::number(tile.y()), "click", "3"});
    ASSERT_TRUE(Session::waitUntil([] { return OwnPopups::isOpen(); }, 5s)) << "no menu";
    // The entry's action comes first.
    xdotool({"key", "Down", "Return"});
    EXPECT_TRUE(Session::waitUntil([&] { return QFile::exists(marker); }, 10s));
    EXPECT_TRUE(Session::visibleWindows(u"^moorline-test-term$"_qs).isEmpty());
}

TEST_F(ItemsDockTest, ABadgeFromARealSenderShowsOnTheTileAndGoesWithIt) {
    // We own the name senders look for, and a second listener does not take it from us.
    const auto owner = [] {
        return QDBusConnection::sessionBus()
            .interface()
            ->serviceOwner(u"com.canonical.Unity"_qs)
            .value();
    };
    EXPECT_TRUE(Session::waitUntil([&] { return !owner().isEmpty(); }));
    const QString first = owner();
    {
        QDBusConnection other =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"other"_qs);
        QDBusMessage request =
            QDBusMessage::createMethodCall(u"org.freedesktop.DBus"_qs, u"/org/freedesktop/DBus"_qs,
                                           u"org.freedesktop.DBus"_qs, u"RequestName"_qs);
        request << u"com.canonical.Unity"_qs << 4u; // do not queue, as the listener asks
        const QDBusMessage reply = other.call(request);
        EXPECT_EQ(reply.arguments().value(0).toUInt(), 3u) << "exists";
    }
    QDBusConnection::disconnectFromBus(u"other"_qs);
    EXPECT_EQ(owner(), first);
    const QUuid id = start({DockItem::makeApplication(terminalEntry(), fileSystem)});
    DockItemGridView& view = grid(id);
    const QRect icon =
        DockItemTilePainter::iconRect(itemsOf(id)[0], view.cellRect(0), view.gridLayout());
    const auto badgeShown = [&] {
        const QColor c =
            view.viewport()->grab().toImage().pixelColor(icon.topRight() + QPoint(-3, 5));
        return c.red() > 180 && c.green() < 100;
    };
    ASSERT_FALSE(badgeShown());
    QProcess& sender = processes.start(
        u"/usr/bin/python3"_qs,
        {"-c", "import dbus, dbus.lowlevel, time\n"
               "bus = dbus.SessionBus()\n"
               "m = dbus.lowlevel.SignalMessage('/t', 'com.canonical.Unity.LauncherEntry', "
               "'Update')\n"
               "m.append('application://moorline-test-term.desktop', {'count': dbus.Int64(3), "
               "'count-visible': True}, signature='sa{sv}')\n"
               "bus.send_message(m)\nbus.flush()\ntime.sleep(120)\n"});
    EXPECT_TRUE(Session::waitUntil(badgeShown, 10s));
    sender.terminate();
    EXPECT_TRUE(Session::waitUntil([&] { return !badgeShown(); }, 10s));
}

TEST_F(ItemsDockTest, AnAutoHidingDockStaysUnderItsOwnMenu) {
    const QUuid id =
        start({DockItem::makeDocklet(DockletKind::trash, QStringLiteral("Trash"))}, true);
    const QPoint tile = tileOnScreen(id, 0);
    xdotool({"mousemove", QString::number(tile.x()), QString::number(tile.y())});
    xdotool({"click", "3"});
    ASSERT_TRUE(Session::waitUntil([] { return OwnPopups::isOpen(); }));
    // Real motion far from the dock, over the menu and beyond.
    for (int i = 0; i < 5; ++i)
        xdotool({"mousemove_relative", "60", "40"});
    pause(300ms);
    EXPECT_TRUE(mapState(id).contains("IsViewable"));
    xdotool({"key", "Escape"});
    ASSERT_TRUE(Session::waitUntil([] { return !OwnPopups::isOpen(); }));
    xdotool({"mousemove_relative", "5", "5"});
    EXPECT_TRUE(Session::waitUntil([&] { return mapState(id).contains("IsUnMapped"); }));
}

} // namespace
