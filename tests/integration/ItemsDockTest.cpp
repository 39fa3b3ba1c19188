// SPDX-License-Identifier: GPL-3.0-or-later
// An items dock on a real X server with Openbox: real XDND drags from a second X client onto the
// grid and onto the trash, tiles dragged with the real pointer within a dock, onto another dock,
// a tab and the clippings tray, and out to another X client; clicks that launch an application or
// bring it forward and leave the keyboard with the user's application, an entry's action from the
// real menu, a badge from a real sender on the session bus.
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
#include "views/DockTabStripView.h"
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
    // The program starts watching the desktop's windows and the badges once its panels are drawn.
    void SetUp() override {
        runningApps.start();
        badgeUpdates.listen();
    }
    ~ItemsDockTest() override {
        manager.reset();
        QCoreApplication::processEvents();
    }

    // A dock with Qt's top-left corner at `left`, 100 on the 1280 x 800 screen.
    static Dock dockAt(int left, std::vector<DockItem> items, DockKind kind = DockKind::items) {
        Dock dock = Dock::makeDefault(kind, QStringLiteral("Items"));
        dock.position = {double(left), 300, 240, 400};
        dock.tabs.front().items = std::move(items);
        return dock;
    }
    QUuid start(std::vector<DockItem> items, bool autoHide = false) {
        Dock dock = dockAt(100, std::move(items));
        dock.autoHide = autoHide;
        startDocks({dock});
        return dock.id;
    }
    void startDocks(const std::vector<Dock>& docks) {
        DockStoreTesting::setDocks(fakes.store, docks);
        DockWindowDependencies dependencies =
            fakes.windowDependencies(panelFactory, screens, pointerMonitor);
        dependencies.isOwnPopupOpen = &OwnPopups::isOpen;
        manager = std::make_unique<DockWindowsManager>(dependencies);
        for (const Dock& dock : docks)
            EXPECT_TRUE(
                Session::waitUntil([&] { return mapState(dock.id).contains("IsViewable"); }));
        pause(200ms);
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
    const std::vector<DockItem>& itemsOf(const QUuid& id, std::size_t tab = 0) const {
        return fakes.store.dock(id)->tabs[tab].items;
    }
    QString namesIn(const QUuid& id, std::size_t tab = 0) const {
        QStringList names;
        for (const DockItem& item : itemsOf(id, tab))
            names.append(item.name);
        return names.join(u' ');
    }

    // Presses on `from` and lets go on `to` with the real pointer, moving in steps so that the
    // drag sees its enters and positions, and stopping a while at `to`. xdotool goes on by itself
    // while our own drag's loop runs: it waits in our process for the drop.
    void dragTile(QPoint from, QPoint to, double holdSeconds = 0.2) {
        QString chain =
            QStringLiteral("mousemove %1 %2 sleep 0.2 mousedown 1").arg(from.x()).arg(from.y());
        for (int i = 1; i <= 12; ++i) {
            const QPoint at = from + (to - from) * i / 12;
            chain += QStringLiteral(" sleep 0.05 mousemove %1 %2").arg(at.x()).arg(at.y());
        }
        chain += QStringLiteral(" sleep %1 mousemove %2 %3 sleep 0.2 mouseup 1")
                     .arg(holdSeconds)
                     .arg(to.x() + 1)
                     .arg(to.y() + 1);
        QProcess& xdotool = processes.start(QStringLiteral("xdotool"), chain.split(u' '));
        EXPECT_TRUE(
            Session::waitUntil([&] { return xdotool.state() == QProcess::NotRunning; }, 20s));
        pause(300ms);
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
    DockItemActions itemActions{{fakes.store, desktop, fakes.clipboard, launcher,
                                 fakes.imageChooser, fileSystem, trash, fakes.defaultApplications}};
    X11WindowHints hints;
    DockPanelWindowFactory panelFactory{hints,
                                        {fakes.store, fakes.scheduler, runningApps, fileSystem,
                                         fakes.fileIcons, fakes.iconCache, fakes.docklets,
                                         itemActions, launcher, badges, trash}};
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

TEST_F(ItemsDockTest, TilesDraggedWithThePointerMoveWithinADockAndToAnotherDockOrTab) {
    const QString home = QDir::homePath();
    std::vector<DockItem> files;
    for (const QString& name : {u"a.txt"_qs, u"b.txt"_qs, u"c.txt"_qs}) {
        ASSERT_TRUE(Session::writeFile(home + u'/' + name, "x"));
        files.push_back(DockItem::makeFileOrFolder(home + u'/' + name, fileSystem));
    }
    Dock first = dockAt(100, files);
    first.tabs.push_back(DockTab::make(QStringLiteral("Second")));
    const Dock second = dockAt(400, {});
    startDocks({first, second});
    const QUuid id = first.id;
    DockItemGridView& view = grid(id);

    // Below the last tile: the end.
    dragTile(tileOnScreen(id, 0), view.viewport()->mapToGlobal(QPoint(120, 320)));
    EXPECT_EQ(namesIn(id), u"b.txt c.txt a.txt"_qs);
    // Onto another dock: moved there.
    dragTile(tileOnScreen(id, 0), grid(second.id).viewport()->mapToGlobal(QPoint(120, 100)));
    EXPECT_EQ(namesIn(id), u"c.txt a.txt"_qs);
    EXPECT_EQ(namesIn(second.id), u"b.txt"_qs);
    // Onto the strip's other tab, held there: selected, and the tile goes to its end.
    DockTabStripView& strip = *panel(id)->findChild<DockTabStripView*>();
    dragTile(tileOnScreen(id, 0), strip.mapToGlobal(strip.tabRect(1).center()), 0.8);
    EXPECT_EQ(namesIn(id, 0), u"a.txt"_qs);
    EXPECT_EQ(namesIn(id, 1), u"c.txt"_qs);
    EXPECT_EQ(fakes.store.dock(id)->selectedTabIndex, 1);
}

TEST_F(ItemsDockTest, TilesDraggedOutGiveWhatTheyHoldNotTheirIds) {
    const QString file = QDir::homePath() + QStringLiteral("/report.txt");
    ASSERT_TRUE(Session::writeFile(file, "x"));
    DockItem link;
    link.id = QUuid::createUuid();
    link.kind = DockItemKind::url;
    link.name = u"Docs"_qs;
    link.urlString = u"https://example.com/docs"_qs;
    const Dock items = dockAt(100, {DockItem::makeFileOrFolder(file, fileSystem), link,
                                    DockItem::makeClipping(QStringLiteral("kept words"))});
    const Dock tray = dockAt(400, {}, DockKind::clippings);
    startDocks({items, tray});

    // Onto the tray: a copy of the link as a link, of the clipping as a clipping.
    const QPoint trayInside = grid(tray.id).viewport()->mapToGlobal(QPoint(120, 200));
    dragTile(tileOnScreen(items.id, 1), trayInside);
    dragTile(tileOnScreen(items.id, 2), trayInside);
    ASSERT_EQ(itemsOf(tray.id).size(), 2u);
    EXPECT_EQ(itemsOf(tray.id)[0].kind, DockItemKind::url);
    EXPECT_EQ(itemsOf(tray.id)[0].urlString, link.urlString);
    EXPECT_EQ(itemsOf(tray.id)[1].textContent, QStringLiteral("kept words"));
    EXPECT_NE(itemsOf(tray.id)[0].id, link.id);
    EXPECT_EQ(itemsOf(items.id).size(), 3u);

    // Onto another program: the file, and a clipping's text.
    for (const auto& [index, wanted] :
         {std::pair{0, "uris " + QUrl::fromLocalFile(file).toEncoded()},
          std::pair{2, QByteArray("text kept words")}}) {
        QProcess& receiver = processes.start(
            QStringLiteral(MOORLINE_BINARY_DIR "/moorline-drag-source"),
            {"--receive", "1", "--at", "800,100"}, QProcessEnvironment::systemEnvironment(), false);
        ASSERT_TRUE(Session::waitUntil([&] { return receiver.canReadLine(); }, 10s));
        receiver.readLine(); // "ready"
        pause(300ms);
        dragTile(tileOnScreen(items.id, index), QPoint(860, 140));
        ASSERT_TRUE(
            Session::waitUntil([&] { return receiver.state() == QProcess::NotRunning; }, 10s));
        const QByteArray said = receiver.readAllStandardOutput();
        EXPECT_TRUE(said.contains(wanted)) << said.toStdString();
    }
    // Let go outside every dock, the tiles stay where they were.
    EXPECT_EQ(itemsOf(items.id).size(), 3u);
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
