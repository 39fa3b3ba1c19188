// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuiTestSupport.h"
#include "views/TileDragPayload.h"

#include <QPushButton>
#include <QSignalSpy>

namespace {

class DockTabStripViewTest : public ItemsDockTest {
protected:
    void startWithTabs(const QStringList& names, std::int64_t selected = 0) {
        Dock dock = dockWith({}, {260, 300});
        dock.tabs.clear();
        for (const QString& name : names)
            dock.tabs.push_back(DockTab::make(name));
        dock.selectedTabIndex = selected;
        start(dock);
    }
    DockTabStripView& strip() { return *view->tabStrip(); }
    QUuid tabId(std::size_t index) { return stored().tabs.at(index).id; }
    QStringList names() {
        QStringList list;
        for (const DockTab& tab : stored().tabs)
            list.append(tab.name);
        return list;
    }
    QStringList menuFor(std::size_t index) {
        QMenu* menu = contextMenuAt(&strip(), strip().tabRect(index).center());
        const QStringList texts = menu ? menuTexts(*menu) : QStringList();
        if (menu)
            menu->close();
        return texts;
    }
    void clickTab(std::size_t index) {
        QTest::mouseClick(&strip(), Qt::LeftButton, {}, strip().tabRect(index).center());
        settle();
    }
    void rename(std::size_t index, const QString& text) {
        strip().beginRename(tabId(index));
        strip().renameField()->setText(text);
    }
};

TEST_F(DockTabStripViewTest, PlusAddsASelectedTabToNameAndOverflowingTabsStayReachable) {
    startWithTabs({QStringLiteral("A"), QStringLiteral("B")}, 1);
    EXPECT_FALSE(strip().isOverflowing());
    for (int i = 0; i < 4; ++i) {
        QTest::mouseClick(&strip(), Qt::LeftButton, {}, strip().plusRect().center());
        settle();
        // The new tab is selected, its name open for editing.
        EXPECT_EQ(stored().selectedTabIndex, 2 + i);
        EXPECT_EQ(strip().renamingTabId(), tabId(std::size_t(2 + i)));
        strip().commitRename();
        settle();
    }
    EXPECT_EQ(names(), QStringList({"A", "B", "New Tab", "New Tab", "New Tab", "New Tab"}));
    // More tabs than fit: a button lists them all, and the selected one is in view.
    EXPECT_TRUE(strip().isOverflowing());
    EXPECT_EQ(strip().plusRect().right(), strip().width() - 7);
    const auto inView = [&](std::size_t index) {
        const QRect tab = strip().tabRect(index);
        return tab.left() >= 0 && tab.right() < strip().overflowRect().left();
    };
    EXPECT_TRUE(inView(5));
    QTest::mouseClick(&strip(), Qt::LeftButton, {}, strip().overflowRect().center());
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    EXPECT_EQ(menuTexts(*menu).size(), 6);
    menu->actions().at(0)->trigger();
    menu->close();
    settle();
    EXPECT_EQ(stored().selectedTabIndex, 0);
    EXPECT_TRUE(inView(0));
    // A double-click renames.
    QTest::mouseDClick(&strip(), Qt::LeftButton, {}, strip().tabRect(0).center());
    EXPECT_EQ(strip().renamingTabId(), tabId(0));
}

TEST_F(DockTabStripViewTest, DeletingATabThatHoldsItemsAsksFirstAndEndsARenameOfIt) {
    startWithTabs(
        {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
    store().addItem(DockItem::makeClipping(QStringLiteral("kept")), dockId, 1);
    settle();
    const auto deleteTab = [&](std::size_t index) {
        QMenu* menu = contextMenuAt(&strip(), strip().tabRect(index).center());
        ASSERT_TRUE(menu);
        menuEntry(*menu, QStringLiteral("Delete Tab"))->trigger();
        menu->close();
        settle();
    };
    deleteTab(2); // empty: at once
    EXPECT_EQ(names(), QStringList({"A", "B", "D"}));
    deleteTab(1);
    EXPECT_EQ(names(), QStringList({"A", "B", "D"}));
    auto* confirm = view->findChild<QPushButton*>(QStringLiteral("confirmDelete"));
    ASSERT_TRUE(confirm);
    confirm->click();
    settle();
    EXPECT_EQ(names(), QStringList({"A", "D"}));
    // A rename whose tab goes meanwhile ends without writing anything. (The rename itself finds
    // its tab by id in the dock as it is: the store's renameTab.)
    rename(1, QStringLiteral("Gone"));
    store().removeTab(tabId(1), dockId);
    settle();
    EXPECT_EQ(strip().renamingTabId(), std::nullopt);
    EXPECT_EQ(names(), QStringList({"A"}));
    // The last tab cannot be deleted.
    EXPECT_EQ(menuFor(0), QStringList{"Rename"});
}

TEST_F(DockTabStripViewTest, ARenameStoresTheTextExactlyAsTypedAndAClickSelectsItsTab) {
    startWithTabs({QStringLiteral("A"), QStringLiteral("B")}, 7);
    EXPECT_EQ(menuFor(1), QStringList({"Rename", "Delete Tab"}));
    // With the index out of range the grid shows the first tab, until a click repairs it.
    EXPECT_EQ(DockItemGridView::shownItems(stored()), &stored().tabs[0].items);
    rename(1, QString());
    strip().commitRename();
    settle();
    EXPECT_EQ(names(), QStringList({"A", ""}));
    EXPECT_EQ(strip().renamingTabId(), std::nullopt);
    // The empty button still selects its tab.
    clickTab(1);
    EXPECT_EQ(DockItemGridView::shownItems(stored()), &stored().tabs[1].items);
    EXPECT_EQ(stored().selectedTabIndex, 1);
    rename(0, QStringLiteral("  Work & Play "));
    QTest::keyClick(strip().renameField(), Qt::Key_Return);
    EXPECT_EQ(names(), QStringList({"  Work & Play ", ""}));
    // A second rename drops the first unsaved.
    rename(0, QStringLiteral("typed"));
    strip().beginRename(tabId(1));
    EXPECT_EQ(strip().renameField()->text(), QString());
    strip().commitRename();
    EXPECT_EQ(names(), QStringList({"  Work & Play ", ""}));
}

TEST_F(DockTabStripViewTest, ThePanelTakesTheKeyboardOnlyWhileTheFieldIsOpen) {
    startWithTabs({QStringLiteral("A"), QStringLiteral("B")});
    fakes->runningApplications.current.frontmost =
        FakeRunningApplications::make(QStringLiteral("editor"), QStringLiteral("Editor"), 42);
    fakes->runningApplications.notifyChange();
    settle();
    QSignalSpy focus(view.get(), &DockContentView::acceptsFocusChanged);
    rename(0, QStringLiteral("x"));
    strip().beginRename(tabId(1)); // still one request
    ASSERT_EQ(focus.count(), 1);
    EXPECT_TRUE(focus.at(0).at(0).toBool());
    strip().commitRename();
    ASSERT_EQ(focus.count(), 2);
    EXPECT_FALSE(focus.at(1).at(0).toBool());
    // The keyboard goes back to the application that had it.
    EXPECT_TRUE(fakes->runningApplications.requests.contains(QStringLiteral("activate editor")));
    // A field closed by a change of style gives the keyboard back too.
    rename(0, QStringLiteral("y"));
    store().mutateDock(dockId, [](Dock& d) { d.style = DockStyle::bar; });
    settle();
    ASSERT_EQ(focus.count(), 4);
    EXPECT_FALSE(focus.at(3).at(0).toBool());
    EXPECT_EQ(names(), QStringList({"A", "B"}));
}

TEST_F(DockTabStripViewTest, ADragHeldOverATabSelectsItAndATileDroppedThereGoesToItsEnd) {
    startWithTabs({QStringLiteral("A"), QStringLiteral("B")});
    store().insertItems(files(2), dockId, tabId(0), 0);
    store().insertItems(files(1), dockId, tabId(1), 0);
    settle();
    const DockItem dragged = stored().tabs[0].items[0];
    const std::unique_ptr<QMimeData> data(TileDragPayload::make(dragged, dockId, tabId(0)));
    const QPoint over = strip().tabRect(1).center();
    QDragEnterEvent enter(over, Qt::CopyAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(&strip(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(strip().dragHoverTabId(), tabId(1));
    fakes->scheduler.advance(DockTabStripView::holdToSelect - std::chrono::milliseconds(1));
    EXPECT_EQ(stored().selectedTabIndex, 0);
    fakes->scheduler.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(stored().selectedTabIndex, 1);
    QDropEvent dropped(QPointF(over), Qt::CopyAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(&strip(), &dropped);
    EXPECT_TRUE(dropped.isAccepted());
    EXPECT_EQ(stored().tabs[0].items.size(), 1u);
    ASSERT_EQ(stored().tabs[1].items.size(), 2u);
    EXPECT_EQ(stored().tabs[1].items[1].id, dragged.id);
    EXPECT_FALSE(strip().dragHoverTabId());
}

} // namespace
