// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/FakeDefaultApplications.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/VirtualScheduler.h"
#include "store/DockStore.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

// Store operations on one dock of 20,000 items, each with its will-change notification and a
// stream subscriber, as the windows manager has.
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

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
