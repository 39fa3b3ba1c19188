// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/CoalescedTask.h"
#include "fakes/VirtualScheduler.h"

#include <gtest/gtest.h>

#include <memory>

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
