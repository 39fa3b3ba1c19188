// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuiTestSupport.h"
#include "views/OwnPopups.h"
#include "views/TileDragPayload.h"

#include <tuple>

namespace {

using namespace std::chrono_literals;

class TileDragTest : public ItemsDockTest {
protected:
    // A second dock beside the one shown, holding a file "g0" and a separator.
    QUuid addOtherDock() {
        store().addDock(DockKind::items);
        const Dock& other = store().docks->back();
        store().insertItems({pathItem(DockItemKind::file, QStringLiteral("/g0")),
                             item(DockItemKind::separator, QStringLiteral("sep"))},
                            other.id, other.tabs.front().id, 0);
        settle();
        return store().docks->back().id;
    }
    std::unique_ptr<QMimeData> tile(const QUuid& dock, std::size_t index) {
        const DockTab& tab = store().dock(dock)->tabs.front();
        return std::unique_ptr<QMimeData>(TileDragPayload::make(tab.items[index], dock, tab.id));
    }
    QString namesIn(const QUuid& dock) {
        QStringList names;
        for (const DockItem& item : store().dock(dock)->tabs.front().items)
            names.append(item.name);
        return names.join(u' ');
    }
    // Enters at the point and moves over it.
    void dragOver(const QMimeData& data, QPoint at) {
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport(), &move);
    }
};

TEST_F(TileDragTest, OurOwnTilesMoveToTheDropPlaceCopyWithCtrlAndTheTrayKeepsCopies) {
    struct Case {
        const char* name;
        DockKind shown;
        bool fromOther;
        std::size_t index;
        int before; // -1: below the last tile
        bool ctrl;
        const char* expected; // the shown dock's names after; empty: refused
        std::size_t otherLeft;
    };
    const Case cases[] = {
        {"below the last tile: the end", DockKind::items, false, 0, -1, false, "f1 f2 f3 f4 f0", 2},
        {"before an earlier tile", DockKind::items, false, 3, 1, false, "f0 f3 f1 f2 f4", 2},
        {"where it already is: refused", DockKind::items, false, 0, 0, false, "", 2},
        {"with Ctrl: a copy", DockKind::items, false, 0, -1, true, "f0 f1 f2 f3 f4 f0", 2},
        {"from another dock: moved", DockKind::items, true, 0, 2, false, "f0 f1 g0 f2 f3 f4", 1},
        {"from another dock to the tray: a copy", DockKind::clippings, true, 0, -1, false,
         "f0 f1 f2 f3 f4 g0", 2},
        {"a separator to the tray: refused", DockKind::clippings, true, 1, -1, false, "", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start(dockWith(files(5), {180, 420}, c.shown));
        const QUuid other = addOtherDock();
        const QString before = namesIn(dockId);
        const std::unique_ptr<QMimeData> data = tile(c.fromOther ? other : dockId, c.index);
        const QPoint at = c.before < 0 ? QPoint(90, viewport()->height() - 4)
                                       : tileCentre(c.before) - QPoint(15, 0);
        const auto revision = store().revision(dockId, DockFacet::content);
        const DropResult result =
            drop(*data, at, Qt::CopyAction, c.ctrl ? Qt::ControlModifier : Qt::NoModifier);
        EXPECT_EQ(result.accepted, *c.expected != 0);
        EXPECT_EQ(namesIn(dockId), *c.expected ? QString::fromUtf8(c.expected) : before);
        EXPECT_EQ(store().revision(dockId, DockFacet::content) != revision, *c.expected != 0);
        EXPECT_EQ(store().dock(other)->tabs.front().items.size(), c.otherLeft);
        // Every item keeps an id of its own.
        QSet<QUuid> ids;
        for (const DockItem& item : storedItems())
            ids.insert(item.id);
        EXPECT_EQ(std::size_t(ids.size()), storedItems().size());
    }
}

TEST_F(TileDragTest, FilesFromAnotherProgramLandWhereTheyAreDropped) {
    start(dockWith(files(3)));
    const std::unique_ptr<QMimeData> data = urls({"file:///data/new"});
    EXPECT_TRUE(drop(*data, tileCentre(1) - QPoint(15, 0)).accepted);
    EXPECT_EQ(namesIn(dockId), QStringLiteral("f0 new f1 f2"));
}

TEST_F(TileDragTest, ATileCarriesWhatOtherProgramsUnderstandAndItsIdsOnlyForUs) {
    DockItem link = item(DockItemKind::url, QStringLiteral("Docs"));
    link.urlString = QStringLiteral("https://example.com/a b");
    DockItem clipping = item(DockItemKind::clippingText, QStringLiteral("c"));
    clipping.textContent = QStringLiteral("héllo");
    const QString moz = QStringLiteral("https://example.com/a%20b\nDocs");
    // The item; its URI list, UTF-8 text and link with name (UTF-16), each joined by spaces.
    const std::tuple<DockItem, QString, QByteArray, QByteArray> cases[] = {
        {pathItem(DockItemKind::file, QStringLiteral("/home/u/a b")),
         "file:///home/u/a%20b",
         {},
         {}},
        {pathItem(DockItemKind::application, QStringLiteral("/x.desktop")),
         "file:///x.desktop",
         {},
         {}},
        {link,
         "https://example.com/a%20b",
         {},
         QByteArray(reinterpret_cast<const char*>(moz.utf16()), moz.size() * 2)},
        {clipping, {}, "h\xc3\xa9llo", {}},
        {docklet(DockletKind::clock), {}, {}, {}},
    };
    const QUuid dock = QUuid::createUuid();
    for (const auto& [tileItem, uris, text, mozUrl] : cases) {
        SCOPED_TRACE(tileItem.name.toStdString());
        const std::unique_ptr<QMimeData> data(TileDragPayload::make(tileItem, dock, {}));
        QStringList urls;
        for (const QUrl& url : data->urls())
            urls.append(url.toString(QUrl::FullyEncoded));
        EXPECT_EQ(urls.join(u' '), uris);
        EXPECT_EQ(data->data(QStringLiteral("text/plain;charset=utf-8")), text);
        EXPECT_EQ(data->data(QStringLiteral("text/x-moz-url")), mozUrl);
        const auto tiles = TileDragPayload::read(*data);
        ASSERT_TRUE(tiles);
        EXPECT_EQ(tiles->itemIds, std::vector<QUuid>{tileItem.id});
        // The same type from another instance names nothing of ours.
        QMimeData foreign;
        foreign.setData(TileDragPayload::type, QUuid::createUuid().toByteArray() + '\n' +
                                                   data->data(TileDragPayload::type).mid(37));
        EXPECT_FALSE(TileDragPayload::read(foreign));
    }
}

TEST_F(TileDragTest, ALongTabScrollsNearItsEdgeAndTheTilesMakeRoomOnTheirSpring) {
    start(dockWith(files(20000)));
    const std::unique_ptr<QMimeData> data = tile(dockId, 5);
    QScrollBar* bar = grid().verticalScrollBar();
    bar->setValue(1000);
    const GridDropTarget& drops = grid().drops();
    // Partly scrolled: the place is found in the tab, not in the viewport.
    const QPoint inside(40, 100);
    dragOver(*data, inside);
    ASSERT_TRUE(drops.insertion());
    EXPECT_EQ(*drops.insertion(), grid().gridLayout().insertionAt(inside + QPoint(0, 1000)));
    const std::int64_t gap = drops.insertion()->index;
    fakes->scheduler.advance(1s);
    EXPECT_EQ(drops.shift(gap), QPoint(GridDropTarget::room, 0));
    EXPECT_EQ(drops.shift(gap - 1), QPoint(-GridDropTarget::room, 0));
    // Settled: no timer runs while the pointer stands still.
    EXPECT_FALSE(drops.isAnimating());

    dragOver(*data, QPoint(40, viewport()->height() - 2));
    EXPECT_TRUE(drops.isAutoScrolling());
    fakes->scheduler.advance(160ms);
    EXPECT_GT(bar->value(), 1000 + 50);
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(viewport(), &leave);
    const int stopped = bar->value();
    fakes->scheduler.advance(1s);
    EXPECT_EQ(bar->value(), stopped);
    EXPECT_EQ(drops.shift(gap), QPoint());
    EXPECT_FALSE(drops.isAnimating());
}

// While a drag of ours runs, a dock waits to hide as under an open menu of ours (a real menu is
// ItemsDockTest.AnAutoHidingDockStaysUnderItsOwnMenu).
TEST(OwnPopups, AreOpenWhileADragOfOursIs) {
    EXPECT_FALSE(OwnPopups::isOpen());
    {
        OwnPopups::DragScope drag;
        EXPECT_TRUE(OwnPopups::isOpen());
    }
    EXPECT_FALSE(OwnPopups::isOpen());
}

} // namespace
