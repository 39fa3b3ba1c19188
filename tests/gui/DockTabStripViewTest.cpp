// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuiTestSupport.h"
#include "views/TileDragPayload.h"

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

TEST_F(DockTabStripViewTest, PlusAddsTabsAtTheEndAndKeepsTheSelection) {
    startWithTabs({QStringLiteral("A"), QStringLiteral("B")}, 1);
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(&strip(), Qt::LeftButton, {}, strip().plusRect().center());
        settle();
    }
    EXPECT_EQ(names(), QStringList({"A", "B", "New Tab", "New Tab", "New Tab"}));
    EXPECT_EQ(stored().selectedTabIndex, 1);
    // Many tabs scroll under the button; it stays at the trailing end.
    EXPECT_EQ(strip().plusRect().right(), strip().width() - 7);
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

TEST_F(DockTabStripViewTest, ARenameWhoseTabWentMeanwhileEndsWithoutWritingAnything) {
    // (The rename itself finds its tab by id in the dock as it is: the store's renameTab.)
    startWithTabs({QStringLiteral("B"), QStringLiteral("Renamed")});
    rename(0, QStringLiteral("Gone"));
    const QUuid doomed = tabId(0);
    store().removeTab(doomed, dockId);
    settle();
    EXPECT_EQ(strip().renamingTabId(), std::nullopt);
    EXPECT_EQ(names(), QStringList({"Renamed"}));
    // The last tab cannot be deleted.
    EXPECT_EQ(menuFor(0), QStringList{"Rename"});
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
