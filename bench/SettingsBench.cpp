// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window: one tick of the opacity slider end to end (the slider moves, the store
// changes, every observer hears of it and, on the next pass, the changed dock's panel repaints
// and the editor refreshes; the other panels, the sidebar, the tray menu and the hot keys are
// left alone) with 20 docks, 5 with hot keys, one of them holding 20,000 items; and opening the
// window. Counts the calls to the hot key backend and the tray menu's rebuilds per tick (both
// should be 0). Runs offscreen, or on X11 with QT_QPA_PLATFORM=xcb.
#include "backends/x11/QtScreens.h"
#include "backends/x11/X11WindowHints.h"
#include "backends/x11/XInputPointerMonitor.h"
#include "fakes/FakeNotifications.h"
#include "fakes/FakeServices.h"
#include "platform/QtScheduler.h"
#include "views/EditorSlider.h"
#include "views/PreferencesView.h"
#include "views/SettingsWindow.h"
#include "views/TrayMenu.h"
#include "windows/DockPanelWindowFactory.h"
#include "windows/DockWindowsManager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QSlider>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int dockCount = 20;
constexpr int hotKeyDockCount = 5;
constexpr int itemCount = 20000;

std::vector<Dock> manyDocks() {
    std::vector<Dock> docks;
    for (int i = 0; i < dockCount; ++i) {
        Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Dock %1").arg(i));
        dock.position = {40.0 * i, 100, 180, 400};
        if (i < hotKeyDockCount)
            dock.hotKey = {std::uint32_t(i), HotKeyBinding::cmdKey | HotKeyBinding::optionKey};
        docks.push_back(dock);
    }
    auto& items = docks.front().tabs.front().items;
    for (int i = 0; i < itemCount; ++i)
        items.push_back(DockItem::makeClipping(QStringLiteral("Clipping %1").arg(i)));
    return docks;
}

// The running program's parts for the settings window, on the event loop; without the panels,
// to tell their share from the settings window's.
struct Program {
    explicit Program(bool withPanels) {
        if (withPanels)
            manager = std::make_unique<DockWindowsManager>(
                fakes.windowDependencies(panelFactory, screens, pointer));
        QCoreApplication::processEvents();
    }

    FakeServicesOn<QtScheduler> fakes{manyDocks()};
    X11WindowHints hints;
    DockPanelWindowFactory panelFactory{hints, fakes.contentServices()};
    QtScreens screens;
    XInputPointerMonitor pointer;
    std::unique_ptr<DockWindowsManager> manager;
    FakeNotifications notifications;
    TrayMenu trayMenu{fakes.store, fakes.scheduler, notifications};
};

// Made on first use, ended before the application object (main) is.
std::unique_ptr<Program> programs[2];
Program& program(bool withPanels = true) {
    auto& made = programs[withPanels ? 1 : 0];
    if (!made)
        made = std::make_unique<Program>(withPanels);
    return *made;
}

double openOnce(Program& p, std::unique_ptr<SettingsWindow>& window) {
    QElapsedTimer timer;
    timer.start();
    window =
        std::make_unique<SettingsWindow>(p.fakes.preferencesServices(), p.fakes.windowActivation);
    window->present({});
    QCoreApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e6;
}

// Counts the rebuilds of a menu: each one clears it, which removes its actions.
struct RebuildCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ActionRemoved && !removing) {
            removing = true;
            ++rebuilds;
        } else if (event->type() == QEvent::ActionAdded) {
            removing = false;
        }
        return false;
    }
    bool removing = false;
    int rebuilds = 0;
};

// One tick, end to end: the store's change and every refresh and repaint it asks for, which run
// on the next pass of the loop. A function of its own so that callgrind can count it alone
// (--toggle-collect='*sliderTick*').
long sliderTicks = 0;
[[gnu::noinline]] void sliderTick(QSlider* slider, int position) {
    ++sliderTicks;
    slider->setValue(position);
    QCoreApplication::processEvents();
    // A repaint the pass asked for may still be waiting: it belongs to this tick too.
    QCoreApplication::sendPostedEvents();
}

void BM_OpacitySliderTick(benchmark::State& state) {
    Program& p = program(state.range(0) != 0);
    SettingsWindow window(p.fakes.preferencesServices(), p.fakes.windowActivation);
    window.present({});
    window.preferences().select(p.fakes.store.docks->front().id);
    QCoreApplication::processEvents();
    QSlider* slider = window.findChild<EditorSlider*>(QStringLiteral("opacity"))->slider();
    RebuildCounter trayRebuilds;
    p.trayMenu.menu()->installEventFilter(&trayRebuilds);
    const std::size_t hotKeyCallsBefore = p.fakes.hotKeyBackend.calls();
    int position = 0;
    for (auto _ : state) {
        position = position == 900 ? 100 : position + 1;
        sliderTick(slider, position);
    }
    p.trayMenu.menu()->removeEventFilter(&trayRebuilds);
    state.counters["opacity"] = p.fakes.store.docks->front().appearance.opacity;
    state.counters["hotKeyCalls"] =
        benchmark::Counter(double(p.fakes.hotKeyBackend.calls() - hotKeyCallsBefore),
                           benchmark::Counter::kAvgIterations);
    state.counters["trayRebuilds"] =
        benchmark::Counter(double(trayRebuilds.rebuilds), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_OpacitySliderTick)
    ->ArgName("panels")
    ->Arg(1)
    ->Arg(0)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);

void BM_OpenSettingsWindowAgain(benchmark::State& state) {
    Program& p = program();
    std::unique_ptr<SettingsWindow> window;
    for (auto _ : state) {
        openOnce(p, window);
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenSettingsWindowAgain)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    {
        // The first opening in the process pays for styles, fonts and icons: what a user sees.
        std::unique_ptr<SettingsWindow> window;
        const double first = openOnce(program(), window);
        std::printf("First opening of the settings window (20 docks, one of 20,000 items): "
                    "%.1f ms\n",
                    first);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Divides callgrind's count of the ticks.
    std::printf("Slider ticks run: %ld\n", sliderTicks);
    for (auto& made : programs)
        made.reset();
    return 0;
}
