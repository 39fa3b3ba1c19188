// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/DockletRuntime.h"
#include "fakes/FakeSystemStatistics.h"
#include "fakes/FakeWallClock.h"
#include "fakes/VirtualScheduler.h"

#include <gtest/gtest.h>

#include <memory>

using namespace std::chrono_literals;

namespace {

constexpr double startOfTime = 699999970.0; // seconds since 2001: ten seconds into a minute
using R = DockletRuntime;

struct Sampler {
    FakeSystemStatistics statistics;
    VirtualScheduler scheduler;
    FakeWallClock clock{scheduler, startOfTime};
    std::unique_ptr<DockletRuntime> runtime;
    Subscription sampling;

    explicit Sampler(R::Figures figures = R::cpuLoad,
                     std::optional<CpuTicks> ticks = CpuTicks{100, 50, 850, 7},
                     std::optional<VolumeCapacity> capacity = VolumeCapacity{1'000'000}) {
        statistics.ticks = ticks;
        statistics.capacity = capacity;
        runtime = std::make_unique<DockletRuntime>(statistics, scheduler, clock);
        sampling = runtime->keepSampling(figures);
    }
    void seconds(int count) { scheduler.advance(std::chrono::seconds(count)); }
};

} // namespace

TEST(DockletRuntimeTest, EachFigureIsSampledOnlyWhileShownAndOnlyWhenItCanChange) {
    Sampler sampler(R::time | R::diskSpace);
    DockletRuntime& runtime = *sampler.runtime;
    int timeChanges = 0;
    auto observer = runtime.now.sink([&](double) { ++timeChanges; });
    // At once: the time and the disk; no load, nobody shows it.
    EXPECT_DOUBLE_EQ(*runtime.now, startOfTime);
    EXPECT_EQ(*runtime.diskFreeBytes, 1'000'000);
    EXPECT_EQ(sampler.statistics.diskReads, 1);
    EXPECT_EQ(sampler.statistics.cpuReads, 0);

    // The time at each new minute, the disk every 30 seconds and at each mount: within two
    // minutes two readings of the clock and four of the disk, and no more wake-ups than that.
    sampler.seconds(49);
    EXPECT_DOUBLE_EQ(*runtime.now, startOfTime) << "not before the minute";
    sampler.seconds(1);
    EXPECT_DOUBLE_EQ(*runtime.now, startOfTime + 50);
    sampler.seconds(70);
    EXPECT_EQ(timeChanges, 1 + 2);
    EXPECT_EQ(sampler.statistics.diskReads, 1 + 4);
    sampler.statistics.volumesChanged.emit();
    sampler.scheduler.runPending();
    EXPECT_EQ(sampler.statistics.diskReads, 1 + 4 + 1);
    // A clock set, or a computer waking, is read at once.
    sampler.clock.jump(3600);
    sampler.scheduler.runPending();
    EXPECT_DOUBLE_EQ(*runtime.now, startOfTime + 120 + 3600);

    // A CPU meter comes on screen: the load every second from a baseline; gone, no more.
    Subscription meter = runtime.keepSampling(R::cpuLoad);
    EXPECT_EQ(sampler.statistics.cpuReads, 1);
    sampler.statistics.ticks = CpuTicks{110, 50, 860, 7};
    sampler.seconds(1);
    EXPECT_DOUBLE_EQ(*runtime.cpuUsage, 0.5);
    meter.cancel();
    EXPECT_FALSE(runtime.isSampling(R::cpuLoad));
    sampler.seconds(10);
    EXPECT_EQ(sampler.statistics.cpuReads, 2);

    // A second docklet shares the cadence; the last one gone stops it and nothing is pending.
    Subscription second = runtime.keepSampling(R::time);
    sampler.sampling.cancel();
    EXPECT_TRUE(runtime.isSampling(R::time));
    EXPECT_FALSE(runtime.isSampling(R::diskSpace));
    second.cancel();
    EXPECT_EQ(sampler.scheduler.pendingCount(), 0u);
    const int reads = sampler.statistics.diskReads;
    sampler.seconds(300);
    EXPECT_EQ(sampler.statistics.diskReads, reads);
    // Back on screen: fresh figures, the load measured from a new baseline.
    sampler.statistics.ticks = CpuTicks{500, 50, 850, 7};
    Subscription again = runtime.keepSampling(R::cpuLoad | R::diskSpace);
    EXPECT_EQ(sampler.statistics.diskReads, reads + 1);
    sampler.statistics.ticks = CpuTicks{501, 50, 851, 7};
    sampler.seconds(1);
    EXPECT_DOUBLE_EQ(*runtime.cpuUsage, 0.5);
}

TEST(DockletRuntimeTest, TheLoadIsBusyOverTotalTicksSinceTheLastReadingThatMoved) {
    struct Step {
        std::optional<CpuTicks> ticks; // read at the next second
        double load;                   // published after it
    };
    struct Case {
        const char* name;
        std::vector<Step> steps; // after a first reading of (100, 50, 850, 7)
    };
    const Case cases[] = {
        // 30 user + 20 system busy against 50 idle; nice moves but counts nowhere.
        {"from tick deltas",
         {{CpuTicks{130, 70, 900, 500}, 0.5}, {CpuTicks{139, 70, 901, 500}, 0.9}}},
        {"counters that did not advance, or went back, keep the load and move the baseline",
         {{CpuTicks{175, 50, 875, 7}, 0.75},
          {CpuTicks{175, 50, 875, 7}, 0.75},
          {CpuTicks{175, 50, 800, 7}, 0.75},
          {CpuTicks{176, 50, 803, 7}, 0.25}}},
        {"a failed read keeps load and baseline, so the next spans the gap",
         {{CpuTicks{120, 50, 870, 7}, 0.5},
          {std::nullopt, 0.5},
          {std::nullopt, 0.5},
          {CpuTicks{150, 50, 880, 7}, 0.75}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sampler sampler;
        for (const Step& step : c.steps) {
            sampler.statistics.ticks = step.ticks;
            sampler.seconds(1);
            EXPECT_DOUBLE_EQ(*sampler.runtime->cpuUsage, step.load);
        }
    }
    // Without a first reading, the first success is only a baseline.
    Sampler failing(R::cpuLoad, std::nullopt);
    failing.statistics.ticks = CpuTicks{10, 10, 80, 0};
    failing.seconds(1);
    EXPECT_EQ(*failing.runtime->cpuUsage, 0.0);
    failing.statistics.ticks = CpuTicks{30, 10, 100, 0};
    failing.seconds(1);
    EXPECT_DOUBLE_EQ(*failing.runtime->cpuUsage, 0.5);
}

TEST(DockletRuntimeTest, DiskFiguresFollowTheQueryAndItsFailures) {
    Sampler never(R::diskSpace, CpuTicks{}, std::nullopt);
    never.seconds(100);
    EXPECT_EQ(*never.runtime->diskFreeBytes, 0) << "no query ever succeeded";

    Sampler sampler(R::diskSpace);
    int published = 0;
    auto observer = sampler.runtime->diskFreeBytes.sink([&](qint64) { ++published; });
    sampler.statistics.capacity.reset();
    sampler.seconds(30);
    EXPECT_EQ(*sampler.runtime->diskFreeBytes, 1'000'000) << "a failed query keeps the figure";
    EXPECT_EQ(published, 1);

    sampler.statistics.capacity = VolumeCapacity{std::nullopt};
    sampler.seconds(30);
    EXPECT_EQ(*sampler.runtime->diskFreeBytes, 0) << "an absent value counts as zero";

    sampler.statistics.capacity = VolumeCapacity{qint64(5) << 40};
    sampler.seconds(30);
    EXPECT_EQ(*sampler.runtime->diskFreeBytes, qint64(5) << 40);
}

TEST(DockletRuntimeTest, NothingRunsOnceTheRuntimeIsGone) {
    Sampler sampler(R::cpuLoad | R::diskSpace | R::time);
    // Due at the same moment as the first sample, but after it: the sample's posted work then
    // finds the runtime gone.
    auto destroy = sampler.scheduler.schedule(1000ms, [&] { sampler.runtime.reset(); });
    const int reads = sampler.statistics.cpuReads;
    sampler.seconds(100);
    EXPECT_EQ(sampler.statistics.cpuReads, reads);
    EXPECT_EQ(sampler.scheduler.pendingCount(), 0u);
}
