// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/linux/LinuxSystemStatistics.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>
#include <sys/statvfs.h>

#include <gtest/gtest.h>

TEST(SystemStatisticsTest, ReadsTheHostCpuLineOfProcStat) {
    LinuxSystemStatistics statistics;
    const auto first = statistics.cpuTicks();
    ASSERT_TRUE(first);
    EXPECT_GT(first->user + first->system + first->idle, 0u);

    // Keep one core busy a while: the counters only go up, and busy time moves.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    volatile std::uint64_t spin = 0;
    while (std::chrono::steady_clock::now() < until)
        spin = spin + 1;
    const auto second = statistics.cpuTicks();
    ASSERT_TRUE(second);
    EXPECT_GE(second->user, first->user);
    EXPECT_GE(second->system, first->system);
    EXPECT_GE(second->idle, first->idle);
    EXPECT_GT((second->user + second->system) - (first->user + first->system), 0u);
}

TEST(SystemStatisticsTest, FoldsInterruptsIntoSystemAndIoWaitIntoIdle) {
    const auto ticks = LinuxSystemStatistics::parseCpuLine("cpu  10 2 30 400 5 6 7 8 9 10\n");
    ASSERT_TRUE(ticks);
    EXPECT_EQ(*ticks, (CpuTicks{10, 30 + 6 + 7, 400 + 5, 2}));
    for (const char* bad : {"", "cpu0 1 2 3 4 5 6 7", "cpu 1 2 3", "cpu 1 2 x 4 5 6 7", "intr 1"})
        EXPECT_FALSE(LinuxSystemStatistics::parseCpuLine(bad)) << bad;
}

TEST(SystemStatisticsTest, AvailableSpaceAtHomeMatchesStatvfs) {
    LinuxSystemStatistics statistics;
    const auto capacity = statistics.homeVolumeCapacity();
    ASSERT_TRUE(capacity);
    ASSERT_TRUE(capacity->availableBytes);
    struct statvfs info {};
    ASSERT_EQ(statvfs(QDir::homePath().toLocal8Bit().constData(), &info), 0);
    const auto expected = static_cast<qint64>(info.f_bavail) * static_cast<qint64>(info.f_frsize);
    // Other programs write meanwhile: allow 64 MB of drift.
    EXPECT_NEAR(static_cast<double>(*capacity->availableBytes), static_cast<double>(expected),
                64.0 * 1024 * 1024);
}

TEST(SystemStatisticsTest, AMountIsToldAndNothingElse) {
    QTemporaryDir directory;
    LinuxSystemStatistics statistics;
    int told = 0;
    Subscription volumes = statistics.onVolumesChanged([&] { ++told; });
    QCoreApplication::processEvents();
    EXPECT_EQ(told, 0);
    if (::mount("moorline-test", qPrintable(directory.path()), "tmpfs", 0, nullptr) != 0)
        GTEST_SKIP() << "mounting needs the right to (root)";
    EXPECT_TRUE(QTest::qWaitFor([&] { return told > 0; }, 5000));
    ::umount(qPrintable(directory.path()));
    const int mounted = told;
    EXPECT_TRUE(QTest::qWaitFor([&] { return told > mounted; }, 5000));
}
