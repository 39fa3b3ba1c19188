// SPDX-License-Identifier: GPL-3.0-or-later
// An items dock on a real X server with Openbox: real XDND drags from a second X client onto the
// grid and onto the trash, a click that launches an application, and clicks that leave the
// keyboard with the user's application.
#include "backends/desktop/GioDesktop.h"
#include "backends/desktop/GioTrash.h"
#include "backends/linux/LocalFileSystem.h"
#include "backends/x11/QtScreens.h"
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
#include <QDir>
#include <QFile>
#include <QProcess>

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
    // The real desktop, trash and files behind the items.
    DockItemActions itemActions{{fakes.store, desktop, fakes.clipboard, fakes.launchConfirmation,
                                 fakes.imageChooser, fileSystem, trash}};
    X11WindowHints hints;
    DockPanelWindowFactory panelFactory{hints,
                                        {fakes.store, fakes.scheduler, fakes.runningApps,
                                         fileSystem, fakes.fileIcons, fakes.iconCache,
                                         fakes.docklets, itemActions}};
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

TEST_F(ItemsDockTest, AClickLeavesTheKeyboardWithTheUsersApplicationAndLaunchesOneOfItsOwn) {
    const QString entry = QStringLiteral("/usr/share/applications/debian-xterm.desktop");
    ASSERT_TRUE(QFile::exists(entry));
    const QUuid id = start({DockItem::makeDocklet(DockletKind::clock, QStringLiteral("Clock")),
                            DockItem::makeApplication(entry, fileSystem)});
    processes.start(QStringLiteral("xterm"), {"-name", "users-application"});
    const QString users = Session::waitForWindow(QStringLiteral("^users-application$"));
    ASSERT_FALSE(users.isEmpty());
    xdotool({"windowactivate", "--sync", users});
    const QString before = Session::activeWindow();
    ASSERT_EQ(before, QStringLiteral("0x%1").arg(users.toULongLong(), 0, 16));
    clickAt(tileOnScreen(id, 0));
    EXPECT_EQ(Session::activeWindow().toStdString(), before.toStdString());

    const auto terminals = [] { return Session::visibleWindows(QStringLiteral("^xterm$")); };
    const qsizetype running = terminals().size();
    clickAt(tileOnScreen(id, 1));
    QString launched;
    EXPECT_TRUE(Session::waitUntil(
        [&] {
            const QStringList now = terminals();
            launched = now.size() > running ? now.last() : QString();
            return !launched.isEmpty();
        },
        10s));
    if (!launched.isEmpty()) {
        const auto pid = Session::run(QStringLiteral("xdotool"), {"getwindowpid", launched}).out;
        if (pid.trimmed().toInt() > 0)
            ::kill(pid.trimmed().toInt(), SIGTERM);
    }
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
