// SPDX-License-Identifier: GPL-3.0-or-later
// One store change with 20 docks, 5 of them with a hot key, through the real windows manager,
// hot key manager and X11 backend on a private Xvfb (the panels are fakes): what a change costs
// us in time and in X round trips, when no chord changed and when one did.
#include "backends/x11/X11HotKeyBackend.h"
#include "fakes/FakeDockPanelFactory.h"
#include "fakes/FakePointerMonitor.h"
#include "fakes/FakeScreens.h"
#include "fakes/FakeServices.h"
#include "integration/support/XSession.h"
#include "platform/QtScheduler.h"
#include "runtime/HotKeyManager.h"
#include "store/DockStore.h"
#include "windows/DockWindowsManager.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <benchmark/benchmark.h>

#include <xcb/xcb.h>

#include <cstdio>

namespace {

constexpr int dockCount = 20;
constexpr int hotKeyDockCount = 5;
// macOS key codes of A, S, D, F, H, and G as the spare chord a change moves to.
constexpr std::uint32_t hotKeyCodes[hotKeyDockCount] = {0, 1, 2, 3, 4};
constexpr std::uint32_t spareKeyCode = 5;

struct Setup {
    FakeServicesOn<QtScheduler> fakes;
    DockStore& store = fakes.store;
    X11HotKeyBackend backend{fakes.scheduler};
    HotKeyManager hotKeys{backend, fakes.scheduler};
    FakeDockPanelFactory panels;
    FakeScreens screens;
    FakePointerMonitor pointer{&screens};
    std::unique_ptr<DockWindowsManager> manager;
    QUuid first;

    Setup() {
        for (int i = 0; i < dockCount; ++i) {
            store.addDock(DockKind::items);
            store.mutateDock(store.docks->back().id, [i](Dock& dock) {
                dock.position = {40.0 * i, 100, 180, 400};
                if (i < hotKeyDockCount)
                    dock.hotKey = {hotKeyCodes[i],
                                   HotKeyBinding::cmdKey | HotKeyBinding::optionKey};
            });
        }
        first = store.docks->front().id;
        manager = std::make_unique<DockWindowsManager>(
            DockWindowDependencies{store, hotKeys, fakes.scheduler, panels, screens, pointer});
        QCoreApplication::processEvents();
    }

    // A real change of one dock, as a new clipping or a frame save makes.
    void rename(int iteration) {
        store.mutateDock(
            first, [&](Dock& dock) { dock.name = QStringLiteral("Dock %1").arg(iteration % 2); });
    }
    // Moves the first dock's chord back and forth between two keys.
    void moveChord(int iteration) {
        store.mutateDock(first, [&](Dock& dock) {
            dock.hotKey.keyCode = iteration % 2 ? spareKeyCode : hotKeyCodes[0];
        });
    }
};

xcb_connection_t* connection() {
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

// The sequence number of a request sent now: the difference of two is the number of requests
// the connection sent in between, plus one.
unsigned int sequenceNow() {
    return xcb_no_operation(connection()).sequence;
}

template <typename Change> void run(benchmark::State& state, Change change) {
    const bool withEventLoop = state.range(0) != 0;
    Setup setup;
    const std::uint64_t roundTripsBefore = setup.backend.roundTrips();
    const unsigned int sequenceBefore = sequenceNow();
    int iteration = 0;
    for (auto _ : state) {
        change(setup, ++iteration);
        // The work a change posts (a deferred release) runs on the next pass of the loop.
        if (!withEventLoop)
            state.PauseTiming();
        QCoreApplication::processEvents();
        if (!withEventLoop)
            state.ResumeTiming();
    }
    const unsigned int sent = sequenceNow() - sequenceBefore - 1;
    state.counters["roundTrips"] = benchmark::Counter(
        double(setup.backend.roundTrips() - roundTripsBefore), benchmark::Counter::kAvgIterations);
    state.counters["requests"] =
        benchmark::Counter(double(sent), benchmark::Counter::kAvgIterations);
}

void BM_StoreChange(benchmark::State& state) {
    run(state, [](Setup& setup, int iteration) { setup.rename(iteration); });
}
BENCHMARK(BM_StoreChange)
    ->ArgName("withEventLoop")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);

void BM_ChordChange(benchmark::State& state) {
    run(state, [](Setup& setup, int iteration) { setup.moveChord(iteration); });
}
BENCHMARK(BM_ChordChange)
    ->ArgName("withEventLoop")
    ->Arg(1)
    ->Iterations(500)
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    XSession::Options options;
    options.windowManager = XSession::WindowManager::none;
    XSession session(options);
    if (!session.start()) {
        std::fprintf(stderr, "bench: could not start Xvfb\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("roundTrips: waits for the X server per change; requests: X requests sent per "
                "change (Qt's own included). With no chord changed both should be 0.\n");
    return 0;
}
