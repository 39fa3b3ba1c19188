#include "backends/desktop/GioTrash.h"
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using Desktop::trashedPaths;

namespace {
QString home() {
    return QDir::homePath();
}
} // namespace

TEST(TrashTest, TrashedFilesAreListedWithTheirOriginalPath) {
    GioTrash trash;
    const QString folder = home() + QStringLiteral("/Documents");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QStringList names = {QStringLiteral("plain.txt"), QStringLiteral("with spaces.txt"),
                               QStringLiteral("Ünïcødé – файл 100%.txt")};
    for (const QString& name : names) {
        const QString path = folder + u'/' + name;
        ASSERT_TRUE(Desktop::writeFile(path, "content"));
        EXPECT_TRUE(trash.moveToTrash(path)) << name.toStdString();
        EXPECT_FALSE(QFile::exists(path));
    }
    const QStringList listed = trashedPaths();
    for (const QString& name : names)
        EXPECT_TRUE(listed.contains(folder + u'/' + name)) << name.toStdString() << "\n"
                                                           << listed.join(u'\n').toStdString();

    // A folder goes whole.
    const QString sub = folder + QStringLiteral("/Old Folder");
    ASSERT_TRUE(QDir().mkpath(sub + QStringLiteral("/inner")));
    EXPECT_TRUE(trash.moveToTrash(sub));
    EXPECT_FALSE(QFile::exists(sub));
    EXPECT_TRUE(trashedPaths().contains(sub));
}

TEST(TrashTest, AMissingDataFolderIsMadeRatherThanTrashingElsewhere) {
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    ASSERT_TRUE(QDir(dataHome).removeRecursively());
    const QString path = home() + QStringLiteral("/lonely.txt");
    ASSERT_TRUE(Desktop::writeFile(path, "content"));
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
