// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/TrayMenu.h"
#include "GuiTestSupport.h"
#include "fakes/FakeNotifications.h"

#include <QPointer>

namespace {

struct TrayMenuTest : SettingsFixture {
    TrayMenu& open() {
        view = std::make_unique<TrayMenu>(fakes.store, fakes.scheduler, notifications);
        return *view;
    }
    QStringList entries() {
        fakes.scheduler.runPending(); // the menu follows the store on the next pass
        return menuTexts(*view->menu());
    }
    QAction* entry(const QString& title) { return menuEntry(*view->menu(), title); }
    const std::vector<Dock>& docks() { return *fakes.store.docks; }

    FakeNotifications notifications;
    std::unique_ptr<TrayMenu> view;
};

} // namespace

TEST_F(TrayMenuTest, NewDockAddsADockOfThatKindAndTheMenuFollows) {
    open();
    EXPECT_EQ(entries(),
              (QStringList{"-", "New Dock>", "Preferences\u2026", "-", "Quit Moorline"}));
    QMenu* kinds = entry(QStringLiteral("New Dock"))->menu();
    EXPECT_EQ(menuTexts(*kinds),
              (QStringList{"Launcher Dock", "Application Dock", "Clippings Dock"}));
    kinds->actions().at(1)->trigger();
    ASSERT_EQ(docks().size(), 1u);
    EXPECT_EQ(docks().front().kind, DockKind::applicationSwitcher);
    EXPECT_EQ(entries().first(), QStringLiteral("Application Dock"));
    EXPECT_TRUE(entry(QStringLiteral("Application Dock"))->isChecked());
    // An ampersand in a dock's name is shown as itself, never as a mnemonic.
    fakes.store.mutateDock(docks().front().id,
                           [](Dock& dock) { dock.name = QStringLiteral("Work & Play"); });
    const QString text = entries().first();
    EXPECT_EQ(text, QStringLiteral("Work && Play"));
    EXPECT_TRUE(QKeySequence::mnemonic(text).isEmpty());
    // A dock's chord shows as the desktop writes it (control and option with D); the stored codes
    // stay as they are.
    fakes.store.mutateDock(docks().front().id, [](Dock& dock) { dock.hotKey = {2, 0x1800}; });
    EXPECT_EQ(entries().first(), QStringLiteral("Work && Play\tCtrl+Alt+D"));
    EXPECT_EQ(docks().front().hotKey, (HotKeyBinding{2, 0x1800}));
}

TEST_F(TrayMenuTest, UntickingADockHidesItInPlaceAndSchedulesASave) {
    fakes.store.addDock(DockKind::items);
    fakes.store.addDock(DockKind::clippings);
    writesAfterDelay();
    open();
    QPointer<QAction> toggle = entry(QStringLiteral("Clippings Dock"));
    ASSERT_TRUE(toggle && toggle->isCheckable() && toggle->isChecked());
    // What the menu does not show leaves it as it is.
    fakes.store.mutateDock(docks()[1].id, [](Dock& d) {
        d.appearance.opacity = 0.5;
        d.position.x += 10;
        d.autoHide = true;
    });
    fakes.store.addItem(DockItem::makeClipping(QStringLiteral("x")), docks()[1].id);
    entries();
    ASSERT_TRUE(toggle);
    toggle->trigger();
    EXPECT_FALSE(docks()[1].isVisible);
    EXPECT_TRUE(docks()[0].isVisible);
    EXPECT_EQ(writesAfterDelay(), 1);
    EXPECT_EQ(entries().size(), 7);
    EXPECT_FALSE(toggle); // rebuilt
    EXPECT_FALSE(entry(QStringLiteral("Clippings Dock"))->isChecked());
}

TEST_F(TrayMenuTest, AToggleForADockRemovedMeanwhileDoesNothing) {
    fakes.store.addDock(DockKind::items);
    open();
    QAction* toggle = entry(QStringLiteral("New Dock"));
    // The store changes; the menu has not been rebuilt yet (no event processed).
    fakes.store.removeDock(docks().front().id);
    toggle->trigger();
    EXPECT_TRUE(docks().empty());
}
