// SPDX-License-Identifier: GPL-3.0-or-later
// The application switcher and the clippings tray on a real X server: xterms and xclock as tiles
// of the real EWMH monitor, activated and closed through the view; a real XDND text drag from a
// second X client onto the tray; a clipping copied to the real clipboard.
#include "backends/desktop/QtClipboard.h"
#include "backends/x11/EwmhRunningApplications.h"
#include "fakes/FakeServices.h"
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"
#include "platform/QtScheduler.h"
#include "views/ClippingsDockView.h"
#include "views/DockContentView.h"
#include "views/DockItemGridView.h"
#include "views/ProcessDockView.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

class SwitcherAndTrayTest : public ::testing::Test {
protected:
    void SetUp() override { monitor.start(); }
    ~SwitcherAndTrayTest() override { view.reset(); }

    void show(DockKind kind) {
        const Dock dock = Dock::makeDefault(kind, QStringLiteral("Dock"));
        dockId = dock.id;
        DockStoreTesting::setDocks(fakes.store, {dock});
        view = std::make_unique<DockContentView>(dockId, services);
        view->setGeometry(100, 100, 400, 300);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        Session::pause(300ms);
    }
    std::optional<ProcessDockView::Tile> tileOf(const QProcess& process) const {
        for (const RunningApplication& app : *monitor.apps)
            if (app.processIdentifier == process.processId())
                for (const auto& tile : view->processes()->tiles())
                    if (tile.key == app.key)
                        return tile;
        return std::nullopt;
    }
    bool isFrontmost(const QProcess& process) const {
        return monitor.frontmostApp->has_value() &&
               (*monitor.frontmostApp)->processIdentifier == process.processId();
    }

    FakeServicesOn<QtScheduler> fakes;
    EwmhRunningApplications source;
    RunningAppsMonitor monitor{source, fakes.desktop, fakes.scheduler};
    QtClipboard clipboard;
    // The real running applications and clipboard.
    DockItemActions itemActions{{fakes.store, fakes.desktop, clipboard, fakes.launcher,
                                 fakes.imageChooser, fakes.fileSystem, fakes.trash,
                                 fakes.defaultApplications}};
    DockContentView::Services services{fakes.store,      fakes.scheduler, monitor,
                                       fakes.fileSystem, fakes.fileIcons, fakes.iconCache,
                                       fakes.docklets,   itemActions,     fakes.launcher,
                                       fakes.badges,     fakes.trash};
    QUuid dockId;
    std::unique_ptr<DockContentView> view;
    Session::ChildProcesses processes;
};

TEST_F(SwitcherAndTrayTest, XtermsAreTilesAClickActivatesAndQuitClosesPolitely) {
    show(DockKind::applicationSwitcher);
    QProcess& first = processes.start(u"xterm"_qs, {u"-e"_qs, u"sleep"_qs, u"600"_qs});
    QProcess& second = processes.start(u"xterm"_qs, {u"-e"_qs, u"sleep"_qs, u"600"_qs});
    const QProcess& clock = processes.start(u"xclock"_qs);
    ASSERT_TRUE(
        Session::waitUntil([&] { return tileOf(first) && tileOf(second) && tileOf(clock); }, 10s));
    // Both may be in front by now; the one not in front is the one to click.
    QProcess& back = isFrontmost(first) ? second : first;
    ASSERT_TRUE(Session::waitUntil([&] { return !isFrontmost(back); }));
    QTest::mouseClick(view->processes()->viewport(), Qt::LeftButton, {},
                      tileOf(back)->rect.center());
    ASSERT_TRUE(Session::waitUntil([&] { return isFrontmost(back); }));
    EXPECT_TRUE(Session::waitUntil([&] { return tileOf(back)->frontmost; }));

    // xterm runs its command only once mapped; a close before that is lost.
    Session::pause(500ms);
    const QPoint at = tileOf(back)->rect.center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at,
                            view->processes()->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(view->processes()->viewport(), &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    menu->actions().last()->trigger();
    menu->close();
    ASSERT_TRUE(back.waitForFinished(10000));
    EXPECT_EQ(back.exitStatus(), QProcess::NormalExit);
}

TEST_F(SwitcherAndTrayTest, DraggedTextBecomesAClippingAndAClickCopiesItExactly) {
    show(DockKind::clippings);
    const QString data = QDir::homePath() + QStringLiteral("/dragged-text.txt");
    ASSERT_TRUE(Session::writeFile(data, "mine"));
    const QString text = QStringLiteral("  Grüße aus Köln\nzweite Zeile ");
    DockItemGridView& grid = *view->clippings()->grid();
    EXPECT_EQ(Session::dragFromSource(processes, {"--text", text, "--data", data},
                                      grid.viewport()->mapToGlobal(QPoint(200, 150))),
              QStringLiteral("copy"));
    EXPECT_TRUE(QFile::exists(data));
    const auto& items = fakes.store.dock(dockId)->tabs.front().items;
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items.front().textContent, text);

    // Over something older on the clipboard, which the clipping replaces whole.
    clipboard.setText(QStringLiteral("something older"));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.cellRect(0).center());
    EXPECT_EQ(QString::fromUtf8(Session::readClipboard()), text);
}

} // namespace
