// SPDX-License-Identifier: GPL-3.0-or-later
// An items dock whose tab holds 20,000 items, drawn offscreen (or on X11 with
// QT_QPA_PLATFORM=xcb): the first frame, a scroll step, the view's work for a change to one item,
// a tile dragged over the tab and moved in it, and the memory the long tab costs over an empty
// one.
#include "fakes/FakeServices.h"
#include "views/DockContentView.h"
#include "views/DockItemGridView.h"
#include "views/TileDragPayload.h"

#include <QApplication>
#include <QImage>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>

namespace {

constexpr int itemCount = 20000;
const QSize panelSize(400, 800);

Dock longDock(int count) {
    Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Long"));
    dock.position = {0, 0, double(panelSize.width()), double(panelSize.height())};
    dock.columns = 5;
    for (int i = 0; i < count; ++i) {
        // Files, folders and applications, some with paths that exist and icons of their own.
        DockItem item = DockItem::makeDocklet(DockletKind::separator, QString());
        item.kind = i % 3 == 0 ? DockItemKind::application : DockItemKind::file;
        item.docklet.reset();
        item.name = QStringLiteral("Item number %1 with a long name").arg(i);
        item.path = QStringLiteral("/data/item-%1").arg(i);
        dock.tabs.front().items.push_back(std::move(item));
    }
    return dock;
}

// What the view draws, into an image of the panel's size.
void paint(QWidget& view, QImage& target) {
    QPainter painter(&target);
    view.render(&painter);
}

struct Setup {
    explicit Setup(int count) : fakes({longDock(count)}) {
        // A third of the paths exist and have icons of their own, as an installed desktop would.
        QPixmap pixmap(64, 64);
        pixmap.fill(Qt::darkCyan);
        for (int i = 0; i < count; i += 3) {
            const QString path = QStringLiteral("/data/item-%1").arg(i);
            fakes.fileSystem.addFile(path);
            fakes.fileIcons.icons.insert(path, QIcon(pixmap));
        }
    }
    const QUuid& dockId() { return fakes.store.docks->front().id; }

    FakeServices fakes;
    QImage frame{panelSize, QImage::Format_ARGB32_Premultiplied};
};

void BM_FirstFrame(benchmark::State& state) {
    Setup setup(itemCount);
    for (auto _ : state) {
        DockContentView view(setup.dockId(), setup.fakes.contentServices());
        view.resize(panelSize);
        // The children come on the next pass of the loop.
        setup.fakes.scheduler.runPending();
        paint(view, setup.frame);
        benchmark::DoNotOptimize(setup.frame.bits());
    }
}
BENCHMARK(BM_FirstFrame)->Unit(benchmark::kMillisecond);

void BM_ScrollStep(benchmark::State& state) {
    Setup setup(itemCount);
    DockContentView view(setup.dockId(), setup.fakes.contentServices());
    view.resize(panelSize);
    setup.fakes.scheduler.runPending();
    paint(view, setup.frame);
    QScrollBar* bar = view.grid()->verticalScrollBar();
    // A wheel step: three lines.
    const int step = 3 * bar->singleStep();
    for (auto _ : state) {
        bar->setValue(bar->value() + step >= bar->maximum() ? 0 : bar->value() + step);
        paint(view, setup.frame);
    }
    state.counters["resolved"] = double(view.grid()->images().resolutions());
}
BENCHMARK(BM_ScrollStep)->Unit(benchmark::kMicrosecond);

// Shown, with its children made and first painted, so that later repaints go through Qt's own
// path and cover only what was marked.
void showOnScreen(DockContentView& view, Setup& setup) {
    view.resize(panelSize);
    view.show();
    setup.fakes.scheduler.runPending();
    QCoreApplication::processEvents();
}

// Counts the area the grid repaints.
class PaintedArea : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            for (const QRect& rect : static_cast<QPaintEvent*>(event)->region())
                pixels += double(rect.width()) * rect.height();
        return false;
    }
    double pixels = 0;
};

void BM_ChangeOneItem(benchmark::State& state) {
    const bool withPaint = state.range(0) != 0;
    Setup setup(itemCount);
    DockContentView view(setup.dockId(), setup.fakes.contentServices());
    showOnScreen(view, setup);
    PaintedArea painted;
    view.grid()->viewport()->installEventFilter(&painted);
    DockStore& store = setup.fakes.store;
    int round = 0;
    for (auto _ : state) {
        // The store's own work is not the view's.
        state.PauseTiming();
        DockItem item = store.docks->front().tabs.front().items[std::size_t(round++ % 10)];
        item.name = QStringLiteral("Renamed %1").arg(round);
        store.updateItem(item, setup.dockId());
        state.ResumeTiming();
        // The refresh the change posted, then the repaint it asked for.
        setup.fakes.scheduler.runPending();
        if (withPaint)
            QCoreApplication::processEvents();
    }
    state.counters["repainted_px"] =
        benchmark::Counter(painted.pixels, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ChangeOneItem)->ArgName("withPaint")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A tile dragged over the long tab, scrolled half-way: each pointer move finds the place and
// marks what changed (the mark and the tiles making room); the repaint follows.
void BM_DragMove(benchmark::State& state) {
    Setup setup(itemCount);
    DockContentView view(setup.dockId(), setup.fakes.contentServices());
    showOnScreen(view, setup);
    DockItemGridView& grid = *view.grid();
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum() / 2);
    QCoreApplication::processEvents();
    const Dock& dock = *setup.fakes.store.dock(setup.dockId());
    const std::unique_ptr<QMimeData> data(
        TileDragPayload::make(dock.tabs.front().items[10], setup.dockId(), dock.tabs.front().id));
    QDragEnterEvent enter(QPoint(40, 300), Qt::CopyAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(grid.viewport(), &enter);
    PaintedArea painted;
    grid.viewport()->installEventFilter(&painted);
    int x = 0;
    for (auto _ : state) {
        // Across the tiles of a row in the middle of the viewport, a few pixels a move.
        x = (x + 7) % panelSize.width();
        QDragMoveEvent move(QPoint(x, 300), Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(grid.viewport(), &move);
        // The spring's frame, then the repaint.
        setup.fakes.scheduler.advance(std::chrono::milliseconds(16));
        QCoreApplication::processEvents();
    }
    state.counters["repainted_px"] =
        benchmark::Counter(painted.pixels, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DragMove)->Unit(benchmark::kMicrosecond);

// The store's work for a tile moved within the long tab (the save follows on its timer).
void BM_MoveOneItem(benchmark::State& state) {
    Setup setup(itemCount);
    DockStore& store = setup.fakes.store;
    const QUuid tab = store.dock(setup.dockId())->tabs.front().id;
    int round = 0;
    for (auto _ : state) {
        const DockTab& shown = store.dock(setup.dockId())->tabs.front();
        const QUuid moved = shown.items[std::size_t(round++ % 100)].id;
        store.moveItems({moved}, setup.dockId(), setup.dockId(), tab, itemCount / 2);
    }
}
BENCHMARK(BM_MoveOneItem)->Unit(benchmark::kMicrosecond);

// Heap in use (allocated blocks and large mapped ones): unlike the resident size, it drops when
// memory is freed, so that measurements one after the other do not hide each other.
double heapMegabytes() {
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / 1e6;
}

// Memory of a whole dock (store, view, first frame, a scroll through) for a count of items.
double dockMegabytes(int count, bool withView, bool scrollThrough) {
    const double before = heapMegabytes();
    auto setup = std::make_unique<Setup>(count);
    if (!withView)
        return heapMegabytes() - before;
    auto view = std::make_unique<DockContentView>(setup->dockId(), setup->fakes.contentServices());
    view->resize(panelSize);
    setup->fakes.scheduler.runPending();
    paint(*view, setup->frame);
    if (scrollThrough) {
        QScrollBar* bar = view->grid()->verticalScrollBar();
        for (int value = 0; value < bar->maximum(); value += bar->pageStep()) {
            bar->setValue(value);
            paint(*view, setup->frame);
        }
    }
    return heapMegabytes() - before;
}

void reportMemory() {
    // Warm up Qt's caches (fonts, symbols) so that neither figure pays for them.
    dockMegabytes(100, true, false);
    const double empty = dockMegabytes(0, true, false);
    const double records = dockMegabytes(itemCount, false, false);
    const double first = dockMegabytes(itemCount, true, false);
    const double scrolled = dockMegabytes(itemCount, true, true);
    std::printf("heap: empty dock %.1f MB; %d items: records alone (store, fake files and icons) "
                "%.1f MB, with the view after the first frame %.1f MB, after scrolling through "
                "every row %.1f MB\n",
                empty, itemCount, records, first, scrolled);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    reportMemory();
    return 0;
}
