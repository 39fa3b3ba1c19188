// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/SettingsWindow.h"
#include "gui/GuiTestSupport.h"
#include "views/DockEditorView.h"
#include "views/GeneralSettingsView.h"
#include "views/PreferencesView.h"
#include "views/TintColorButton.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace {

struct SettingsWindowTest : SettingsFixture {
    SettingsWindow& open() {
        window = std::make_unique<SettingsWindow>(fakes.preferencesServices(),
                                                  fakes.windowActivation, fakes.windowHints);
        window->present({});
        settle();
        return *window;
    }
    PreferencesView& preferences() { return window->preferences(); }
    // The sidebar's rows; the selected one marked with "*".
    QStringList rows() {
        QStringList texts;
        QListWidget* list = preferences().sidebar();
        for (int i = 0; i < list->count(); ++i)
            texts << (list->item(i)->isSelected() ? QStringLiteral("*") : QString()) +
                         list->item(i)->text();
        return texts;
    }
    QCheckBox* loginSwitch() { return preferences().generalPage()->launchAtLoginSwitch(); }

    std::unique_ptr<SettingsWindow> window;
};

} // namespace

TEST_F(SettingsWindowTest, TheGeneralPageShowsWhyTheDocksCannotBeSavedUntilASaveWorks) {
    open();
    QLabel* problem = preferences().generalPage()->saveProblemLabel();
    EXPECT_FALSE(problem->isVisibleTo(window.get()));
    fakes.fileSystem.failWrites = true;
    fakes.store.addDock(DockKind::items);
    fakes.scheduler.advance(std::chrono::seconds(1));
    EXPECT_TRUE(problem->isVisibleTo(window.get()));
    EXPECT_TRUE(problem->text().contains(u"No space left on device"_qs))
        << qPrintable(problem->text());
    fakes.fileSystem.failWrites = false;
    fakes.scheduler.advance(std::chrono::seconds(60)); // the retry works
    EXPECT_FALSE(problem->isVisibleTo(window.get()));
}

// Coming forward for a second launch, with its startup token, is in SettingsLaunchTest.
TEST_F(SettingsWindowTest, OpensLargeOnTheGeneralPageAndTheSidebarFollowsTheStore) {
    open();
    EXPECT_TRUE(window->isVisible() && window->isWindow());
    EXPECT_GE(window->width(), 720);
    EXPECT_GE(window->height(), 480);
    EXPECT_EQ(rows(), (QStringList{"General", "*General", "Docks"}));
    EXPECT_EQ(preferences().editor(), nullptr);
    EXPECT_TRUE(preferences().generalPage()->isVisible());

    QMenu* menu = preferences().addButton()->menu();
    EXPECT_EQ(menuTexts(*menu),
              (QStringList{"Launcher Dock", "Application Dock", "Clippings Dock"}));
    menu->actions()[0]->trigger();
    menu->actions()[2]->trigger();
    settle();
    // Added, not selected.
    EXPECT_EQ(rows(), (QStringList{"General", "*General", "Docks", "New Dock", "Clippings Dock"}));

    preferences().select(stored(1).id);
    fakes.store.mutateDock(stored(1).id, [](Dock& d) { d.name = QStringLiteral("Renamed"); });
    fakes.store.addDock(DockKind::items);
    settle();
    EXPECT_EQ(rows(),
              (QStringList{"General", "General", "Docks", "New Dock", "*Renamed", "New Dock"}));
    ASSERT_TRUE(preferences().editor());
    EXPECT_EQ(preferences().editor()->dockId(), stored(1).id);
}

TEST_F(SettingsWindowTest, DeletingTheSelectedDockShowsTheGeneralPageWithNoRowSelected) {
    // From the editor's own button, and from elsewhere (the tray, the file) with the colour
    // dialog open.
    for (const bool inEditor : {true, false}) {
        SCOPED_TRACE(inEditor);
        DockStoreTesting::setDocks(fakes.store, {Dock::makeDefault(DockKind::items, "New Dock"),
                                                 Dock::makeDefault(DockKind::clippings, "Clips")});
        open();
        preferences().select(stored(0).id);
        ASSERT_TRUE(preferences().editor());
        auto* tint = preferences().editor()->findChild<TintColorButton*>(QStringLiteral("tint"));
        tint->click();
        const QPointer<QColorDialog> dialog = tint->dialog();
        if (inEditor) {
            preferences().editor()->findChild<QPushButton*>(QStringLiteral("deleteDock"))->click();
            window->findChild<QPushButton*>(QStringLiteral("confirmDelete"))->click();
        } else
            fakes.store.removeDock(stored(0).id);
        settle();
        EXPECT_EQ(rows(), (QStringList{"General", "General", "Docks", "Clips"}));
        EXPECT_EQ(preferences().editor(), nullptr);
        EXPECT_TRUE(preferences().generalPage()->isVisible());
        EXPECT_TRUE(!dialog || !dialog->isVisible());
    }
}

TEST_F(SettingsWindowTest, TheLoginSwitchShowsWhatIsTrueAfterEveryChangeAndEveryShow) {
    struct Case {
        const char* name;
        AutostartStatus before;
        std::optional<QString> failure;
        bool shownAfterClick;
    };
    const Case cases[] = {
        {"on", AutostartStatus::notRegistered, std::nullopt, true},
        {"on, refused", AutostartStatus::notRegistered, QStringLiteral("Read-only"), false},
        {"off", AutostartStatus::enabled, std::nullopt, false},
        {"off, refused", AutostartStatus::enabled, QStringLiteral("Read-only"), true},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes.autostart.currentStatus = c.before;
        fakes.autostart.failure = c.failure;
        fakes.systemLog.lines.clear();
        window->close();
        window->present({});
        ASSERT_EQ(loginSwitch()->isChecked(), c.before == AutostartStatus::enabled);
        loginSwitch()->click();
        EXPECT_EQ(loginSwitch()->isChecked(), c.shownAfterClick);
        EXPECT_EQ(fakes.systemLog.lines,
                  c.failure
                      ? QStringList{"LaunchAtLogin: failed to update registration: " + *c.failure}
                      : QStringList{});
    }
}

TEST(SettingsWindowPlacement, CentredOnTheScreenAndWhollyOnItLeavingRoomForTheFrame) {
    struct Case {
        QSize size;
        QRect available;
        QRect placed;
    };
    const Case cases[] = {
        {{800, 600}, {0, 0, 1920, 1080}, {560, 256, 800, 600}},
        {{800, 600}, {1920, 0, 1280, 1024}, {2160, 228, 800, 600}},
        // A screen smaller than the window: as large as fits inside the frame's allowance.
        {{900, 700}, {0, 0, 800, 600}, {8, 40, 784, 552}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SettingsWindow::placement(c.size, c.available), c.placed) << c.available.x();
}
