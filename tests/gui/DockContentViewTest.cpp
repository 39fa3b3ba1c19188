// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockContentView.h"
#include "GuiTestSupport.h"
#include "fakes/FakeNotifications.h"
#include "views/ElidedLine.h"
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

    // Pixels in a row of the header that differ from the plain tint: the name's glyphs.
    static int lightPixels(const QImage& image, QRect area) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += QColor(image.pixel(x, y)).green() > 60 ? 1 : 0;
        return count;
    }

    Dock dock = redDock();
    FakeServices fakes{{dock}};
    DockStore& store = fakes.store;
    DockContentView view{dock.id, fakes.contentServices()};
};

TEST_F(DockContentViewTest, PaintsTheTintInsideTheRoundedCornersAndItsOpacityFadesOnlyTheTint) {
    QImage image = render();
    const QColor middle = QColor::fromRgba(image.pixel(100, 90));
    EXPECT_EQ(middle.red(), 255);
    EXPECT_EQ(middle.green(), 0);
    EXPECT_EQ(middle.alpha(), 255);
    // The corner lies outside the rounded outline.
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    // The border: white at low alpha over the tint lifts green and blue a little.
    const QColor edge = QColor::fromRgba(image.pixel(100, 0));
    EXPECT_GT(edge.green(), 0);
    EXPECT_LT(edge.green(), 60);

    // The next paint follows the store.
    store.mutateDock(dock.id, [](Dock& d) { d.appearance.opacity = 0; });
    image = render();
    const QColor faded = QColor::fromRgba(image.pixel(100, 90));
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
    // A bar has no tab strip: nothing light below the header of an empty dock.
    store.mutateDock(dock.id, [](Dock& d) { d.style = DockStyle::bar; });
    fakes.scheduler.runPending();
    EXPECT_FALSE(view.tabStrip()->isVisible());
    EXPECT_EQ(view.headerHeight(*store.dock(dock.id)), header + 6);
    EXPECT_EQ(lightPixels(render(), QRect(10, header + 16, 180, 40)), 0);
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
