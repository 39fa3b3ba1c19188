// SPDX-License-Identifier: GPL-3.0-or-later
// What a save killed before its rename leaves beside docks.json, against real files: QSaveFile's
// temporary files go, nothing else in the folder does (MoorlineAppTest starts the program on one).

#include "backends/linux/LocalFileSystem.h"
#include "integration/support/DesktopTools.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>
#include <unistd.h>

namespace {

class InterruptedSaveTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return folder_.filePath(name); }
    void write(const QString& name, const QByteArray& contents = "[]") {
        ASSERT_TRUE(Session::writeFile(path(name), contents));
    }
    QStringList entries(const QString& folder = {}) const {
        return QDir(path(folder))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }

    QTemporaryDir folder_;
    LocalFileSystem fileSystem_;
};

TEST_F(InterruptedSaveTest, RemovesQSaveFileTemporariesOfTheFileAndNothingElse) {
    write(u"docks.json"_qs);
    const QStringList leftovers = {u"docks.json.AbCdEf"_qs, u"docks.json.qwerty"_qs,
                                   u"docks.json.ZZZZZZ"_qs};
    for (const QString& name : leftovers)
        write(name, QByteArray(1 << 20, 'x'));
    const QStringList kept = {
        u"docks.json"_qs,
        u"docks.json.unreadable-20260101-120000"_qs, // set aside for the user
        u"docks.json.AbCdE"_qs,                      // five letters
        u"docks.json.AbCdEfG"_qs,                    // seven
        u"docks.json.AbC1Ef"_qs,                     // a digit
        u"docks.json.ÄbCdEf"_qs,                     // not ASCII
        u"docks.json-AbCdEf"_qs,
        u".docks.json.AbCdEf"_qs,
        u"other.json.AbCdEf"_qs,
    };
    for (const QString& name : kept.mid(1))
        write(name);
    // Not plain files: a folder, and a link (whose target must survive).
    ASSERT_TRUE(QDir().mkpath(path(u"docks.json.FoLdEr"_qs)));
    write(u"precious"_qs);
    ASSERT_EQ(
        ::symlink(qPrintable(path(u"precious"_qs)), qPrintable(path(u"docks.json.LiNkEd"_qs))), 0);

    EXPECT_EQ(fileSystem_.removeInterruptedWrites(path(u"docks.json"_qs)), 3);
    QStringList expected =
        kept + QStringList{u"docks.json.FoLdEr"_qs, u"docks.json.LiNkEd"_qs, u"precious"_qs};
    expected.sort();
    EXPECT_EQ(entries(), expected);
}

TEST_F(InterruptedSaveTest, MatchesTheNamesQtItselfMakes) {
    // QTemporaryFile names files as QSaveFile does (the same generator in Qt).
    for (int i = 0; i < 50; ++i) {
        QTemporaryFile file(path(u"docks.json"_qs));
        file.setAutoRemove(false);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.fileName().startsWith(path(u"docks.json."_qs)))
            << file.fileName().toStdString();
    }
    EXPECT_EQ(fileSystem_.removeInterruptedWrites(path(u"docks.json"_qs)), 50);
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(InterruptedSaveTest, ThroughALinkLooksBesideTheFileItLeadsTo) {
    // Saves write through a symbolic link, so their temporary files lie beside its target.
    write(u"dotfiles/moorline.json"_qs);
    write(u"dotfiles/moorline.json.AbCdEf"_qs);
    write(u"docks.json.AbCdEf"_qs); // not beside the file saves write: not ours
    ASSERT_EQ(::symlink("dotfiles/moorline.json", qPrintable(path(u"docks.json"_qs))), 0);
    EXPECT_EQ(fileSystem_.removeInterruptedWrites(path(u"docks.json"_qs)), 1);
    EXPECT_EQ(entries(u"dotfiles"_qs), QStringList{u"moorline.json"_qs});
    EXPECT_TRUE(QFile::exists(path(u"docks.json.AbCdEf"_qs)));
}

TEST_F(InterruptedSaveTest, AWriteThatFailsLeavesTheFileAsItWas) {
    // The kernel refuses writes past a file size limit, as a full disk refuses them; small and
    // large contents, since Qt buffers the small ones until the end.
    const QByteArray old = "[\"old\"]";
    for (const qsizetype size : {qsizetype(2000), qsizetype(200000)}) {
        write(u"docks.json"_qs, old);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit small{1000, limit.rlim_max};
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        QString error;
        const bool written =
            fileSystem_.writeAtomically(path(u"docks.json"_qs), QByteArray(size, ' '), &error);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_DFL);
        EXPECT_FALSE(written) << size;
        EXPECT_FALSE(error.isEmpty()) << size;
        EXPECT_EQ(Session::readFile(path(u"docks.json"_qs)), old) << size;
        EXPECT_EQ(entries(), QStringList{u"docks.json"_qs}) << size;
    }
}

} // namespace
