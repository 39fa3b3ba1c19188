// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockContentView.h"
#include "GuiTestSupport.h"
#include "fakes/FakeNotifications.h"
#include "store/StarterDocks.h"
#include "views/ElidedLine.h"
#include "views/PanelInk.h"
#include "views/ProcessDockView.h"
#include "views/TrayMenu.h"

#include <QMenu>

namespace {

class DockContentViewTest : public ::testing::Test {
protected:
    DockContentViewTest() {
        view.setAttribute(Qt::WA_TranslucentBackground);
        view.resize(200, 120);
        fakes.scheduler.runPending();
    }

    static Dock redDock() {
        Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Work"));
        dock.appearance.tintRed = 1;
        dock.appearance.tintGreen = 0;
        dock.appearance.tintBlue = 0;
        dock.appearance.opacity = 1;
        dock.appearance.cornerRadius = 16;
        return dock;
    }

    QImage render() { return view.grab().toImage().convertToFormat(QImage::Format_ARGB32); }

    // Pixels of an area that differ from the plain red tint: glyphs, in whichever ink.
    static int lightPixels(const QImage& image, QRect area) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c(image.pixel(x, y));
                count += 255 - c.red() + c.green() + c.blue() > 60 ? 1 : 0;
            }
        return count;
    }

    Dock dock = redDock();
    FakeServices fakes{{dock}};
    DockStore& store = fakes.store;
    DockContentView view{dock.id, fakes.contentServices()};
};

TEST_F(DockContentViewTest, PaintsTheTintInsideTheRoundedCornersAndItsOpacityFadesOnlyTheTint) {
    QImage image = render();
    // Beside the empty dock's hint, above the resize grip.
    const QColor middle = QColor::fromRgba(image.pixel(193, 80));
    EXPECT_EQ(middle.red(), 255);
    EXPECT_EQ(middle.green(), 0);
    EXPECT_EQ(middle.alpha(), 255);
    // The corner lies outside the rounded outline.
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    // The border: the ink (dark on a tint this light) at low alpha over the tint.
    const QColor edge = QColor::fromRgba(image.pixel(100, 0));
    EXPECT_LT(edge.red(), 230);
    EXPECT_GT(edge.red(), 120);

    // The next paint follows the store.
    store.mutateDock(dock.id, [](Dock& d) { d.appearance.opacity = 0; });
    image = render();
    const QColor faded = QColor::fromRgba(image.pixel(193, 80));
    EXPECT_LT(faded.red(), 100);
    EXPECT_GT(faded.alpha(), 0); // the material behind the tint
    EXPECT_GT(qAlpha(image.pixel(100, 0)), 0);

    // Nothing at all once the dock is gone.
    store.removeDock(dock.id);
    image = render();
    QImage clear(image.size(), image.format());
    clear.fill(Qt::transparent);
    EXPECT_EQ(image, clear);
}

TEST_F(DockContentViewTest, DrawsTheNameInTheHeaderAndTheTabsBelowIt) {
    const QImage tabbed = render();
    const int header = view.headerHeight(dock);
    EXPECT_GT(lightPixels(tabbed, QRect(10, 8, 60, header - 8)), 5);
    EXPECT_GT(lightPixels(tabbed, QRect(10, header + 4, 60, 16)), 5);
    // Without a tab strip (a bar, a clippings tray) the header takes more padding.
    Dock clippings = dock;
    clippings.kind = DockKind::clippings;
    EXPECT_EQ(view.headerHeight(clippings), header + 6);
    // A bar has no tab strip; an empty launcher dock says how to fill it.
    store.mutateDock(dock.id, [](Dock& d) { d.style = DockStyle::bar; });
    fakes.scheduler.runPending();
    EXPECT_FALSE(view.tabStrip()->isVisible());
    EXPECT_EQ(view.headerHeight(*store.dock(dock.id)), header + 6);
    EXPECT_TRUE(view.grid()->showsEmptyHint());
}

TEST_F(DockContentViewTest, NamesOfMegabytesAreDrawnAndListedCutAndStoredWhole) {
    const QString huge(10 << 20, u'W');
    store.mutateDock(dock.id, [&](Dock& d) {
        d.name = huge;
        d.tabs.at(0).name = huge;
        d.tabs.at(0).items.push_back(DockItem::makeClipping(huge));
    });
    fakes.scheduler.runPending();
    const QImage image = render();
    EXPECT_GT(lightPixels(image, QRect(10, 8, 60, view.headerHeight(dock) - 8)), 5);
    FakeNotifications notifications;
    TrayMenu menu(store, fakes.scheduler, notifications);
    ASSERT_FALSE(menu.menu()->actions().isEmpty());
    EXPECT_LE(menu.menu()->actions().first()->text().size(), ElidedLine::boundedLength + 1);
    EXPECT_EQ(store.dock(dock.id)->name, huge);
    EXPECT_EQ(store.dock(dock.id)->tabs.at(0).name, huge);
}

TEST_F(DockContentViewTest, RepaintsOnlyWhenWhatItShowsOfItsOwnDockChanged) {
    // A slider dragged in the settings window changes one dock many times a second: every other
    // panel must stay still, and so must this one for what only its window shows.
    store.addDock(DockKind::items);
    const QUuid other = store.docks->back().id;
    view.show();
    fakes.scheduler.runPending();
    QCoreApplication::processEvents();
    PaintCounter counter;
    for (QWidget* widget : view.findChildren<QWidget*>())
        widget->installEventFilter(&counter);
    view.installEventFilter(&counter);
    const auto paintsAfter = [&](const QUuid& id, const std::function<void(Dock&)>& change) {
        store.mutateDock(id, change);
        fakes.scheduler.runPending();
        QCoreApplication::processEvents();
        return std::exchange(counter.paints, 0);
    };
    const auto fade = [](Dock& d) { d.appearance.opacity /= 2; };
    EXPECT_EQ(paintsAfter(other, fade), 0);
    EXPECT_EQ(paintsAfter(dock.id, [](Dock& d) { d.position.x += 10; }), 0);
    EXPECT_EQ(paintsAfter(dock.id, [](Dock& d) { d.hotKey = {1, 256}; }), 0);
    EXPECT_EQ(paintsAfter(dock.id, [](Dock& d) { d.alwaysOnTop = false; }), 0);
    EXPECT_GT(paintsAfter(dock.id, fade), 0);
    EXPECT_GT(paintsAfter(dock.id, [](Dock& d) { d.name = QStringLiteral("Renamed"); }), 0);
}

} // namespace

TEST(PanelInkTest, TextTurnsDarkOnlyWhereTheTintAtItsOpacityReadsLight) {
    struct Case {
        double red, green, blue, opacity;
        bool dark;
    };
    const Case cases[] = {
        {0, 0, 0, 1, false},      {1, 1, 1, 1, true},        {1, 1, 1, 0.3, false},
        {1, 1, 1, 0.6, true},     {1, 1, 0, 1, true},        {0, 0, 1, 1, false},
        {0.5, 0.5, 0.5, 1, true}, {0.3, 0.3, 0.3, 1, false}, {1, 0, 0, 1, true},
        {0, 1, 0, 0.3, false},    {NAN, 2, -1, NAN, false},
    };
    for (const Case& c : cases) {
        DockAppearance look;
        look.tintRed = c.red;
        look.tintGreen = c.green;
        look.tintBlue = c.blue;
        look.opacity = c.opacity;
        const PanelInk ink = PanelInk::forAppearance(look);
        EXPECT_EQ(ink.isDark(), c.dark)
            << c.red << ' ' << c.green << ' ' << c.blue << " at " << c.opacity;
        // The outline is the ink, faint: it shows on a wallpaper of the panel's own shade.
        EXPECT_EQ(ink.outline().rgb(), ink.at(1).rgb());
        EXPECT_LT(ink.outline().alphaF(), 0.5);
    }
}

TEST(StarterDocksTest, EachStarterDockShowsItsContentInItsOwnFrame) {
    FakeServices fakes;
    fakes.defaultApplications.entries = {
        {QStringLiteral("firefox.desktop"), QStringLiteral("/apps/firefox.desktop")},
        {QStringLiteral("thunderbird.desktop"), QStringLiteral("/apps/thunderbird.desktop")},
        {QStringLiteral("thunar.desktop"), QStringLiteral("/apps/thunar.desktop")},
        {QStringLiteral("xfce4-terminal.desktop"), QStringLiteral("/apps/terminal.desktop")},
        {QStringLiteral("systemsettings.desktop"), QStringLiteral("/apps/settings.desktop")}};
    DockStoreTesting::setDocks(fakes.store,
                               StarterDocks::make(fakes.fileSystem, fakes.defaultApplications));
    fakes.runningApplications.current.applications = {FakeRunningApplications::make(
        QStringLiteral("term"), QStringLiteral("A Terminal With A Long Name"))};
    fakes.runningApplications.notifyChange();
    for (const Dock& dock : *fakes.store.docks) {
        SCOPED_TRACE(dock.name.toStdString());
        DockContentView view(dock.id, fakes.contentServices());
        view.resize(int(dock.position.width), int(dock.position.height));
        view.show();
        fakes.scheduler.runPending();
        QCoreApplication::processEvents();
        if (DockItemGridView* grid = view.grid()) {
            // All the columns it asks for, every tile in view without scrolling.
            EXPECT_EQ(grid->gridLayout().columns, dock.columns);
            EXPECT_EQ(grid->verticalScrollBar()->maximum(), 0);
        }
        if (ProcessDockView* switcher = view.processes()) {
            ASSERT_EQ(switcher->tiles().size(), 1u);
            // Its whole icon size with a label, inside its row.
            const QRect tile = switcher->tiles().front().rect;
            EXPECT_TRUE(switcher->viewport()->rect().contains(tile));
            EXPECT_GE(tile.height(), int(dock.appearance.iconSize) +
                                         2 * ProcessDockView::tilePadding +
                                         ProcessDockView::indicatorSize + 10);
        }
    }
}
