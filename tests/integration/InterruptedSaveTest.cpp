// SPDX-License-Identifier: GPL-3.0-or-later
// What a save killed before its rename leaves beside docks.json, against real files: our own
// temporary files go, nothing else in the folder does (MoorlineAppTest starts the program on one).

#include "backends/linux/LocalFileSystem.h"
#include "integration/support/DesktopTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

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

TEST_F(InterruptedSaveTest, RemovesOurTemporariesOfTheFileAndNothingElse) {
    write(u"docks.json"_qs);
    const QStringList leftovers = {u".docks.json.moorline-AbCdEf"_qs,
                                   u".docks.json.moorline-q1w2e3"_qs};
    for (const QString& name : leftovers)
        write(name, QByteArray(1 << 20, 'x'));
    const QStringList kept = {
        u"docks.json"_qs,
        u"docks.json.unreadable-20260101-120000"_qs, // set aside for the user
        // Copies a person makes; the last one named as Qt's save files once were, which nothing
        // tells apart from a person's.
        u"docks.json.backup"_qs,
        u"docks.json.before"_qs,
        u"docks.json.golden"_qs,
        u"docks.json.AbCdEf"_qs,
        u".docks.json.moorline-AbCdE"_qs,   // five letters
        u".docks.json.moorline-AbCdEfG"_qs, // seven
        u".docks.json.moorline-ÄbCdEf"_qs,  // not ASCII
        u"docks.json.moorline-AbCdEf"_qs,   // not hidden
        u".other.json.moorline-AbCdEf"_qs,
    };
    for (const QString& name : kept.mid(1))
        write(name);
    // Not plain files: a folder, and a link (whose target must survive).
    ASSERT_TRUE(QDir().mkpath(path(u".docks.json.moorline-FoLdEr"_qs)));
    write(u"precious"_qs);
    ASSERT_EQ(::symlink(qPrintable(path(u"precious"_qs)),
                        qPrintable(path(u".docks.json.moorline-LiNkEd"_qs))),
              0);

    EXPECT_EQ(fileSystem_.removeInterruptedWrites(path(u"docks.json"_qs)), 2);
    QStringList expected = kept + QStringList{u".docks.json.moorline-FoLdEr"_qs,
                                              u".docks.json.moorline-LiNkEd"_qs, u"precious"_qs};
    expected.sort();
    EXPECT_EQ(entries(), expected);
}

TEST_F(InterruptedSaveTest, RemovesWhatAKilledSaveLeftThroughALinkAndKeepsTheUsersFiles) {
    // Saves write through a symbolic link (into a dotfiles folder, say), so their temporary
    // files lie beside its target, among the user's own files.
    const QByteArray old = "[\"old\"]";
    write(u"dotfiles/moorline.json"_qs, old);
    write(u"dotfiles/moorline.json.backup"_qs);
    write(u"dotfiles/moorline.json.AbCdEf"_qs);
    ASSERT_EQ(::symlink("dotfiles/moorline.json", qPrintable(path(u"docks.json"_qs))), 0);
    // A save killed in the middle of its write, as the kernel kills a process that writes past
    // its file size limit.
    const auto killedSave = [this] {
        const rlimit small{1000, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &small);
        LocalFileSystem().writeAtomically(path(u"docks.json"_qs), QByteArray(5000, ' '), nullptr);
        std::exit(0);
    };
    EXPECT_EXIT(killedSave(), ::testing::KilledBySignal(SIGXFSZ), "");
    ASSERT_EQ(entries(u"dotfiles"_qs).size(), 4) << qPrintable(entries(u"dotfiles"_qs).join(u' '));
    EXPECT_EQ(fileSystem_.removeInterruptedWrites(path(u"docks.json"_qs)), 1);
    EXPECT_EQ(entries(u"dotfiles"_qs), (QStringList{u"moorline.json"_qs, u"moorline.json.AbCdEf"_qs,
                                                    u"moorline.json.backup"_qs}));
    EXPECT_EQ(Session::readFile(path(u"docks.json"_qs)), old);
    // A save that works writes through the link too, keeping the file's permissions.
    ASSERT_EQ(::chmod(qPrintable(path(u"dotfiles/moorline.json"_qs)), 0640), 0);
    ASSERT_TRUE(fileSystem_.writeAtomically(path(u"docks.json"_qs), "[1]", nullptr));
    EXPECT_TRUE(QFileInfo(path(u"docks.json"_qs)).isSymLink());
    EXPECT_EQ(Session::readFile(path(u"docks.json"_qs)), "[1]");
    // rw-r----- (the owner's and the group's and others' bits of QFile::Permissions)
    EXPECT_EQ(QFileInfo(path(u"dotfiles/moorline.json"_qs)).permissions().toInt() & 0xf0ff, 0x6040);
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
