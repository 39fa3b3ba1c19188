// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/VirtualScheduler.h"
#include "platform/QtScheduler.h"
#include "platform/QtWorker.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

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
