#include "views/MenuBarView.h"
#include "fakes/FakeDefaultApplications.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/VirtualScheduler.h"
#include "models/DockCodec.h"
#include "store/DockStore.h"

#include <QCoreApplication>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

class MenuBarViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs.addFile(QStringLiteral("/data/docks.json"), "[]");
        store = std::make_unique<DockStore>(
            DockStore::Dependencies{fs, clock, apps, QStringLiteral("/data")});
    }
    // Titles of the menu's entries, separators as "-", submenus as "title>".
    QStringList entries() {
        QCoreApplication::processEvents(); // the menu follows the store on the next pass
        QStringList titles;
        for (QAction* action : view->menu()->actions())
            titles << (action->isSeparator() ? QStringLiteral("-")
                       : action->menu()      ? action->text() + QLatin1Char('>')
                                             : action->text());
        return titles;
    }
    QAction* entry(const QString& title) {
        for (QAction* action : view->menu()->actions())
            if (action->text() == title)
                return action;
        return nullptr;
    }

    FakeFileSystem fs;
    VirtualScheduler clock;
    FakeDefaultApplications apps;
    std::unique_ptr<DockStore> store;
    std::unique_ptr<MenuBarView> view;
};

} // namespace

TEST_F(MenuBarViewTest, WithNoDocksShowsOnlyTheFixedEntries) {
    view = std::make_unique<MenuBarView>(*store);
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("-"), QStringLiteral("New Dock>"),
                                      QStringLiteral("Preferences\u2026"), QStringLiteral("-"),
                                      QStringLiteral("Quit Moorline")}));
    QStringList kinds;
    for (QAction* action : entry(QStringLiteral("New Dock"))->menu()->actions())
        kinds << action->text();
    EXPECT_EQ(kinds,
              (QStringList{QStringLiteral("Launcher Dock"), QStringLiteral("Application Dock"),
                           QStringLiteral("Clippings Dock")}));
}

TEST_F(MenuBarViewTest, NewDockAddsADockOfThatKindAndTheMenuFollows) {
    view = std::make_unique<MenuBarView>(*store);
    entry(QStringLiteral("New Dock"))->menu()->actions().at(1)->trigger();
    ASSERT_EQ(store->docks->size(), 1u);
    EXPECT_EQ(store->docks->front().kind, DockKind::applicationSwitcher);
    EXPECT_EQ(entries().first(), QStringLiteral("Application Dock"));
    EXPECT_TRUE(entry(QStringLiteral("Application Dock"))->isChecked());
}

TEST_F(MenuBarViewTest, UntickingADockHidesItInPlaceAndSchedulesASave) {
    store->addDock(DockKind::items);
    store->addDock(DockKind::clippings);
    clock.advance(std::chrono::seconds(1));
    const int writes = fs.writeCount;
    view = std::make_unique<MenuBarView>(*store);
    QAction* toggle = entry(QStringLiteral("Clippings Dock"));
    ASSERT_TRUE(toggle && toggle->isCheckable() && toggle->isChecked());
    toggle->trigger();
    EXPECT_FALSE((*store->docks)[1].isVisible);
    EXPECT_TRUE((*store->docks)[0].isVisible);
    EXPECT_TRUE(store->isSavePending());
    clock.advance(std::chrono::seconds(1));
    EXPECT_EQ(fs.writeCount, writes + 1);
    EXPECT_FALSE(entry(QStringLiteral("Clippings Dock"))->isChecked());
    EXPECT_EQ(entries().size(), 7);
}

TEST_F(MenuBarViewTest, AToggleForADockRemovedMeanwhileDoesNothing) {
    store->addDock(DockKind::items);
    view = std::make_unique<MenuBarView>(*store);
    QAction* toggle = entry(QStringLiteral("New Dock"));
    const QUuid id = store->docks->front().id;
    // The store changes; the menu has not been rebuilt yet (no event processed).
    store->removeDock(id);
    toggle->trigger();
    EXPECT_TRUE(store->docks->empty());
    EXPECT_FALSE(store->indexOf(id));
}

TEST_F(MenuBarViewTest, AnAmpersandInADocksNameIsShownAsItself) {
    store->addDock(DockKind::items);
    store->mutateDock(store->docks->front().id,
                      [](Dock& dock) { dock.name = QStringLiteral("Work & Play"); });
    view = std::make_unique<MenuBarView>(*store);
    const QString text = entries().first();
    EXPECT_EQ(text, QStringLiteral("Work && Play"));
    EXPECT_TRUE(QKeySequence::mnemonic(text).isEmpty());
}
