// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/linux/LocalFileSystem.h"
#include "fakes/FakeDefaultApplications.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/VirtualScheduler.h"
#include "models/DockCodec.h"
#include "platform/QtWorker.h"
#include "store/DockStore.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

// Store operations on one dock of 20,000 items, each with its will-change notification and a
// stream subscriber, as the windows manager has. And the main thread's share of a save of a
// 12 MB docks.json (20,000 clippings of about 400 characters, read from the file as at start) to
// a real disk under $TMPDIR: the store writing it itself, or handing it to the worker.
namespace {

struct Fixture {
    Fixture() {
        fs.addFile(QStringLiteral("/d/docks.json"), "[]");
        store = std::make_unique<DockStore>(
            DockStore::Dependencies{fs, clock, apps, QStringLiteral("/d")});
        store->addDock(DockKind::clippings);
        dockId = store->docks->front().id;
        for (int i = 0; i < 20000; ++i)
            store->addItem(
                DockItem::makeClipping(QStringLiteral("clipping %1 with some text").arg(i)),
                dockId);
        willChange = store->onObjectWillChange([this] { ++notifications; });
        stream = store->docks.sink([this](const std::vector<Dock>& docks) {
            notifications += static_cast<int>(docks.size());
        });
    }
    FakeFileSystem fs;
    VirtualScheduler clock;
    FakeDefaultApplications apps;
    std::unique_ptr<DockStore> store;
    QUuid dockId;
    Subscription willChange;
    Subscription stream;
    int notifications = 0;
};

void BM_AddThenRemoveItem(benchmark::State& state) {
    Fixture f;
    const DockItem item = DockItem::makeClipping(QStringLiteral("new"));
    for (auto _ : state) {
        f.store->addItem(item, f.dockId);
        f.store->removeItem(item.id, f.dockId);
    }
    benchmark::DoNotOptimize(f.notifications);
}
BENCHMARK(BM_AddThenRemoveItem)->Unit(benchmark::kMicrosecond);

void BM_UpdateItemInTheMiddle(benchmark::State& state) {
    Fixture f;
    DockItem item = f.store->docks->front().tabs[0].items[10000];
    int round = 0;
    for (auto _ : state) {
        // A real change each time: one that changes nothing tells nobody.
        item.name = QStringLiteral("renamed %1").arg(++round % 2);
        f.store->updateItem(item, f.dockId);
    }
}
BENCHMARK(BM_UpdateItemInTheMiddle)->Unit(benchmark::kMicrosecond);

void BM_RemoveFirstItem(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        state.PauseTiming();
        const DockItem first = f.store->docks->front().tabs[0].items.front();
        state.ResumeTiming();
        f.store->removeItem(first.id, f.dockId);
        state.PauseTiming();
        f.store->addItem(first, f.dockId);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RemoveFirstItem)->Unit(benchmark::kMicrosecond);

QByteArray bigClippingsFile() {
    Dock dock = Dock::makeDefault(DockKind::clippings, QStringLiteral("Clippings"));
    auto& items = dock.tabs[0].items;
    const QString words = QStringLiteral("the dock \"quoted\" café /home/me/report.pdf emoji 😀 ");
    for (int i = 0; i < 20000; ++i)
        items.push_back(DockItem::makeClipping(QString::number(i) + words.repeated(8)));
    return DockCodec::encode({dock}).value();
}

// Timed: the change's save falling due, on the main thread. Not timed: the change itself and,
// with the worker, waiting for the write and taking its answer.
void BM_SaveOfTwelveMegabytes(benchmark::State& state) {
    const bool onWorker = state.range(0) != 0;
    QTemporaryDir folder;
    LocalFileSystem fs;
    fs.writeAtomically(folder.filePath(QStringLiteral("docks.json")), bigClippingsFile(), nullptr);
    VirtualScheduler clock;
    FakeDefaultApplications apps;
    QtWorker worker;
    DockStore store(DockStore::Dependencies{fs, clock, apps, folder.path(), nullptr,
                                            onWorker ? &worker : nullptr});
    const QUuid dockId = store.docks->front().id;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        store.addItem(DockItem::makeClipping(QString::number(++round)), dockId);
        state.ResumeTiming();
        clock.advance(std::chrono::milliseconds(400));
        state.PauseTiming();
        worker.waitForAll();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["MB"] = double(QFileInfo(store.filePath()).size()) / 1e6;
}
BENCHMARK(BM_SaveOfTwelveMegabytes)
    ->ArgName("onWorker")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
