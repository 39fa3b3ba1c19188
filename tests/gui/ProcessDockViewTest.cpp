// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/ProcessDockView.h"
#include "GuiTestSupport.h"
#include "views/TileDragPayload.h"

#include <QWheelEvent>

namespace {

using Snapshot = RunningApplicationsSource::Snapshot;

RunningApplication app(const QString& key, std::optional<QString> name, std::int32_t pid = -1,
                       ActivationPolicy policy = ActivationPolicy::regular) {
    RunningApplication made = FakeRunningApplications::make(key, std::move(name), pid, policy);
    made.desktopEntryPath = QStringLiteral("/usr/share/applications/%1.desktop").arg(key);
    return made;
}

// Two applications without a pid (as xterm and xclock under some window managers), one with.
std::vector<RunningApplication> threeApps() {
    return {app(QStringLiteral("term"), QStringLiteral("XTerm")),
            app(QStringLiteral("clock"), QStringLiteral("XClock")),
            app(QStringLiteral("edit"), std::nullopt, 42)};
}

class ProcessDockViewTest : public ItemsDockTest {
protected:
    void startSwitcher(Snapshot snapshot, DockOrientation orientation = DockOrientation::horizontal,
                       bool labels = true) {
        Dock dock = Dock::makeDefault(DockKind::applicationSwitcher, QStringLiteral("Apps"));
        dock.orientation = orientation;
        dock.appearance.showLabels = labels;
        dock.position = {100, 100, 400, 400};
        start(std::move(dock));
        publish(std::move(snapshot));
    }
    void publish(Snapshot snapshot) {
        fakes->runningApplications.current = std::move(snapshot);
        fakes->runningApplications.notifyChange();
        settle();
    }
    ProcessDockView& switcher() { return *view->processes(); }
    QStringList shown() {
        QStringList keys;
        for (const auto& tile : switcher().tiles())
            keys << (tile.frontmost ? QStringLiteral("*") : QString()) + tile.key;
        return keys;
    }
    QPoint centreOf(const QString& key) {
        for (const auto& tile : switcher().tiles())
            if (tile.key == key)
                return tile.rect.center();
        return {};
    }
    QMenu* menuOf(const QString& key) {
        return contextMenuAt(switcher().viewport(), centreOf(key));
    }
    QStringList requests() { return fakes->runningApplications.requests + fakes->desktop.requests; }
};

struct ShownCase {
    const char* name;
    std::optional<RunningApplication> frontmost;
    // In order; "*" marks the highlighted tile.
    QStringList expected;
};

TEST_F(ProcessDockViewTest, TilesFollowTheMonitorsOrderAndHighlightTheFrontmostByKey) {
    const std::vector<ShownCase> cases = {
        {"a frontmost without a pid is the only one lit",
         threeApps()[1],
         {"edit", "*clock", "term"}},
        {"the other one without a pid", threeApps()[0], {"edit", "clock", "*term"}},
        {"no frontmost application", std::nullopt, {"edit", "clock", "term"}},
        {"a frontmost that is not regular",
         app(QStringLiteral("panel"), QStringLiteral("Panel"), -1, ActivationPolicy::accessory),
         {"edit", "clock", "term"}},
    };
    for (const ShownCase& c : cases) {
        SCOPED_TRACE(c.name);
        startSwitcher({threeApps(), c.frontmost});
        EXPECT_EQ(shown(), c.expected);
    }
}

TEST_F(ProcessDockViewTest, ARowOrAColumnByOrientationAndAWheelScrollsTheRow) {
    for (const DockOrientation orientation :
         {DockOrientation::horizontal, DockOrientation::vertical}) {
        std::vector<RunningApplication> many;
        for (int i = 0; i < 12; ++i)
            many.push_back(app(QStringLiteral("app%1").arg(i, 2, 10, QChar(u'0')),
                               QStringLiteral("App %1").arg(i, 2, 10, QChar(u'0'))));
        startSwitcher({many, std::nullopt}, orientation);
        const auto tiles = switcher().tiles();
        ASSERT_EQ(tiles.size(), 12u);
        const bool row = orientation == DockOrientation::horizontal;
        EXPECT_EQ(tiles[0].rect.topLeft(),
                  row ? QPoint(10, tiles[0].rect.y()) : QPoint(tiles[0].rect.x(), 10));
        EXPECT_EQ(row ? tiles[1].rect.left() - tiles[0].rect.right() - 1
                      : tiles[1].rect.top() - tiles[0].rect.bottom() - 1,
                  10);
        EXPECT_EQ(row ? tiles[1].rect.y() : tiles[1].rect.x(),
                  row ? tiles[0].rect.y() : tiles[0].rect.x());
        // A plain mouse wheel turns vertically; a row still moves.
        QWheelEvent wheel(QPointF(50, 50), switcher().mapToGlobal(QPointF(50, 50)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(switcher().viewport(), &wheel);
        const QPoint after = switcher().tiles()[0].rect.topLeft();
        EXPECT_LT(row ? after.x() : after.y(), 10);
    }
}

// A click's activation and Quit on real windows are in SwitcherAndTrayTest.
TEST_F(ProcessDockViewTest, TheMenuReachesTheMonitorWithThatApplicationWhileItRuns) {
    startSwitcher({threeApps(), threeApps()[1]});

    const std::pair<QString, QString> entries[] = {
        {"Show", "activate term"},
        {"Hide", "hide term"},
        {"Reveal in File Manager", "reveal file:///usr/share/applications/term.desktop"},
        {"Quit", "terminate term"}};
    for (const auto& [entry, request] : entries) {
        SCOPED_TRACE(entry.toStdString());
        fakes->runningApplications.requests.clear();
        fakes->desktop.requests.clear();
        QMenu* menu = menuOf("term");
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menuTexts(*menu),
                  (QStringList{"Show", "Hide", "Reveal in File Manager", "-", "Quit"}));
        menuEntry(*menu, entry)->trigger();
        menu->close();
        EXPECT_EQ(requests(), QStringList{request});
    }
    // The application ends while the menu is open: its Quit is left alone.
    fakes->runningApplications.requests.clear();
    const QPointer<QMenu> menu = menuOf("term");
    ASSERT_NE(menu, nullptr);
    publish({{threeApps()[1]}, std::nullopt});
    ASSERT_FALSE(menu.isNull());
    menuEntry(*menu, QStringLiteral("Quit"))->trigger();
    menu->close();
    EXPECT_TRUE(requests().isEmpty()) << requests().join(u',').toStdString();
}

// With the keyboard (the hot key's session): the first application current, the arrows walk
// the row, Return brings the current one forward, the Menu key opens its menu.
TEST_F(ProcessDockViewTest, TheKeysWalkTheApplicationsAndActivateOne) {
    startSwitcher({threeApps(), std::nullopt});
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    view->setKeyboardSession(true);
    ASSERT_EQ(QApplication::focusWidget(), &switcher());
    // In the order of their names: edit, clock, term.
    EXPECT_EQ(switcher().currentIndex(), 0u);
    QTest::keyClick(&switcher(), Qt::Key_Right);
    QTest::keyClick(&switcher(), Qt::Key_Down);
    EXPECT_EQ(switcher().currentIndex(), 1u);
    QTest::keyClick(&switcher(), Qt::Key_Return);
    EXPECT_EQ(requests(), QStringList{"activate clock"});
    QTest::keyClick(&switcher(), Qt::Key_Menu);
    QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menuTexts(*menu).value(0), "Show");
    menu->close();
}

TEST_F(ProcessDockViewTest, ARefreshKeepsHoverAndRedrawsOnlyTheChangedTile) {
    startSwitcher({threeApps(), std::nullopt});
    hover(switcher().viewport(), centreOf("term"));
    const int renders = switcher().tileImageRenders();
    // The front changes and one application is renamed: the other two keep their images.
    std::vector<RunningApplication> changed = threeApps();
    changed[1].localizedName = QStringLiteral("XClock 2");
    publish({changed, changed[0]});
    EXPECT_EQ(switcher().tileImageRenders(), renders + 1);
    EXPECT_EQ(switcher().hoveredKey(), QStringLiteral("term"));
    EXPECT_EQ(shown(), (QStringList{"edit", "clock", "*term"}));
    // Nothing changed: nothing drawn again.
    publish({changed, changed[0]});
    EXPECT_EQ(switcher().tileImageRenders(), renders + 1);
}

TEST_F(ProcessDockViewTest, LabelsFollowTheDockAndEmptySpaceIsNeverLeftBlank) {
    // Whether anything is drawn in the area of the switcher's picture.
    const auto drawsIn = [&](QRect area) {
        const QImage image = switcher().viewport()->grab().toImage();
        for (int x = area.left(); x <= area.right(); ++x)
            for (int y = area.top(); y <= area.bottom(); ++y)
                if (qAlpha(image.pixel(x, y)) > 0)
                    return true;
        return false;
    };
    startSwitcher({threeApps(), std::nullopt}, DockOrientation::horizontal, false);
    const int without = switcher().tiles()[0].rect.height();
    std::vector<RunningApplication> apps = threeApps();
    apps[0].localizedName = QString(200, QChar(u'W'));
    startSwitcher({apps, std::nullopt}, DockOrientation::horizontal, true);
    EXPECT_GT(switcher().tiles()[0].rect.height(), without);
    // A long name is cut at one and a half icons.
    const int iconSize = int(stored().appearance.iconSize);
    EXPECT_LE(switcher().tiles()[1].rect.width(), iconSize * 3 / 2 + 8);
    EXPECT_GT(switcher().tiles()[1].rect.width(), iconSize + 8);
    // None of the three has an icon: each tile still draws its placeholder.
    EXPECT_TRUE(drawsIn(switcher().tiles()[2].rect.adjusted(4, 4, -4, -20)));

    // A session that lists no programs is explained, not left empty.
    fakes->runningApplications.available = false;
    publish({{}, std::nullopt});
    EXPECT_TRUE(switcher().tiles().empty());
    EXPECT_EQ(switcher().accessibleDescription(), ProcessDockView::unavailableText());
    EXPECT_TRUE(drawsIn(switcher().viewport()->rect()));
}

TEST_F(ProcessDockViewTest, RefusesTilesOfOtherDocksAndShowsItWhileOneIsOver) {
    startSwitcher({threeApps(), std::nullopt});
    const QStringList before = shown();
    const std::unique_ptr<QMimeData> data(TileDragPayload::make(
        pathItem(DockItemKind::file, QStringLiteral("/f")), QUuid::createUuid(), QUuid()));
    QWidget* target = switcher().viewport();
    QDragEnterEvent enter(centreOf(QStringLiteral("term")), Qt::CopyAction, data.get(),
                          Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    EXPECT_TRUE(switcher().isRefusingDrag());
    QDropEvent dropped(QPointF(centreOf(QStringLiteral("term"))), Qt::CopyAction, data.get(),
                       Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &dropped);
    EXPECT_FALSE(dropped.isAccepted());
    EXPECT_FALSE(switcher().isRefusingDrag());
    EXPECT_EQ(shown(), before);
}

} // namespace

TEST(ProcessDockViewFit, ARowsIconsShrinkToItsHeightAndItsLabelsGoFirst) {
    using Fit = ProcessDockView::Fit;
    struct Case {
        int iconSize;
        bool labels, vertical;
        int across;
        Fit expected;
    };
    // With labels 14 high, a row needs 52 points besides its icons, 35 without labels.
    const Case cases[] = {
        {56, true, false, 140, {56, true}}, // room to spare: the stored size, never more
        {56, true, false, 92, {40, true}},  // icons shrink, labels stay
        {56, true, false, 70, {35, false}}, // labels would leave icons under 24: they go
        {56, false, false, 92, {56, false}},
        {20, true, false, 60, {20, false}}, // small icons keep their size; the labels go
        {56, true, false, 10, {8, false}},  // never below the smallest icon
        {56, true, true, 40, {12, true}},   // a column: labels are cut to its width instead
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProcessDockView::fit(c.iconSize, c.labels, c.vertical, c.across, 14), c.expected)
            << c.iconSize << (c.labels ? " with labels, " : ", ") << c.across;
}
