// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window: one tick of the opacity slider end to end (the store changes, every
// panel re-applies its dock and repaints, the editor and the sidebar refresh, the tray menu is
// rebuilt) with 20 docks, one of them holding 20,000 items; and opening the window. Runs
// offscreen, or on X11 with QT_QPA_PLATFORM=xcb.
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
#include <QSlider>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int dockCount = 20;
constexpr int itemCount = 20000;

std::vector<Dock> manyDocks() {
    std::vector<Dock> docks;
    for (int i = 0; i < dockCount; ++i) {
        Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Dock %1").arg(i));
        dock.position = {40.0 * i, 100, 180, 400};
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
                fakes.services, DockWindowDependencies{panelFactory, screens, pointer});
        QCoreApplication::processEvents();
    }

    FakeServicesOn<QtScheduler> fakes{manyDocks()};
    X11WindowHints hints;
    DockPanelWindowFactory panelFactory{hints};
    QtScreens screens;
    XInputPointerMonitor pointer;
    std::unique_ptr<DockWindowsManager> manager;
    FakeNotifications notifications;
    TrayMenu trayMenu{fakes.store, notifications};
};

Program& program(bool withPanels = true) {
    static Program with(true);
    static Program without(false);
    return withPanels ? with : without;
}

double openOnce(Program& p, std::unique_ptr<SettingsWindow>& window) {
    QElapsedTimer timer;
    timer.start();
    window = std::make_unique<SettingsWindow>(p.fakes.services);
    window->present({});
    QCoreApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e6;
}

void BM_OpacitySliderTick(benchmark::State& state) {
    Program& p = program(state.range(0) != 0);
    SettingsWindow window(p.fakes.services);
    window.present({});
    window.preferences().select(p.fakes.store.docks->front().id);
    QCoreApplication::processEvents();
    QSlider* slider = window.findChild<EditorSlider*>(QStringLiteral("opacity"))->slider();
    int position = 0;
    for (auto _ : state) {
        position = position == 900 ? 100 : position + 1;
        slider->setValue(position);
        // The refreshes and repaints the change asks for run on the next pass of the loop.
        QCoreApplication::processEvents();
    }
    state.counters["opacity"] = p.fakes.store.docks->front().appearance.opacity;
}
BENCHMARK(BM_OpacitySliderTick)->ArgName("panels")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

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
    return 0;
}
