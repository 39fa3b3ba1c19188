// SPDX-License-Identifier: GPL-3.0-or-later
// One change of one dock's name: on the fake window layer with 20, 1,000 and 5,000 docks (only
// the changed dock's controller hears of it), and on real panel windows with 20 (offscreen, or
// X11 when run with QT_QPA_PLATFORM=xcb). Also reports what runs while no dock auto-hides.
#include "backends/x11/QtScreens.h"
#include "backends/x11/X11WindowHints.h"
#include "backends/x11/XInputPointerMonitor.h"
#include "fakes/FakeDockPanelFactory.h"
#include "fakes/FakePointerMonitor.h"
#include "fakes/FakeScreens.h"
#include "fakes/FakeServices.h"
#include "windows/DockPanelWindowFactory.h"
#include "windows/DockWindowsManager.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

struct Setup {
    FakeServices fakes;
    DockStore& store = fakes.store;
    VirtualScheduler& scheduler = fakes.scheduler;

    explicit Setup(int dockCount = 20) {
        std::vector<Dock> docks;
        for (int i = 0; i < dockCount; ++i) {
            Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Dock %1").arg(i));
            dock.position = {40.0 * i, 100, 180, 400};
            dock.hotKey = {std::uint32_t(i), HotKeyBinding::cmdKey};
            docks.push_back(dock);
        }
        DockStoreTesting::setDocks(store, docks);
        // The store's own save of the seeded list; what is left pending afterwards is ours.
        scheduler.advance(std::chrono::seconds(1));
    }

    // A real change each time: one that changes nothing tells nobody.
    void touchStore() {
        store.mutateDock(store.docks->front().id, [this](Dock& dock) {
            dock.name = QStringLiteral("Dock %1").arg(++touches % 2);
        });
    }
    int touches = 0;
};

void BM_SyncWithFakePanels(benchmark::State& state) {
    Setup setup(int(state.range(0)));
    FakeDockPanelFactory panels;
    FakeScreens screens;
    FakePointerMonitor pointer(&screens);
    DockWindowsManager manager(setup.fakes.windowDependencies(panels, screens, pointer));
    for (auto _ : state)
        setup.touchStore();
    state.counters["monitors"] = double(pointer.activeCount());
    state.counters["pending"] = double(setup.scheduler.pendingCount());
}
BENCHMARK(BM_SyncWithFakePanels)
    ->ArgName("docks")
    ->Arg(20)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMicrosecond);

void BM_SyncWithRealPanels(benchmark::State& state) {
    const bool withPaints = state.range(0) != 0;
    Setup setup;
    X11WindowHints hints;
    DockPanelWindowFactory panelFactory(hints, setup.fakes.contentServices());
    QtScreens screens;
    XInputPointerMonitor pointer;
    DockWindowsManager manager(setup.fakes.windowDependencies(panelFactory, screens, pointer));
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
    state.counters["xinput"] = pointer.isListening() ? 1 : 0;
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
    std::printf("With no auto-hiding dock, 'monitors' and 'xinput' should be 0. 'pending' is what "
                "a change leaves on the virtual clock: the store's save delay (1), and with real "
                "panels the changed dock's content view's one coalesced refresh; nothing "
                "repeats.\n");
    return 0;
}
