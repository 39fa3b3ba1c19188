// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuiTestSupport.h"
#include "views/CustomIconDecoder.h"
#include "views/DockItemTilePainter.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QSignalSpy>

namespace {

using namespace std::chrono_literals;

// What another program drops on an items dock or a clippings tray, and the items it becomes.
struct DropCase {
    const char* name;
    DockKind dock = DockKind::items;
    QStringList urls = {};
    std::optional<QByteArray> text = {};
    QString mozUrl = {}; // a browser's link with its title
    Qt::DropActions offered = Qt::CopyAction;
    std::int64_t selectedTab = 0;
    // "kind|name|text-or-path-or-url" per item added; empty: the drop is refused.
    QStringList added = {};
};

constexpr DockKind tray = DockKind::clippings;

const std::vector<DropCase> dropCases = {
    {.name = "files and folders in order",
     .urls = {"file:///home/u/notes.txt", "file:///home/u/Projects/"},
     .added = {"file|notes.txt|/home/u/notes.txt", "folder|Projects|/home/u/Projects"}},
    {.name = "a source that proposes Move is answered Copy",
     .urls = {"file:///home/u/notes.txt"},
     .offered = Qt::MoveAction | Qt::CopyAction,
     .added = {"file|notes.txt|/home/u/notes.txt"}},
    {.name = "desktop entries and app bundles are applications; APP is not",
     .urls = {"file:///usr/share/applications/xterm.desktop", "file:///opt/Tool.app/",
              "file:///opt/Other.APP"},
     .added = {"application|XTerm|/usr/share/applications/xterm.desktop",
               "application|Tool|/opt/Tool.app", "folder|Other.APP|/opt/Other.APP"}},
    {.name = "web links become url items named by their title, else their host, else themselves",
     .urls = {"https://example.com/page?q=1", "https://other.org/", "mailto:someone@example.com"},
     .mozUrl = "https://example.com/page?q=1\nExample Page",
     .added = {"url|Example Page|https://example.com/page?q=1", "url|other.org|https://other.org/",
               "url|mailto:someone@example.com|mailto:someone@example.com"}},
    {.name = "a path that is not UTF-8 is added as it decodes",
     .urls = {"file:///home/u/caf%E9.txt"},
     .added = {QStringLiteral("file|caf\uFFFD.txt|/home/u/caf\uFFFD.txt")}},
    {.name = "no URLs at all"},
    {.name = "only text", .text = "/home/u/notes.txt"},
    {.name = "one web address as text is a link",
     .text = "  https://example.org/a?b=1\n",
     .added = {"url|example.org|https://example.org/a?b=1"}},
    {.name = "an address starting www is a web link",
     .text = "www.example.org",
     .added = {"url|www.example.org|https://www.example.org"}},
    {.name = "two addresses as text are no link", .text = "https://a.org https://b.org"},
    {.name = "URLs that are neither files nor links", .urls = {"file:", "::"}},
    {.name = "a tab that does not exist", .urls = {"file:///a"}, .selectedTab = 3},
    {.name = "text keeps its surrounding space and line feeds",
     .dock = tray,
     .text = "  first line\nsecond \n",
     .added = {"clippingText|first line second|  first line\nsecond \n"}},
    {.name = "blank text is a clipping named Clipping",
     .dock = tray,
     .text = "   ",
     .added = {"clippingText|Clipping|   "}},
    {.name = "empty text is refused", .dock = tray, .text = ""},
    {.name = "a source that proposes Move is answered Copy by the tray",
     .dock = tray,
     .text = "kept",
     .offered = Qt::MoveAction | Qt::CopyAction,
     .added = {"clippingText|kept|kept"}},
    {.name = "text that is not UTF-8 arrives as it decodes",
     .dock = tray,
     .text = "\xff\xfe ok",
     .added = {QStringLiteral("clippingText|\uFFFD\uFFFD ok|\uFFFD\uFFFD ok")}},
    {.name = "two files on the tray, an app bundle staying a folder",
     .dock = tray,
     .urls = {"file:///home/u/a.txt", "file:///opt/Tool.app"},
     .added = {"file|a.txt|/home/u/a.txt", "folder|Tool.app|/opt/Tool.app"}},
    {.name = "a link with its text is a url item on the tray",
     .dock = tray,
     .urls = {"https://example.com/"},
     .text = "https://example.com/",
     .added = {"url|example.com|https://example.com/"}},
};

std::unique_ptr<QMimeData> payload(const DropCase& c) {
    auto data = ItemsDockTest::urls(c.urls);
    if (c.text)
        data->setData(QStringLiteral("text/plain"), *c.text);
    if (!c.mozUrl.isEmpty())
        data->setData(
            QStringLiteral("text/x-moz-url"),
            QByteArray(reinterpret_cast<const char*>(c.mozUrl.utf16()), c.mozUrl.size() * 2));
    return data;
}

class Drops : public ItemsDockTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(Drops, AddWhatTheDropHoldsAndAnswerCopy) {
    const DropCase& c = GetParam();
    Dock dock = dockWith({}, {180, 420}, c.dock);
    dock.selectedTabIndex = c.selectedTab;
    start(dock);
    for (const char* folder : {"/home/u/Projects", "/opt/Other.APP", "/opt/Tool.app"})
        fakes->fileSystem.addDirectory(QString::fromLatin1(folder));
    fakes->fileSystem.addFile(QStringLiteral("/usr/share/applications/xterm.desktop"), {},
                              QStringLiteral("XTerm"));
    fakes->fileSystem.addFile(QStringLiteral("/home/u/a.txt"), {});
    const auto revision = store().revision(dockId);
    const DropResult result = drop(*payload(c), QPoint(90, 200), c.offered);
    QStringList added;
    for (const DockItem& item : storedItems())
        added << QStringList{storedString(item.kind), item.name,
                             item.textContent
                                 ? item.textContent->toString()
                                 : item.path.value_or(item.urlString.value_or(QString()))}
                     .join(u'|');
    EXPECT_EQ(added, c.added);
    // A drop that adds nothing is not reported as done; one that adds is one change however
    // many items it holds.
    EXPECT_EQ(result.accepted, !c.added.isEmpty());
    EXPECT_EQ(store().revision(dockId), revision + (result.accepted ? 1 : 0));
    if (result.accepted) {
        EXPECT_EQ(result.action, Qt::CopyAction);
    }
    EXPECT_FALSE(grid().isDropTargeted());
    if (view->clippings()) {
        EXPECT_EQ(view->clippings()->showsHint(), c.added.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(DockItemGridView, Drops, ::testing::ValuesIn(dropCases),
                         [](const auto& info) { return ItemsDockTest::caseName(info.param.name); });

class DockItemGridViewTest : public ItemsDockTest {};

TEST_F(DockItemGridViewTest, TheTrashTileLightsUpTakesFilesAndReportsWhetherOneWent) {
    start(dockWith({docklet(DockletKind::trash)}));
    fakes->trash.refused = {QStringLiteral("/home/u/locked")};
    const std::unique_ptr<QMimeData> some = urls({"file:///home/u/a", "file:///home/u/locked"});
    // The grid lights up until the drag reaches the trash; then the trash does instead.
    QDragEnterEvent enter(QPoint(90, 300), Qt::CopyAction, some.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport(), &enter);
    EXPECT_TRUE(grid().isDropTargeted());
    QDragMoveEvent overTrash(tileCentre(0), Qt::CopyAction, some.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport(), &overTrash);
    EXPECT_FALSE(grid().isDropTargeted());
    EXPECT_TRUE(overTrash.isAccepted());
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(viewport(), &leave);
    EXPECT_FALSE(grid().isDropTargeted());

    const DropResult result = drop(*some, tileCentre(0), Qt::MoveAction | Qt::CopyAction);
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(result.action, Qt::CopyAction);
    EXPECT_EQ(fakes->trash.trashed, QStringList{QStringLiteral("/home/u/a")});
    // Nothing went: refused. The dock itself never changes.
    const std::unique_ptr<QMimeData> none = urls({"file:///home/u/locked"});
    EXPECT_FALSE(drop(*none, tileCentre(0)).accepted);
    EXPECT_EQ(storedItems().size(), 1u);
}

TEST_F(DockItemGridViewTest, ColumnsFitThePanelAndTheStoredCountStays) {
    start(dockWith(files(8)));
    EXPECT_EQ(grid().gridLayout().columns, 2);
    // Every tile lies inside the panel and can be clicked.
    for (std::int64_t i = 0; i < 8; ++i) {
        EXPECT_GE(grid().cellRect(i).left(), 0) << i;
        EXPECT_LT(grid().cellRect(i).right(), viewport()->width()) << i;
    }
    click(1);
    EXPECT_EQ(fakes->desktop.requests, QStringList{"openPath /f1"});
    view->resize(276, 420);
    settle();
    EXPECT_EQ(grid().gridLayout().columns, 4);
    EXPECT_EQ(stored().columns, 4);
}

TEST_F(DockItemGridViewTest, DrawsAndResolvesOnlyTheTilesInView) {
    start(dockWith(files(20000)));
    viewport()->grab();
    const int first = grid().images().resolutions();
    EXPECT_GT(first, 0);
    EXPECT_LE(first, 2 * 6); // two columns, about five rows in view
    grid().verticalScrollBar()->setValue(grid().verticalScrollBar()->maximum());
    viewport()->grab();
    EXPECT_LE(grid().images().resolutions(), 2 * first);
    // One item renamed: a label to make again, not its icon.
    const int before = grid().images().resolutions();
    DockItem last = storedItems().back();
    last.name = QStringLiteral("Renamed");
    store().updateItem(last, dockId);
    settle();
    viewport()->grab();
    EXPECT_EQ(grid().images().resolutions(), before);
}

TEST_F(DockItemGridViewTest, ALargeCustomIconIsDecodedAsideWithThePlaceholderMeanwhile) {
    // Red above, noise below: too heavy to decode on the event loop.
    QImage image(600, 600, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 300; y < 600; ++y)
        QRandomGenerator(y).fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), 600);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    ASSERT_GT(png.size(), CustomIconDecoder::largeBytes);
    DockItem item = DockItem::makeClipping(QStringLiteral("x"));
    item.customIconData = png;
    start(dockWith({item}));
    const auto red = [&] {
        const QImage shown = viewport()->grab().toImage();
        return std::count_if(reinterpret_cast<const QRgb*>(shown.constBits()),
                             reinterpret_cast<const QRgb*>(shown.constBits()) +
                                 shown.width() * shown.height(),
                             [](QRgb pixel) { return pixel == qRgb(255, 0, 0); });
    };
    QSignalSpy decoded(&grid().images().decoder(), &CustomIconDecoder::decoded);
    const int placeholder = red();
    ASSERT_TRUE(decoded.wait(10000)) << "the worker never answered";
    EXPECT_GT(red(), placeholder + 200);
}

TEST_F(DockItemGridViewTest, HostileValuesDrawSomethingSensible) {
    std::vector<DockItem> items{
        pathItem(DockItemKind::application, QStringLiteral("/gone.desktop")),
        docklet(DockletKind::cpuMeter), docklet(DockletKind::clock)};
    items.front().customIconData = QByteArray("\x89PNG broken", 11);
    for (double iconSize : {1e9, -5.0, 0.0, 1e-300}) {
        Dock dock = dockWith(items);
        dock.columns = std::int64_t(1) << 62;
        dock.appearance.iconSize = iconSize;
        dock.appearance.cornerRadius = 1e308;
        start(dock);
        EXPECT_GE(grid().gridLayout().columns, 1);
        EXPECT_FALSE(view->grab().isNull()) << iconSize;
    }
}

TEST_F(DockItemGridViewTest, SamplesOnlyTheFiguresOfTheDockletsShown) {
    const auto sampled = [&] {
        QStringList figures;
        for (const auto& [figure, name] : {std::pair{DockletRuntime::time, "time"},
                                           {DockletRuntime::diskSpace, "disk"},
                                           {DockletRuntime::cpuLoad, "load"}})
            if (fakes->docklets.isSampling(figure))
                figures << QString::fromLatin1(name);
        return figures.join(u' ');
    };
    start(dockWith({docklet(DockletKind::trash), docklet(DockletKind::separator)}));
    EXPECT_EQ(sampled(), u"");
    store().addItem(docklet(DockletKind::clock), dockId);
    settle();
    EXPECT_EQ(sampled(), u"time");
    store().addItem(docklet(DockletKind::cpuMeter), dockId);
    settle();
    EXPECT_EQ(sampled(), u"time load");
    view->hide();
    EXPECT_EQ(sampled(), u"");
    view->show();
    EXPECT_EQ(sampled(), u"time load");
    store().removeItem(storedItems().back().id, dockId);
    store().removeItem(storedItems().back().id, dockId);
    settle();
    EXPECT_EQ(sampled(), u"");
    // Once the store has saved, nothing is left to run: no timer of any kind.
    fakes->scheduler.advance(1s);
    EXPECT_EQ(fakes->scheduler.pendingCount(), 0u);
}

TEST_F(DockItemGridViewTest, ADockletRepaintsItsOwnRectangleOnlyWhenWhatItShowsChanges) {
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    start(dockWith({docklet(DockletKind::clock), docklet(DockletKind::cpuMeter),
                    pathItem(DockItemKind::file, QStringLiteral("/f"))}));
    PaintCounter counter;
    viewport()->installEventFilter(&counter);
    fakes->statistics.ticks = CpuTicks{100, 100, 800, 0};
    // Seconds pass within one minute and the CPU counters stand still: nothing is drawn.
    for (int i = 0; i < 5; ++i) {
        fakes->scheduler.advance(1s);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(counter.paints, 0);
    // The load moves: the meter's square alone is drawn.
    fakes->statistics.ticks = CpuTicks{300, 200, 900, 0};
    fakes->scheduler.advance(1s);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    const QRect meter =
        DockItemTilePainter::iconRect(storedItems()[1], grid().cellRect(1), grid().gridLayout());
    EXPECT_EQ(counter.region.boundingRect(), meter);
    QLocale::setDefault(QLocale::c());
}

TEST_F(DockItemGridViewTest, TheHoverSpringRunsOnlyWhileItMoves) {
    const DockItem file = pathItem(DockItemKind::file, QStringLiteral("/home/u/notes.txt"));
    start(dockWith({file}));
    const std::size_t idle = fakes->scheduler.pendingCount();
    hover(viewport(), tileCentre(0));
    EXPECT_EQ(grid().hoveredItem(), file.id);
    EXPECT_TRUE(grid().isAnimating());
    fakes->scheduler.advance(100ms);
    // A spring overshoots: past 1.08 on the way.
    double highest = 1.0;
    for (int i = 0; i < 20; ++i) {
        fakes->scheduler.advance(16ms);
        highest = std::max(highest, grid().iconScale(file.id));
    }
    EXPECT_GT(highest, 1.08);
    fakes->scheduler.advance(2s);
    EXPECT_FALSE(grid().isAnimating());
    EXPECT_DOUBLE_EQ(grid().iconScale(file.id), 1.08);
    EXPECT_EQ(fakes->scheduler.pendingCount(), idle);

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(viewport(), &leave);
    EXPECT_TRUE(grid().isAnimating());
    fakes->scheduler.advance(2s);
    EXPECT_FALSE(grid().isAnimating());
    EXPECT_DOUBLE_EQ(grid().iconScale(file.id), 1.0);
}

} // namespace

namespace {

TEST_F(DockItemGridViewTest, AProgramsTileShowsItsDotAndBadgeAndOnlyThatTileRepaints) {
    const QString mail = QStringLiteral("/apps/mail.desktop");
    const QString term = QStringLiteral("/apps/term.desktop");
    start(dockWith({pathItem(DockItemKind::application, mail),
                    pathItem(DockItemKind::application, term),
                    pathItem(DockItemKind::file, QStringLiteral("/f"))}),
          [&](FakeServices& f) {
              f.desktop.addLauncher(mail, QStringLiteral("mail"));
              f.desktop.addLauncher(term, QStringLiteral("term"));
          });
    PaintCounter counter;
    viewport()->installEventFilter(&counter);
    const auto reset = [&] {
        QCoreApplication::processEvents();
        counter.paints = 0;
        counter.region = {};
    };
    // One paint, within the tile's cell and the spacing beside it where a long label may reach.
    const auto paintsOnly = [&](std::int64_t index) {
        QCoreApplication::processEvents();
        const QRect tile = grid().cellRect(index).adjusted(-ItemGridLayout::columnSpacing, 0,
                                                           ItemGridLayout::columnSpacing, 0);
        return counter.paints == 1 && tile.contains(counter.region.boundingRect());
    };
    const auto pixel = [&](QPoint at) { return viewport()->grab().toImage().pixelColor(at); };
    const auto icon = [&](std::int64_t index) {
        return DockItemTilePainter::iconRect(storedItems()[std::size_t(index)],
                                             grid().cellRect(index), grid().gridLayout());
    };

    reset();
    fakes->badgeUpdates.send(":1.9", "application://mail.desktop",
                             {{"count", 3}, {"count-visible", true}});
    EXPECT_TRUE(paintsOnly(0));
    const QColor badge = pixel(icon(0).topRight() + QPoint(-3, 5));
    EXPECT_GT(badge.red(), 180);
    EXPECT_LT(badge.green(), 100);

    const QPoint dot(icon(1).center().x(), icon(1).bottom() + 3);
    const QColor before = pixel(dot);
    RunningApplication running = FakeRunningApplications::make("t", "Term", 7);
    running.desktopId = QStringLiteral("term");
    running.windows = {5};
    reset();
    fakes->runningApplications.current.applications = {running};
    fakes->runningApplications.notifyChange();
    fakes->scheduler.runPending();
    EXPECT_TRUE(paintsOnly(1));
    EXPECT_NE(pixel(dot), before) << "the running dot";

    // A middle click starts another copy even though one runs; a click brings it forward.
    QTest::mouseClick(viewport(), Qt::MiddleButton, {}, tileCentre(1));
    click(1);
    EXPECT_EQ(fakes->desktop.requests, QStringList{"launch /apps/term.desktop launch-1"});
    reset();
    fakes->badgeUpdates.leave(":1.9");
    EXPECT_TRUE(paintsOnly(0)) << "the badge goes with its sender";
}

// The clippings tray: what its drops add is in the drop table above.
class ClippingsDockViewTest : public ItemsDockTest {
protected:
    void SetUp() override { start(dockWith({}, {180, 420}, DockKind::clippings)); }
    ClippingsDockView& tray() { return *view->clippings(); }
    static std::unique_ptr<QMimeData> text(const QString& text) {
        auto data = std::make_unique<QMimeData>();
        data->setText(text);
        return data;
    }
};

TEST_F(ClippingsDockViewTest, AFileDragLightsTheTrayUpAndATextDragDoesNot) {
    const std::unique_ptr<QMimeData> file = urls({"file:///home/u/a.txt"});
    const std::unique_ptr<QMimeData> words = text(QStringLiteral("words"));
    for (const auto& [data, lit] : {std::pair{file.get(), true}, std::pair{words.get(), false}}) {
        QDragEnterEvent enter(QPoint(90, 200), Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        EXPECT_EQ(grid().isDropTargeted(), lit);
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(viewport(), &leave);
    }
}

TEST_F(ClippingsDockViewTest, TheHintShowsThroughTheEmptyGrid) {
    ASSERT_TRUE(tray().showsHint());
    const QImage image = view->grab().toImage();
    const QRect below = tray().geometry().adjusted(0, 20, 0, 0);
    int lit = 0;
    for (int y = below.top(); y < below.top() + 60; ++y)
        for (int x = below.left(); x < below.right(); ++x)
            lit += qRed(image.pixel(x, y)) > 100;
    EXPECT_GT(lit, 20);
}

TEST_F(ClippingsDockViewTest, TenMegabytesOfTextAreKeptWhole) {
    const QString big(10 * 1024 * 1024, QChar(u'x'));
    EXPECT_TRUE(drop(*text(big), QPoint(90, 200)).accepted);
    ASSERT_EQ(storedItems().size(), 1u);
    EXPECT_EQ(storedItems().front().textContent->toString().size(), big.size());
    EXPECT_FALSE(tray().showsHint());
}

} // namespace
