// SPDX-License-Identifier: GPL-3.0-or-later
// LocalFileSystem::readAll against real files: the store reads docks.json through it at start,
// so whatever sits at that path must answer at once, and never take the program down. The
// icon cache's files, likewise.

#include "backends/linux/LocalFileSystem.h"
#include "backends/linux/LocalCacheFiles.h"
#include "models/DockCodec.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

#include <sys/resource.h>
#include <sys/stat.h>
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
