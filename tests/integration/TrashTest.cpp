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
