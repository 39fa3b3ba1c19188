// SPDX-License-Identifier: GPL-3.0-or-later
// What a click on an application tile and a program's badge updates cost in our own logic:
// matching the tile's entry against the running applications (100 windows) and deciding which
// window comes forward, and one LauncherEntry update through the badge model. The D-Bus and
// painting side of badge updates is measured by bench/badges.sh on the real program.
#include "fakes/FakeServices.h"
#include "runtime/LaunchMatch.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

constexpr int applicationCount = 50; // two windows each

// Fifty applications of other entries, and the one the tile stands for last, as in a busy
// session: every other application is compared before the match is found.
std::vector<RunningApplication> busySession() {
    std::vector<RunningApplication> apps;
    for (int i = 0; i < applicationCount; ++i) {
        RunningApplication app = FakeRunningApplications::make(
            u"pid:"_qs + QString::number(i), u"Application "_qs + QString::number(i), i + 100);
        const bool tile = i == applicationCount - 1;
        app.desktopId = tile ? u"org.example.Mail"_qs : u"org.example.App"_qs + QString::number(i);
        app.wmInstance = tile ? u"mail"_qs : u"app"_qs + QString::number(i);
        app.wmClass = tile ? u"Mail"_qs : u"App"_qs + QString::number(i);
        app.launchedDesktopFile = u"/usr/share/applications/"_qs + app.desktopId + u".desktop"_qs;
        app.windows = {std::uint32_t(2 * i + 1), std::uint32_t(2 * i + 2)};
        apps.push_back(std::move(app));
    }
    return apps;
}

const QString mailPath = u"/usr/share/applications/org.example.Mail.desktop"_qs;
const LauncherIdentity mail{mailPath, u"org.example.Mail"_qs, {}};

void BM_MatchAnEntryAmong100Windows(benchmark::State& state) {
    const auto apps = busySession();
    for (auto _ : state)
        benchmark::DoNotOptimize(LaunchMatch::matching(mail, apps));
}
BENCHMARK(BM_MatchAnEntryAmong100Windows)->Unit(benchmark::kMicrosecond);

// The whole click: the entry read (from the fake desktop), matched, the window chosen and
// asked to come forward.
void BM_ClickOnARunningApplicationAmong100Windows(benchmark::State& state) {
    FakeServices f;
    f.desktop.addLauncher(mailPath, u"org.example.Mail"_qs);
    f.runningApplications.current.applications = busySession();
    for (std::uint32_t w = 100; w > 0; --w)
        f.runningApplications.recency.push_back(w);
    f.runningApplications.notifyChange();
    f.scheduler.runPending();
    for (auto _ : state) {
        f.launcher.open(mailPath);
        f.runningApplications.requests.clear();
    }
}
BENCHMARK(BM_ClickOnARunningApplicationAmong100Windows)->Unit(benchmark::kMicrosecond);

// One update as a mail client sends it, its sender heard at most ten times a second.
void BM_BadgeUpdate(benchmark::State& state) {
    FakeBadgeUpdates bus;
    VirtualScheduler scheduler;
    BadgeModel model(bus, scheduler);
    int changes = 0;
    const Subscription heard = model.onChange([&](const QString&) { ++changes; });
    qlonglong count = 0;
    for (auto _ : state) {
        bus.send(u":1.42"_qs, u"application://org.example.Mail.desktop"_qs,
                 {{"count", ++count}, {"count-visible", true}});
        scheduler.advance(std::chrono::milliseconds(10));
    }
    state.counters["heard per update"] = double(changes) / double(state.iterations());
}
BENCHMARK(BM_BadgeUpdate)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
