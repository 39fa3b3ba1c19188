#include "ItemsDockFixture.h"
#include "views/DockItemTileView.h"

#include <QPainter>

namespace {

using namespace std::chrono_literals;

struct DropCase {
    const char* name;
    std::function<QMimeData*()> payload;
    Qt::DropActions offered;
    // "kind name path-or-url" per item added; empty: the drop is refused.
    QStringList added;
};

QMimeData* urlsOf(QStringList urls) {
    QList<QUrl> list;
    for (const QString& url : urls)
        list.append(QUrl(url));
    return ItemsDockTest::urls(list);
}

QByteArray utf16(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

std::vector<DropCase> dropCases() {
    return {
        {"files and folders in order",
         [] {
             return urlsOf({"file:///home/u/notes.txt", "file:///home/u/Projects/"});
         },
         Qt::CopyAction,
         {"file notes.txt /home/u/notes.txt", "folder Projects /home/u/Projects"}},
        {"a source that proposes Move is answered Copy",
         [] { return urlsOf({"file:///home/u/notes.txt"}); },
         Qt::MoveAction | Qt::CopyAction,
         {"file notes.txt /home/u/notes.txt"}},
        {"desktop entries and app bundles are applications; APP is not",
         [] {
             return urlsOf({"file:///usr/share/applications/xterm.desktop", "file:///opt/Tool.app/",
                            "file:///opt/Other.APP"});
         },
         Qt::CopyAction,
         {"application XTerm /usr/share/applications/xterm.desktop",
          "application Tool /opt/Tool.app", "folder Other.APP /opt/Other.APP"}},
        {"web links become url items named by their title, else their host, else themselves",
         [] {
             QMimeData* data = urlsOf({"https://example.com/page?q=1", "https://other.org/",
                                       "mailto:someone@example.com"});
             data->setData(QStringLiteral("text/x-moz-url"),
                           utf16(QStringLiteral("https://example.com/page?q=1\nExample Page")));
             return data;
         },
         Qt::CopyAction,
         {"url Example Page https://example.com/page?q=1", "url other.org https://other.org/",
          "url mailto:someone@example.com mailto:someone@example.com"}},
        {"a path that is not UTF-8 is added as it decodes",
         [] { return urlsOf({"file:///home/u/caf%E9.txt"}); },
         Qt::CopyAction,
         {QStringLiteral("file caf\uFFFD.txt /home/u/caf\uFFFD.txt")}},
        {"no URLs at all", [] { return new QMimeData; }, Qt::CopyAction, {}},
        {"only text",
         [] {
             auto* data = new QMimeData;
             data->setText(QStringLiteral("/home/u/notes.txt"));
             return data;
         },
         Qt::CopyAction,
         {}},
        {"URLs that are neither files nor links",
         [] {
             return urlsOf({"file:", "::"});
         },
         Qt::CopyAction,
         {}},
    };
}

QString describe(const DockItem& item) {
    return QStringLiteral("%1 %2 %3")
        .arg(storedString(item.kind), item.name,
             item.path.value_or(item.urlString.value_or(QString())));
}

class GridDrops : public ItemsDockTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(GridDrops, AddWhatTheDropHoldsAndAnswerCopy) {
    const DropCase& c = GetParam();
    start(dockWith({}));
    fakes->fileSystem.addDirectory(QStringLiteral("/home/u/Projects"));
    fakes->fileSystem.addFile(QStringLiteral("/usr/share/applications/xterm.desktop"), {},
                              QStringLiteral("XTerm"));
    fakes->fileSystem.addDirectory(QStringLiteral("/opt/Other.APP"));
    const std::unique_ptr<QMimeData> data(c.payload());
    const auto revision = store().revision(dockID);
    const DropResult result = drop(*data, QPoint(90, 200), c.offered);
    QStringList added;
    for (const DockItem& item : storedItems())
        added.append(describe(item));
    EXPECT_EQ(added, c.added) << c.name;
    EXPECT_EQ(result.accepted, !c.added.isEmpty()) << c.name;
    if (result.accepted) {
        EXPECT_EQ(result.action, Qt::CopyAction) << c.name;
    } else {
        EXPECT_EQ(store().revision(dockID), revision) << c.name;
    }
    EXPECT_FALSE(grid().isDropTargeted());
}

INSTANTIATE_TEST_SUITE_P(DockItemGridView, GridDrops, ::testing::ValuesIn(dropCases()),
                         [](const auto& info) { return ItemsDockTest::caseName(info.param.name); });

class DockItemGridViewTest : public ItemsDockTest {};

TEST_F(DockItemGridViewTest, ADropOnATabThatDoesNotExistIsRefused) {
    Dock dock = dockWith({});
    dock.selectedTabIndex = 3;
    start(dock);
    const std::unique_ptr<QMimeData> data(urls({QUrl::fromLocalFile(QStringLiteral("/a"))}));
    EXPECT_FALSE(drop(*data, QPoint(90, 200)).accepted);
    EXPECT_TRUE(storedItems().empty());
}

TEST_F(DockItemGridViewTest, ThousandsOfUrlsArriveInOneChange) {
    start(dockWith({}));
    QList<QUrl> list;
    for (int i = 0; i < 5000; ++i)
        list.append(QUrl::fromLocalFile(QStringLiteral("/data/file-%1").arg(i)));
    const std::unique_ptr<QMimeData> data(urls(list));
    const auto revision = store().revision(dockID);
    EXPECT_TRUE(drop(*data, QPoint(90, 200)).accepted);
    EXPECT_EQ(storedItems().size(), 5000u);
    EXPECT_EQ(store().revision(dockID), revision + 1);
}

TEST_F(DockItemGridViewTest, TheTrashTileTakesFilesAndReportsWhetherOneWent) {
    start(dockWith({docklet(DockletKind::trash)}));
    fakes->trash.refused = {QStringLiteral("/home/u/locked")};
    const std::unique_ptr<QMimeData> some(
        urls({QUrl::fromLocalFile(QStringLiteral("/home/u/a")),
              QUrl::fromLocalFile(QStringLiteral("/home/u/locked"))}));
    const DropResult result = drop(*some, tileCentre(0), Qt::MoveAction | Qt::CopyAction);
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(result.action, Qt::CopyAction);
    EXPECT_EQ(fakes->trash.trashed, QStringList{QStringLiteral("/home/u/a")});
    // Nothing went: refused. The dock itself never changes.
    const std::unique_ptr<QMimeData> none(
        urls({QUrl::fromLocalFile(QStringLiteral("/home/u/locked"))}));
    EXPECT_FALSE(drop(*none, tileCentre(0)).accepted);
    EXPECT_EQ(storedItems().size(), 1u);
}

TEST_F(DockItemGridViewTest, ADragLightsTheGridOrTheTrashUpUntilItLeaves) {
    start(dockWith({docklet(DockletKind::trash)}));
    const std::unique_ptr<QMimeData> data(urls({QUrl::fromLocalFile(QStringLiteral("/a"))}));
    QDragEnterEvent enter(QPoint(90, 300), Qt::CopyAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport(), &enter);
    EXPECT_TRUE(grid().isDropTargeted());
    QDragMoveEvent overTrash(tileCentre(0), Qt::CopyAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport(), &overTrash);
    EXPECT_FALSE(grid().isDropTargeted());
    EXPECT_TRUE(overTrash.isAccepted());
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(viewport(), &leave);
    EXPECT_FALSE(grid().isDropTargeted());
}

TEST_F(DockItemGridViewTest, ColumnsFitThePanelAndTheStoredCountStays) {
    std::vector<DockItem> items;
    for (int i = 0; i < 8; ++i)
        items.push_back(pathItem(DockItemKind::file, QStringLiteral("/f%1").arg(i)));
    start(dockWith(items));
    EXPECT_EQ(grid().gridLayout().columns, 2);
    // Every tile lies inside the panel and can be clicked.
    for (std::int64_t i = 0; i < 8; ++i) {
        EXPECT_GE(grid().cellRect(i).left(), 0) << i;
        EXPECT_LT(grid().cellRect(i).right(), viewport()->width()) << i;
    }
    click(1);
    EXPECT_EQ(fakes->workspace.requests.size(), 1);
    view->resize(276, 420);
    settle();
    EXPECT_EQ(grid().gridLayout().columns, 4);
    EXPECT_EQ(stored().columns, 4);
}

TEST_F(DockItemGridViewTest, DrawsAndResolvesOnlyTheTilesInView) {
    std::vector<DockItem> items;
    for (int i = 0; i < 20000; ++i)
        items.push_back(pathItem(DockItemKind::file, QStringLiteral("/f%1").arg(i)));
    start(dockWith(std::move(items)));
    viewport()->grab();
    const int first = grid().images().resolutions();
    EXPECT_GT(first, 0);
    EXPECT_LE(first, 2 * 6); // two columns, about five rows in view
    grid().verticalScrollBar()->setValue(grid().verticalScrollBar()->maximum());
    viewport()->grab();
    EXPECT_LE(grid().images().resolutions(), 2 * first);
    // One item changed: only its icon is resolved again.
    const int before = grid().images().resolutions();
    DockItem last = storedItems().back();
    last.name = QStringLiteral("Renamed");
    store().updateItem(last, dockID);
    settle();
    viewport()->grab();
    EXPECT_EQ(grid().images().resolutions(), before + 1);
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

TEST_F(DockItemGridViewTest, SamplesOnlyWhileALiveDockletIsShown) {
    start(dockWith({docklet(DockletKind::trash), docklet(DockletKind::separator)}));
    EXPECT_FALSE(fakes->docklets.isSampling());
    store().addItem(docklet(DockletKind::clock), dockID);
    settle();
    EXPECT_TRUE(fakes->docklets.isSampling());
    view->hide();
    EXPECT_FALSE(fakes->docklets.isSampling());
    view->show();
    EXPECT_TRUE(fakes->docklets.isSampling());
    store().removeItem(storedItems().back().id, dockID);
    settle();
    EXPECT_FALSE(fakes->docklets.isSampling());
    // Once the store has saved, nothing is left to run: no timer of any kind.
    fakes->scheduler.advance(1s);
    EXPECT_EQ(fakes->scheduler.pendingCount(), 0u);
}

// Counts the paints of the grid's viewport and the area they cover.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            region += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }
    int paints = 0;
    QRegion region;
};

TEST_F(DockItemGridViewTest, ADockletRepaintsItsOwnRectangleOnlyWhenWhatItShowsChanges) {
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    fakes = nullptr;
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
        DockItemTileView::iconRect(storedItems()[1], grid().cellRect(1), grid().gridLayout());
    EXPECT_EQ(counter.region.boundingRect(), meter);
    QLocale::setDefault(QLocale::c());
}

} // namespace
