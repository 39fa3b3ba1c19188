// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/VirtualScheduler.h"
#include "platform/CoalescedTask.h"
#include "platform/QtScheduler.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace std::chrono_literals;

// The virtual clock's cancelling is proven by the store's save delay (DockStoreTest).
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

TEST(CoalescedTaskTest, ABurstRunsOnceLaterAgainAfterARunAndNeverOnceItsOwnerIsGone) {
    VirtualScheduler scheduler;
    int runs = 0;
    auto task = std::make_unique<CoalescedTask>(scheduler, [&] { ++runs; });
    for (int i = 0; i < 5; ++i)
        task->request();
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(scheduler.pendingCount(), 1u);
    scheduler.runPending();
    EXPECT_EQ(runs, 1);
    // A request once the run has begun is a new burst.
    task->request();
    scheduler.runPending();
    EXPECT_EQ(runs, 2);
    // A run already posted does nothing once the task (and the object it works on) is gone.
    task->request();
    task.reset();
    scheduler.runPending();
    EXPECT_EQ(runs, 2);
}
