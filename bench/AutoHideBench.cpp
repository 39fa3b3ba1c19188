// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of one global pointer event while docks auto-hide: the rule alone, and the whole
// path through 20 controllers (posted check, store lookup, screens, rule) on the fake window
// layer. Qt's own delivery of the X event comes on top.
#include "fakes/FakeDockPanelFactory.h"
#include "fakes/FakePointerMonitor.h"
#include "fakes/FakeScreens.h"
#include "fakes/FakeServices.h"
#include "windows/AutoHideRule.h"
#include "windows/DockWindowsManager.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

constexpr int dockCount = 20;

void BM_RuleFor20Docks(benchmark::State& state) {
    const std::vector<QRectF> screens{QRectF(0, 0, 1920, 1080), QRectF(1920, 0, 1920, 1080)};
    std::vector<QRectF> frames;
    for (int i = 0; i < dockCount; ++i)
        frames.emplace_back(i * 90.0, 300, 80, 400);
    double x = 0;
    for (auto _ : state) {
        x = x > 3800 ? 0 : x + 7;
        for (const QRectF& frame : frames) {
            const AutoHideRule::Input input{{x, 500},         frame, &screens, screens[0],
                                            ScreenEdge::left, false};
            benchmark::DoNotOptimize(AutoHideRule::decide(input));
        }
    }
}
BENCHMARK(BM_RuleFor20Docks);

void BM_PointerEventThrough20Controllers(benchmark::State& state) {
    FakeServices fakes;
    VirtualScheduler& scheduler = fakes.scheduler;
    FakeDockPanelFactory panels;
    FakeScreens screens;
    FakePointerMonitor pointer(&screens);
    std::vector<Dock> docks;
    for (int i = 0; i < dockCount; ++i) {
        Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Dock %1").arg(i));
        dock.position = {0, 20.0 * i, 100, 200};
        dock.autoHide = true;
        docks.push_back(dock);
    }
    DockStoreTesting::setDocks(fakes.store, docks);
    DockWindowsManager manager(fakes.windowDependencies(panels, screens, pointer));
    double y = 0;
    for (auto _ : state) {
        // Far to the right of every dock: each check runs the whole rule and flips nothing.
        y = y > 700 ? 0 : y + 3;
        pointer.move({900, y});
        scheduler.runPending();
    }
    state.counters["checks/event"] = dockCount;
}
BENCHMARK(BM_PointerEventThrough20Controllers);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
