#include "fakes/VirtualScheduler.h"
#include "platform/QtScheduler.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(VirtualSchedulerTest, CancelledWorkNeverRunsAndRestartingGivesOneRunAfterTheBurst) {
    VirtualScheduler scheduler;
    std::vector<long> runs;
    Subscription pending;
    for (int i = 0; i < 5; ++i) {
        pending = scheduler.schedule(
            400ms, [&] { runs.push_back(scheduler.now().time_since_epoch().count()); });
        scheduler.advance(100ms);
    }
    scheduler.advance(299ms);
    EXPECT_TRUE(runs.empty());
    scheduler.advance(1ms);
    EXPECT_EQ(runs, std::vector<long>{800});
    scheduler.advance(10s);
    EXPECT_EQ(runs.size(), 1u);
}

TEST(VirtualSchedulerTest, RunsInDueOrderThenPostingOrderAndRepeatsUntilDropped) {
    VirtualScheduler scheduler;
    std::string order;
    auto tick = scheduler.repeat(1000ms, [&] { order += 't'; });
    auto late = scheduler.schedule(1500ms, [&] { order += 'L'; });
    scheduler.post([&] {
        order += 'a';
        scheduler.post([&] { order += 'c'; });
    });
    scheduler.post([&] { order += 'b'; });
    scheduler.runPending();
    EXPECT_EQ(order, "abc");
    scheduler.advance(3s);
    EXPECT_EQ(order, "abctLtt");
    tick.cancel();
    scheduler.advance(3s);
    EXPECT_EQ(order, "abctLtt");
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST(QtSchedulerTest, DelayedWorkRunsOnTheEventLoopAndDroppedWorkDoesNot) {
    QtScheduler scheduler;
    std::string order;
    auto dropped = scheduler.schedule(0ms, [&] { order += 'x'; });
    auto kept = scheduler.schedule(0ms, [&] { order += 'd'; });
    scheduler.post([&] { order += 'p'; });
    dropped.cancel();
    QElapsedTimer timer;
    timer.start();
    while (order.size() < 2 && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(order, "pd");
}
