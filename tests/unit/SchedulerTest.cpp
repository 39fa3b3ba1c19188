// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/VirtualScheduler.h"
#include "platform/CoalescedTask.h"
#include "platform/QtScheduler.h"
#include "platform/QtWorker.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

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

TEST(QtWorkerTest, RunsInOrderOffTheMainThreadAndAnswersThereUnlessDropped) {
    QtWorker worker;
    const std::thread::id mainThread = std::this_thread::get_id();
    // Written by the worker, read once it has finished.
    std::string order;
    bool offMain = true;
    const auto piece = [&](char name) {
        return [&, name] {
            order += name;
            offMain = offMain && std::this_thread::get_id() != mainThread;
        };
    };
    std::string answers;
    auto first = worker.run(piece('1'), [&] { answers += 'a'; });
    auto dropped = worker.run(piece('2'), [&] { answers += 'x'; });
    auto third = worker.run(piece('3'), [&] { answers += 'c'; });
    dropped.cancel();
    worker.waitForAll();
    EXPECT_EQ(order, "123");
    EXPECT_TRUE(offMain);
    EXPECT_EQ(answers, "") << "answered on a later pass of the event loop";
    QElapsedTimer timer;
    timer.start();
    while (answers.size() < 2 && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
    EXPECT_EQ(answers, "ac");
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
