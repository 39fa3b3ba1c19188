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

TEST(DockletRuntimeTest, FirstLoadArrivesAtTheFirstFiringFromTickDeltas) {
    Sampler sampler;
    DockletRuntime& runtime = *sampler.runtime;
    // 30 user + 20 system busy against 50 idle; nice moves but counts nowhere.
    sampler.statistics.ticks = CpuTicks{130, 70, 900, 500};
    sampler.scheduler.advance(999ms);
    EXPECT_EQ(*runtime.cpuUsage, 0.0);
    EXPECT_EQ(runtime.tick(), 0);
    sampler.scheduler.advance(1ms);
    EXPECT_EQ(runtime.tick(), 1);
    EXPECT_DOUBLE_EQ(*runtime.cpuUsage, 0.5);
    EXPECT_DOUBLE_EQ(*runtime.now, startOfTime + 1.0);

    sampler.statistics.ticks = CpuTicks{130 + 9, 70, 900 + 1, 500};
    sampler.seconds(1);
    EXPECT_DOUBLE_EQ(*runtime.cpuUsage, 0.9);
    EXPECT_DOUBLE_EQ(*runtime.now, startOfTime + 2.0);
}

TEST(DockletRuntimeTest, CountersThatDidNotAdvanceKeepTheLoadButMoveTheBaseline) {
    Sampler sampler;
    DockletRuntime& runtime = *sampler.runtime;
    sampler.statistics.ticks = CpuTicks{175, 50, 875, 7}; // 75 busy of 100
    sampler.seconds(1);
    ASSERT_DOUBLE_EQ(*runtime.cpuUsage, 0.75);

    Recorder recorder(runtime);
    sampler.seconds(1); // nothing advanced: total 0
    EXPECT_DOUBLE_EQ(*runtime.cpuUsage, 0.75);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"now"})) << "no cpu publication";

    // Idle going backwards (a total below zero) is treated the same way.
    sampler.statistics.ticks = CpuTicks{175, 50, 800, 7};
    sampler.seconds(1);
    EXPECT_DOUBLE_EQ(*runtime.cpuUsage, 0.75);

    // Measured against the moved baseline (175, 50, 800), not the first one.
    sampler.statistics.ticks = CpuTicks{176, 50, 803, 7};
    sampler.seconds(1);
    EXPECT_DOUBLE_EQ(*runtime.cpuUsage, 0.25);
}

TEST(DockletRuntimeTest, AFailedCpuReadKeepsLoadAndBaselineSoTheNextSpansTheGap) {
    Sampler sampler(std::nullopt);
    DockletRuntime& runtime = *sampler.runtime;
    sampler.statistics.ticks = CpuTicks{10, 10, 80, 0}; // first success: baseline only
    sampler.seconds(1);
    EXPECT_EQ(*runtime.cpuUsage, 0.0);

    sampler.statistics.ticks = CpuTicks{30, 10, 100, 0};
    sampler.seconds(1);
    ASSERT_DOUBLE_EQ(*runtime.cpuUsage, 0.5);

    sampler.statistics.ticks.reset();
    sampler.seconds(2);
    EXPECT_DOUBLE_EQ(*runtime.cpuUsage, 0.5);

    sampler.statistics.ticks = CpuTicks{60, 10, 110, 0}; // 30 busy of 40 since the baseline
    sampler.seconds(1);
    EXPECT_DOUBLE_EQ(*runtime.cpuUsage, 0.75);
}

TEST(DockletRuntimeTest, TheDiskIsSampledAtCreationThenEveryFifthFiring) {
    Sampler sampler;
    std::vector<int> firingsThatReadTheDisk;
    for (int firing = 1; firing <= 16; ++firing) {
        const int before = sampler.statistics.diskReads;
        sampler.seconds(1);
        if (sampler.statistics.diskReads != before)
            firingsThatReadTheDisk.push_back(firing);
    }
    EXPECT_EQ(firingsThatReadTheDisk, (std::vector<int>{5, 10, 15}));
    EXPECT_EQ(sampler.statistics.cpuReads, 1 + 16);
    EXPECT_EQ(sampler.runtime->tick(), 16);
}

TEST(DockletRuntimeTest, AFiringAssignsTimeThenDiskThenLoad) {
    Sampler sampler;
    Recorder recorder(*sampler.runtime);
    int willChange = 0;
    auto observer = sampler.runtime->onObjectWillChange([&] { ++willChange; });
    sampler.statistics.ticks = CpuTicks{110, 60, 860, 7};
    sampler.seconds(4);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"now", "cpu", "now", "now", "now"}));
    recorder.events.clear();
    sampler.seconds(1);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"now", "disk"}));
    EXPECT_EQ(willChange, 7) << "one per assignment, equal values included";
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
