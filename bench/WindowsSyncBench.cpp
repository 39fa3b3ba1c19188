// One change of the store's dock list with 20 docks: every controller re-applies its dock, on
// the fake window layer and on real panel windows (offscreen, or X11 when run with
// QT_QPA_PLATFORM=xcb). Also reports what runs while no dock auto-hides.
#include "fakes/FakeDefaultApplications.h"
#include "fakes/FakeDockPanelFactory.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeHotKeyBackend.h"
#include "fakes/FakePointerMonitor.h"
#include "fakes/FakeScreens.h"
#include "fakes/VirtualScheduler.h"
#include "runtime/HotKeyManager.h"
#include "store/DockStore.h"
#include "windows/DockWindowsEnvironment.h"
#include "windows/DockWindowsManager.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int dockCount = 20;

struct Setup {
    FakeFileSystem fileSystem;
    VirtualScheduler scheduler;
    FakeDefaultApplications defaultApplications;
    DockStore store{{fileSystem, scheduler, defaultApplications, QStringLiteral("/data")}};
    FakeHotKeyBackend backend;
    HotKeyManager hotKeys{backend, scheduler};

    Setup() {
        std::vector<Dock> docks;
        for (int i = 0; i < dockCount; ++i) {
            Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Dock %1").arg(i));
            dock.position = {40.0 * i, 100, 180, 400};
            dock.hotKey = {std::uint32_t(i), HotKeyBinding::cmdKey};
            docks.push_back(dock);
        }
        store.docks.set(docks);
        // The store's own save of the seeded list; what is left pending afterwards is ours.
        scheduler.advance(std::chrono::seconds(1));
    }

    void touchStore() {
        store.docks.mutate([](std::vector<Dock>& docks) { docks[0].name = docks[0].name; });
    }
};

void BM_SyncWithFakePanels(benchmark::State& state) {
    Setup setup;
    FakeDockPanelFactory panels;
    FakeScreens screens;
    FakePointerMonitor pointer(&screens);
    DockWindowsManager manager(setup.store, nullptr,
                               {setup.scheduler, setup.hotKeys, panels, screens, pointer});
    for (auto _ : state)
        setup.touchStore();
    state.counters["monitors"] = double(pointer.activeCount());
    state.counters["pending"] = double(setup.scheduler.pendingCount());
}
BENCHMARK(BM_SyncWithFakePanels)->Unit(benchmark::kMicrosecond);

void BM_SyncWithRealPanels(benchmark::State& state) {
    const bool withPaints = state.range(0) != 0;
    Setup setup;
    DockWindowsEnvironment environment;
    DockWindowsManager manager(setup.store, nullptr,
                               environment.dependencies(setup.scheduler, setup.hotKeys));
    QCoreApplication::processEvents();
    for (auto _ : state) {
        setup.touchStore();
        // The repaints the change asks for run on the next pass of the loop.
        if (!withPaints)
            state.PauseTiming();
        QCoreApplication::processEvents();
        if (!withPaints)
            state.ResumeTiming();
    }
    state.counters["xinput"] = environment.pointerMonitor.isListening() ? 1 : 0;
    state.counters["pending"] = double(setup.scheduler.pendingCount());
}
// Fixed iterations: the paused repaints would otherwise stretch the run to minutes.
BENCHMARK(BM_SyncWithRealPanels)
    ->ArgName("withPaints")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("With no auto-hiding dock, 'monitors', 'xinput' and 'pending' (timers and posted "
                "work left after a change) should all be 0.\n");
    return 0;
}
