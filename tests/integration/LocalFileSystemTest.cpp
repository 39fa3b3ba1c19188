// SPDX-License-Identifier: GPL-3.0-or-later
// LocalFileSystem::readAll against real files: the store reads docks.json through it at start,
// so whatever sits at that path must answer at once, and never take the program down; its saves,
// and what a killed one leaves; the icon cache's files. And the docklets' figures from the real
// /proc and file system, and the mounts they follow.

#include "backends/linux/LocalFileSystem.h"
#include "backends/linux/LinuxSystemStatistics.h"
#include "backends/linux/LocalCacheFiles.h"
#include "integration/support/DesktopTools.h"
#include "models/DockCodec.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

class LocalFileSystemRead : public ::testing::Test {
protected:
    QString file(const QString& name, const QByteArray& contents) {
        QFile out(directory_.filePath(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write(contents) == contents.size());
        return out.fileName();
    }
    QString path(const QString& name) const { return directory_.filePath(name); }

    QTemporaryDir directory_;
    LocalFileSystem fileSystem_;
};

// What a save killed before its rename leaves beside docks.json: our own temporary files go,
// nothing else in the folder does (MoorlineAppTest starts the program on one).
class InterruptedSaveTest : public LocalFileSystemRead {
protected:
    void write(const QString& name, const QByteArray& contents = "[]") {
        ASSERT_TRUE(Session::writeFile(path(name), contents));
    }
    QStringList entries(const QString& folder = {}) const {
        return QDir(path(folder))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }
};

} // namespace

TEST_F(LocalFileSystemRead, ReadsARegularFileWithZeroedRoomAfterIt) {
    // The large one takes the path of huge pages.
    for (const QByteArray& contents : {QByteArray(), QByteArray("[]"), QByteArray(5 << 20, 'x')}) {
        const QString name = file(u"docks.json"_qs, contents);
        ASSERT_EQ(::symlink(qPrintable(name), qPrintable(path(u"link"_qs))), 0);
        for (const QString& read : {name, path(u"link"_qs)}) {
            std::optional<QByteArray> bytes = fileSystem_.readAll(read);
            ASSERT_TRUE(bytes);
            EXPECT_EQ(*bytes, contents);
            ASSERT_GE(bytes->data_ptr().freeSpaceAtEnd(), FileSystem::readPadding);
            EXPECT_EQ(QByteArrayView(bytes->constData() + bytes->size(), FileSystem::readPadding),
                      QByteArray(FileSystem::readPadding, '\0'));
        }
        QFile::remove(path(u"link"_qs));
    }
}

TEST_F(LocalFileSystemRead, AnswersAtOnceWithNothingForAnythingButARegularFile) {
    // A FIFO without a writer would block the start for ever, /dev/zero would fill the memory,
    // and a file past the cap is not read at all (300 MB of holes cost no disk).
    ASSERT_EQ(::mkfifo(qPrintable(path(u"fifo"_qs)), 0600), 0);
    ASSERT_EQ(::symlink(qPrintable(path(u"fifo"_qs)), qPrintable(path(u"to-fifo"_qs))), 0);
    ASSERT_EQ(::symlink("/dev/zero", qPrintable(path(u"to-zero"_qs))), 0);
    QFile sparse(path(u"sparse"_qs));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(300 << 20));
    QStringList refused = {path(u"fifo"_qs),
                           path(u"to-fifo"_qs),
                           path(u"to-zero"_qs),
                           path(u"sparse"_qs),
                           directory_.path(),
                           path(u"missing"_qs),
                           file(u"plain"_qs, "[]") + u"/below"_qs};
    // Root reads whatever its permissions say.
    const QString unreadable = file(u"unreadable"_qs, "[]");
    ASSERT_EQ(::chmod(qPrintable(unreadable), 0), 0);
    if (::geteuid() != 0)
        refused.append(unreadable);
    for (const QString& name : refused)
        EXPECT_FALSE(fileSystem_.readAll(name)) << qPrintable(name);
}

TEST_F(LocalFileSystemRead, RunningOutOfMemoryMakesTheFileUnreadableNotTheProgramEnd) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#endif
    const QString large = path(u"large"_qs);
    QFile holes(large);
    ASSERT_TRUE(holes.open(QIODevice::WriteOnly) && holes.resize(200 << 20));
    QByteArray longName = "[{\"name\":\"" + QByteArray(16 << 20, 'x') + "\"}]";
    longName.reserve(longName.size() + FileSystem::readPadding);
    // In a child, under a limit of the address space that leaves room for the parser's 90 MB
    // but not for the 200 MB file, nor for the 32 MB of UTF-16 of the 16 MB name.
    EXPECT_EXIT(
        {
            QFile status(u"/proc/self/statm"_qs);
            status.open(QIODevice::ReadOnly);
            const rlim_t pages = status.readAll().split(' ').value(0).toULongLong();
            rlimit limit{};
            ::getrlimit(RLIMIT_AS, &limit);
            limit.rlim_cur = pages * ::sysconf(_SC_PAGESIZE) + (100 << 20);
            ::setrlimit(RLIMIT_AS, &limit);
            const bool fileRefused = !LocalFileSystem().readAll(large);
            const QString error = DockCodec::decode(longName).error;
            std::exit(fileRefused && error == u"$: too large to read in the memory available" ? 0
                                                                                              : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(LocalFileSystemRead, CacheFilesAreMadeInTheirFolderAndNeverWaitedOn) {
    // The folder is made at the first write; a file is replaced whole, leaving nothing beside it.
    LocalCacheFiles cache(path(u"cache/Moorline"_qs));
    EXPECT_FALSE(cache.read(u"a.icon"_qs));
    ASSERT_TRUE(cache.write(u"a.icon"_qs, "first"));
    ASSERT_TRUE(cache.write(u"a.icon"_qs, "second"));
    EXPECT_EQ(cache.read(u"a.icon"_qs), QByteArray("second"));
    EXPECT_EQ(QDir(path(u"cache/Moorline"_qs)).entryList(QDir::Files), QStringList{u"a.icon"_qs});
    // Something else at a name reads as nothing, at once: a FIFO would never answer.
    ASSERT_EQ(::mkfifo(qPrintable(path(u"cache/Moorline/b.icon"_qs)), 0600), 0);
    EXPECT_FALSE(cache.read(u"b.icon"_qs));
    // The modification time of what is there, and nothing for what is not.
    const auto modified = fileSystem_.modificationTime(path(u"cache/Moorline/a.icon"_qs));
    ASSERT_TRUE(modified);
    EXPECT_LE(std::abs(*modified - QDateTime::currentMSecsSinceEpoch()), 60'000);
    EXPECT_FALSE(fileSystem_.modificationTime(path(u"missing"_qs)));
}

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

TEST(SystemStatisticsTest, ReadsTheHostCpuLineOfProcStatFoldingInterruptsAndIoWait) {
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

    // Interrupts count as system time, waiting for input and output as idle.
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
