// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/VirtualScheduler.h"
#include "platform/QtScheduler.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

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
