// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/GioTrash.h"
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

// GioTrash on its own; which names and folders the trash lists back is ItemsDockTest's, through
// a real drag onto the trash docklet.

using Session::trashedPaths;

namespace {
using namespace std::chrono_literals;

QString home() {
    return QDir::homePath();
}
} // namespace

TEST(TrashTest, AMissingDataFolderIsMadeRatherThanTrashingElsewhere) {
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    ASSERT_TRUE(QDir(dataHome).removeRecursively());
    const QString path = home() + QStringLiteral("/lonely.txt");
    ASSERT_TRUE(Session::writeFile(path, "content"));
    GioTrash trash;
    EXPECT_TRUE(trash.moveToTrash(path));
    EXPECT_TRUE(QFile::exists(dataHome + QStringLiteral("/Trash/files/lonely.txt")));
    EXPECT_TRUE(trashedPaths().contains(path));
}

TEST(TrashTest, WhatCannotBeTrashedAnswersFalse) {
    GioTrash trash;
    EXPECT_FALSE(trash.moveToTrash(home() + QStringLiteral("/does not exist")));
    EXPECT_FALSE(trash.moveToTrash(QString()));
    // A kernel file: no trash can take it, not even for root.
    EXPECT_FALSE(trash.moveToTrash(QStringLiteral("/proc/self/status")));
    EXPECT_TRUE(QFile::exists(QStringLiteral("/proc/self/status")));
}

TEST(TrashTest, ItsStateFollowsGioTrashAndEmptyingDeletesOnlyWhatItHolds) {
    GioTrash trash;
    int reports = 0;
    const Subscription watch = trash.observe([&] { ++reports; });
    trash.empty();
    ASSERT_TRUE(Session::waitUntil([&] { return !trash.hasItems(); }, 10s));
    // A folder with a link to a file outside the trash, trashed by another program.
    const QString folder = home() + QStringLiteral("/project");
    const QString outside = home() + QStringLiteral("/outside.txt");
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/deep")));
    ASSERT_TRUE(Session::writeFile(folder + QStringLiteral("/deep/a.txt"), "a"));
    ASSERT_TRUE(Session::writeFile(outside, "kept"));
    ASSERT_TRUE(QFile::link(outside, folder + QStringLiteral("/link")));
    reports = 0;
    ASSERT_EQ(Session::run(QStringLiteral("gio"), {QStringLiteral("trash"), folder}).exitCode, 0);
    EXPECT_TRUE(Session::waitUntil([&] { return reports > 0; }, 10s)) << "never told";
    EXPECT_TRUE(trash.hasItems());
    reports = 0;
    trash.empty();
    EXPECT_TRUE(Session::waitUntil([&] { return reports > 0 && !trash.hasItems(); }, 10s));
    const QString trashFolder = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash");
    EXPECT_TRUE(QDir(trashFolder + QStringLiteral("/info"))
                    .isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    EXPECT_EQ(Session::readFile(outside), QByteArray("kept"));
}
