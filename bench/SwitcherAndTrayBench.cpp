// SPDX-License-Identifier: GPL-3.0-or-later
// The application switcher with 50 running applications, one of them renamed per refresh (the
// monitor's refresh alone, and with a switcher showing it), and a clippings tray of 20,000
// clippings: its first frame and the view's work for one clipping added.
#include "fakes/FakeServices.h"
#include "views/ClippingsDockView.h"
#include "views/DockContentView.h"
#include "views/ProcessDockView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

constexpr int appCount = 50;
constexpr int clippingCount = 20000;
const QSize panelSize(400, 800);

std::vector<RunningApplication> runningApps(int renamed) {
    std::vector<RunningApplication> apps;
    // The window system keeps an application's icon between refreshes, as the X11 source does.
    static const QIcon icon = [] {
        QPixmap pixmap(64, 64);
        pixmap.fill(Qt::darkCyan);
        return QIcon(pixmap);
    }();
    for (int i = 0; i < appCount; ++i) {
        RunningApplication app = FakeRunningApplications::make(
            QStringLiteral("app-%1").arg(i), QStringLiteral("Application %1").arg(i, 2), 100 + i);
        if (i == 0)
            app.localizedName = QStringLiteral("Application 0 (%1)").arg(renamed);
        app.icon = icon;
        apps.push_back(std::move(app));
    }
    return apps;
}

Dock dockOf(DockKind kind, int clippings) {
    Dock dock = Dock::makeDefault(kind, QStringLiteral("Bench"));
    dock.position = {0, 0, double(panelSize.width()), double(panelSize.height())};
    dock.orientation = DockOrientation::horizontal;
    for (int i = 0; i < clippings; ++i)
        dock.tabs.front().items.push_back(DockItem::makeClipping(
            QStringLiteral("Clipping number %1\nwith a second line").arg(i)));
    return dock;
}

void refreshes(benchmark::State& state, bool withView) {
    FakeServices fakes({dockOf(DockKind::applicationSwitcher, 0)});
    fakes.runningApplications.current = {runningApps(0), std::nullopt};
    fakes.runningApplications.notifyChange();
    fakes.scheduler.runPending();
    std::unique_ptr<DockContentView> view;
    if (withView) {
        view = std::make_unique<DockContentView>(fakes.store.docks->front().id,
                                                 fakes.contentServices());
        view->resize(panelSize);
        fakes.scheduler.runPending();
    }
    const int before = withView ? view->processes()->tileImageRenders() : 0;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fakes.runningApplications.current = {runningApps(++round), std::nullopt};
        fakes.runningApplications.notifyChange();
        state.ResumeTiming();
        // The monitor's refresh, then the switcher's, both posted.
        fakes.scheduler.runPending();
    }
    if (withView)
        state.counters["imagesPerRefresh"] =
            double(view->processes()->tileImageRenders() - before) / double(round);
}

void BM_MonitorRefresh(benchmark::State& state) {
    refreshes(state, false);
}
BENCHMARK(BM_MonitorRefresh)->Unit(benchmark::kMicrosecond);

void BM_MonitorAndSwitcherRefresh(benchmark::State& state) {
    refreshes(state, true);
}
BENCHMARK(BM_MonitorAndSwitcherRefresh)->Unit(benchmark::kMicrosecond);

void BM_TrayFirstFrame(benchmark::State& state) {
    FakeServices fakes({dockOf(DockKind::clippings, clippingCount)});
    QImage frame(panelSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        DockContentView view(fakes.store.docks->front().id, fakes.contentServices());
        view.resize(panelSize);
        fakes.scheduler.runPending();
        QPainter painter(&frame);
        view.render(&painter);
        benchmark::DoNotOptimize(frame.bits());
    }
}
BENCHMARK(BM_TrayFirstFrame)->Unit(benchmark::kMillisecond);

void BM_TrayAddOneClipping(benchmark::State& state) {
    FakeServices fakes({dockOf(DockKind::clippings, clippingCount)});
    const QUuid dockId = fakes.store.docks->front().id;
    DockContentView view(dockId, fakes.contentServices());
    view.resize(panelSize);
    fakes.scheduler.runPending();
    for (auto _ : state) {
        state.PauseTiming();
        fakes.store.addItem(DockItem::makeClipping(QStringLiteral("added")), dockId, std::nullopt);
        state.ResumeTiming();
        // The content view's refresh, which the store's change posted.
        fakes.scheduler.runPending();
    }
}
BENCHMARK(BM_TrayAddOneClipping)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
