// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/DockletRuntime.h"
#include "fakes/FakeSystemStatistics.h"
#include "fakes/VirtualScheduler.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr double startOfTime = 700000000.0; // seconds since 2001

struct Sampler {
    FakeSystemStatistics statistics;
    VirtualScheduler scheduler;
    std::unique_ptr<DockletRuntime> runtime;
    Subscription sampling;

    explicit Sampler(std::optional<CpuTicks> ticks = CpuTicks{100, 50, 850, 7},
                     std::optional<VolumeCapacity> capacity = VolumeCapacity{1'000'000}) {
        statistics.ticks = ticks;
        statistics.capacity = capacity;
        runtime = std::make_unique<DockletRuntime>(statistics, scheduler, [this] {
            return startOfTime +
                   std::chrono::duration<double>(scheduler.now().time_since_epoch()).count();
        });
        sampling = runtime->keepSampling();
    }
    void seconds(int count) { scheduler.advance(std::chrono::seconds(count)); }
};

// Records the order in which the published fields are assigned.
struct Recorder {
    std::vector<std::string> events;
    std::vector<Subscription> subscriptions;

    explicit Recorder(DockletRuntime& runtime) {
        subscriptions.push_back(runtime.now.sink([this](double) { events.push_back("now"); }));
        subscriptions.push_back(
            runtime.diskFreeBytes.sink([this](qint64) { events.push_back("disk"); }));
        subscriptions.push_back(runtime.cpuUsage.sink([this](double) { events.push_back("cpu"); }));
        events.clear();
    }
};

} // namespace

TEST(DockletRuntimeTest, SamplesOnlyWhileAskedAndStartsWithTheDiskAndACpuBaseline) {
    Sampler sampler;
    DockletRuntime& runtime = *sampler.runtime;
    EXPECT_DOUBLE_EQ(*runtime.now, startOfTime);
    EXPECT_EQ(*runtime.diskFreeBytes, 1'000'000);
    EXPECT_EQ(*runtime.cpuUsage, 0.0);
    EXPECT_EQ(sampler.statistics.diskReads, 1);
    EXPECT_EQ(sampler.statistics.cpuReads, 1);
    EXPECT_EQ(runtime.tick(), 0);
    EXPECT_EQ(sampler.scheduler.pendingCount(), 1u) << "only the one-second timer";

    // A second docklet shares the timer; the last one gone stops it, and nothing is read.
    Subscription second = runtime.keepSampling();
    sampler.sampling.cancel();
    sampler.seconds(1);
    EXPECT_EQ(runtime.tick(), 1);
    second.cancel();
    EXPECT_FALSE(runtime.isSampling());
    EXPECT_EQ(sampler.scheduler.pendingCount(), 0u);
    sampler.seconds(10);
    EXPECT_EQ(sampler.statistics.cpuReads, 2);
    // Back on screen: the figures are fresh, the load measured from a new baseline.
    sampler.statistics.ticks = CpuTicks{500, 50, 850, 7};
    Subscription again = runtime.keepSampling();
    EXPECT_EQ(sampler.statistics.diskReads, 2);
    EXPECT_DOUBLE_EQ(*runtime.now, startOfTime + 11.0);
    sampler.statistics.ticks = CpuTicks{501, 50, 851, 7};
    sampler.seconds(1);
    EXPECT_DOUBLE_EQ(*runtime.cpuUsage, 0.5);
}

TEST(DockletRuntimeTest, TheLoadIsBusyOverTotalTicksSinceTheLastReadingThatMoved) {
    struct Step {
        std::optional<CpuTicks> ticks; // read at the next firing
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
        EXPECT_DOUBLE_EQ(*sampler.runtime->now, startOfTime + double(c.steps.size()));
    }
    // Without a first reading, the first success is only a baseline.
    Sampler failing(std::nullopt);
    failing.statistics.ticks = CpuTicks{10, 10, 80, 0};
    failing.seconds(1);
    EXPECT_EQ(*failing.runtime->cpuUsage, 0.0);
    failing.statistics.ticks = CpuTicks{30, 10, 100, 0};
    failing.seconds(1);
    EXPECT_DOUBLE_EQ(*failing.runtime->cpuUsage, 0.5);
}

TEST(DockletRuntimeTest, AFiringAssignsTimeThenTheDiskEveryFifthThenLoad) {
    Sampler sampler;
    Recorder recorder(*sampler.runtime);
    int willChange = 0;
    auto observer = sampler.runtime->onObjectWillChange([&] { ++willChange; });
    sampler.scheduler.advance(999ms);
    EXPECT_EQ(sampler.runtime->tick(), 0);
    sampler.statistics.ticks = CpuTicks{110, 60, 860, 7};
    sampler.seconds(4);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"now", "cpu", "now", "now", "now"}));
    recorder.events.clear();
    sampler.seconds(1);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"now", "disk"}));
    EXPECT_EQ(willChange, 7) << "one per assignment, equal values included";
    std::vector<int> firingsThatReadTheDisk;
    for (int firing = 6; firing <= 16; ++firing) {
        const int before = sampler.statistics.diskReads;
        sampler.seconds(1);
        if (sampler.statistics.diskReads != before)
            firingsThatReadTheDisk.push_back(firing);
    }
    EXPECT_EQ(firingsThatReadTheDisk, (std::vector<int>{10, 15}));
    EXPECT_EQ(sampler.statistics.cpuReads, 1 + 16);
    EXPECT_EQ(sampler.runtime->tick(), 16);
}

TEST(DockletRuntimeTest, DiskFiguresFollowTheQueryAndItsFailures) {
    Sampler never(CpuTicks{}, std::nullopt);
    never.seconds(20);
    EXPECT_EQ(*never.runtime->diskFreeBytes, 0) << "no query ever succeeded";

    Sampler sampler;
    Recorder recorder(*sampler.runtime);
    sampler.statistics.capacity.reset();
    sampler.seconds(5);
    EXPECT_EQ(*sampler.runtime->diskFreeBytes, 1'000'000) << "a failed query keeps the figure";
    EXPECT_EQ(std::count(recorder.events.begin(), recorder.events.end(), "disk"), 0);

    sampler.statistics.capacity = VolumeCapacity{std::nullopt};
    sampler.seconds(5);
    EXPECT_EQ(*sampler.runtime->diskFreeBytes, 0) << "an absent value counts as zero";

    sampler.statistics.capacity = VolumeCapacity{qint64(5) << 40};
    sampler.seconds(5);
    EXPECT_EQ(*sampler.runtime->diskFreeBytes, qint64(5) << 40);
}

TEST(DockletRuntimeTest, NothingRunsOnceTheRuntimeIsGone) {
    Sampler sampler;
    // Due at the same moment as the first firing, but after it: the firing's posted work then
    // finds the runtime gone.
    auto destroy = sampler.scheduler.schedule(1000ms, [&] { sampler.runtime.reset(); });
    const int reads = sampler.statistics.cpuReads;
    sampler.seconds(3);
    EXPECT_EQ(sampler.statistics.cpuReads, reads);
    EXPECT_EQ(sampler.scheduler.pendingCount(), 0u);
}
