// SPDX-License-Identifier: GPL-3.0-or-later
// A dock with the keyboard in it, and the tree a screen reader reads of it: made only when one
// asks, and right across store changes.
#include "GuiTestSupport.h"
#include "views/DockGridTiles.h"

#include <QAccessible>
#include <QSignalSpy>

namespace {

DockItem file(int n) {
    DockItem item = ItemsDockTest::item(DockItemKind::file, QStringLiteral("File %1").arg(n));
    item.path = QStringLiteral("/files/%1").arg(n);
    return item;
}

Dock tabbedDock(int items) {
    Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Keys"));
    dock.columns = 2;
    for (int i = 0; i < items; ++i)
        dock.tabs.front().items.push_back(file(i));
    dock.tabs.push_back(DockTab::make(QStringLiteral("Second")));
    return dock;
}

struct DockKeyboardTest : ::testing::Test {
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
        fakes.scheduler.runPending();
    }
    void show() {
        view.resize(220, 400);
        view.show();
        fakes.scheduler.runPending();
    }

    Dock dock = tabbedDock(5);
    FakeServices fakes{{dock}};
    DockContentView view{dock.id, fakes.contentServices()};
};

TEST_F(DockKeyboardTest, TheKeysWalkOpenSwitchTabsRenameAndGiveTheKeyboardBack) {
    show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.setKeyboardSession(true);
    DockItemGridView* grid = view.grid();
    ASSERT_EQ(QApplication::focusWidget(), grid);
    EXPECT_EQ(grid->currentIndex(), 0);
    press(Qt::Key_Down);
    press(Qt::Key_Right);
    EXPECT_EQ(grid->currentIndex(), 3);
    press(Qt::Key_Delete);
    press(Qt::Key_Return);
    EXPECT_EQ(fakes.desktop.requests, QStringList{"openPath /files/3"});
    EXPECT_EQ(fakes.store.dock(dock.id)->tabs.front().items.size(), 5u);

    QSignalSpy returned(&view, &DockContentView::keyboardReturnRequested);
    press(Qt::Key_Escape);
    EXPECT_EQ(returned.size(), 1);
    press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(fakes.store.dock(dock.id)->selectedTabIndex, 1);
    press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(fakes.store.dock(dock.id)->selectedTabIndex, 0);
    press(Qt::Key_F2);
    ASSERT_TRUE(view.tabStrip()->renameField());
    EXPECT_EQ(view.tabStrip()->renamingTabId(), dock.tabs.front().id);
    // The rename done, the keyboard is back on the tiles, where it was.
    press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), grid);
    EXPECT_EQ(grid->currentIndex(), 3);
}

// Offscreen Qt has no bridge to the bus, and Qt 6.4 builds no event where none listens: the test
// is the reader that asks, and checks that its view of the tree stays right.
TEST_F(DockKeyboardTest, NothingIsMadeUntilAReaderAsksAndItsTreeStaysRight) {
    const Dock big = tabbedDock(20000);
    DockStoreTesting::setDocks(fakes.store, {big});
    DockContentView bigView(big.id, fakes.contentServices());
    bigView.resize(220, 400);
    bigView.show();
    fakes.scheduler.runPending();
    DockItemGridView* grid = bigView.grid();
    fakes.store.removeItem(big.tabs.front().items[7].id, big.id);
    fakes.scheduler.runPending();
    EXPECT_EQ(grid->findChild<DockGridTiles*>(), nullptr);

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(grid);
    ASSERT_EQ(list->childCount(), 19999);
    QAccessibleInterface* tile = list->child(9);
    EXPECT_EQ(tile->text(QAccessible::Name), "File 10");
    EXPECT_EQ(tile->text(QAccessible::Description), "/files/10");
    EXPECT_EQ(tile->role(), QAccessible::Button);
    EXPECT_EQ(list->indexOfChild(tile), 9);

    // One tile added before it and it renamed: the known tile is found where it now is.
    fakes.store.insertItems({file(-1)}, big.id, big.tabs.front().id, 2);
    DockItem renamed = big.tabs.front().items[10];
    renamed.name = QStringLiteral("Renamed");
    fakes.store.updateItem(renamed, big.id);
    fakes.scheduler.runPending();
    EXPECT_EQ(list->indexOfChild(tile), 10);
    EXPECT_EQ(tile->text(QAccessible::Name), "Renamed");
    EXPECT_EQ(list->child(2)->text(QAccessible::Name), "File -1");
}

} // namespace
