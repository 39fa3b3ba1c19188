// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/DocksCommand.h"

#include "models/DockCodec.h"
#include "models/DockJsonBuffer.h"
#include "platform/FileSystem.h"

#include <QFile>

#include <algorithm>

namespace {

const char usageLine[] = "usage: moorline-docks check|format FILE\n";

const char helpText[] =
    "usage: moorline-docks check|format FILE\n"
    "\n"
    "Checks or rewrites a Moorline docks.json (usually ~/.local/share/Moorline/docks.json)\n"
    "with the same strict reader and writer as Moorline itself. FILE may be - for standard\n"
    "input.\n"
    "\n"
    "  check FILE   print \"ok: N docks, M tabs, K items\" and exit 0 when Moorline can read\n"
    "               the file (at most 256 MiB); otherwise print \"FILE: PLACE: PROBLEM\"\n"
    "               (the first problem, such as\n"
    "               \"docks.json: $[0].tabs[1].items[3]: missing key \\\"createdAt\\\"\")\n"
    "               on standard output and exit 1.\n"
    "  format FILE  print the file in the canonical form Moorline writes (compact, keys in\n"
    "               their usual order, no final newline) on standard output and exit 0; when\n"
    "               the file cannot be read, print \"FILE: PLACE: PROBLEM\" on standard error\n"
    "               and exit 1.\n"
    "  -h, --help   print this help and exit 0.\n"
    "\n"
    "Exit status 2: wrong arguments, or FILE (or standard output) could not be read or\n"
    "written; the reason and the usage line go to standard error.\n";

} // namespace

int DocksCommand::run(const QStringList& arguments) {
    if (arguments.contains(u"-h"_qs) || arguments.contains(u"--help"_qs)) {
        return write(out_, helpText) ? success : usageOrInputOutput;
    }
    if (arguments.size() != 2)
        return usageError(arguments.isEmpty() ? u"missing command"_qs
                                              : u"expected a command and one FILE"_qs);
    const QString& command = arguments[0];
    if (command == u"check")
        return check(arguments[1]);
    if (command == u"format")
        return format(arguments[1]);
    return usageError(u"unknown command \"%1\""_qs.arg(command));
}

int DocksCommand::check(const QString& fileName) {
    QByteArray contents;
    if (!readFile(fileName, contents))
        return usageOrInputOutput;
    if (contents.size() > FileSystem::maxReadSize) {
        const QString line = fileName + u": "_qs + tooLargeProblem() + u'\n';
        return write(out_, line.toUtf8()) ? unreadableDocks : usageOrInputOutput;
    }
    // Only the counts are printed: the records need not be kept.
    const DockCodec::Summary summary = DockCodec::check(contents);
    if (!summary.ok()) {
        const QString line = fileName + u": "_qs + summary.error + u'\n';
        return write(out_, line.toUtf8()) ? unreadableDocks : usageOrInputOutput;
    }
    const QString line = u"ok: %1 docks, %2 tabs, %3 items\n"_qs.arg(summary.docks)
                             .arg(summary.tabs)
                             .arg(summary.items);
    return write(out_, line.toUtf8()) ? success : usageOrInputOutput;
}

int DocksCommand::format(const QString& fileName) {
    QByteArray contents;
    if (!readFile(fileName, contents))
        return usageOrInputOutput;
    if (contents.size() > FileSystem::maxReadSize) {
        write(err_, (fileName + u": "_qs + tooLargeProblem() + u'\n').toUtf8());
        return unreadableDocks;
    }
    // Written as it is read, once the whole file has been checked: a large file's records are
    // never held, nor its whole canonical text.
    bool written = true;
    const QString error = DockCodec::reformat(
        contents, [this, &written](QByteArrayView text) { return written = write(out_, text); });
    if (!error.isEmpty()) {
        write(err_, (fileName + u": "_qs + error + u'\n').toUtf8());
        return unreadableDocks;
    }
    return written ? success : usageOrInputOutput;
}

bool DocksCommand::readFile(const QString& fileName, QByteArray& contents) {
    QFile file(fileName);
    const auto mode = QIODevice::ReadOnly | QIODevice::Unbuffered;
    if (fileName == u"-" ? file.open(stdin, mode) : file.open(mode)) {
        if (readWhole(file, contents))
            return true;
    }
    usageError(u"cannot read %1: %2"_qs.arg(fileName, file.errorString()));
    return false;
}

QString DocksCommand::tooLargeProblem() {
    return u"$: larger than %1 bytes, which Moorline does not read"_qs.arg(FileSystem::maxReadSize);
}

bool DocksCommand::readWhole(QFile& file, QByteArray& contents) {
    // Straight into a buffer with room to spare after the bytes, which the reader then parses in
    // place: a large file is neither copied nor held twice. One byte more than the size is asked
    // for, so that the end shows; standard input grows the buffer as it comes. Past the size
    // Moorline reads, one byte more than that is enough to tell.
    constexpr qint64 tooLarge = FileSystem::maxReadSize + 1;
    const qint64 expected = file.isSequential() ? 64 * 1024 : std::min(file.size(), tooLarge);
    DockJsonBuffer::allocate(contents, expected + 1, FileSystem::readPadding, true);
    qsizetype done = 0;
    for (;;) {
        if (done >= tooLarge)
            break;
        if (done == contents.size()) {
            const qsizetype grown = std::min<qsizetype>(done * 2, tooLarge);
            contents.reserve(grown + FileSystem::readPadding);
            contents.resize(grown);
        }
        const qint64 count = file.read(contents.data() + done, contents.size() - done);
        if (count < 0)
            return false;
        if (count == 0)
            break;
        done += count;
    }
    contents.resize(done);
    return true;
}

int DocksCommand::usageError(const QString& problem) {
    write(err_, (u"moorline-docks: "_qs + problem + u'\n').toUtf8() + usageLine);
    return usageOrInputOutput;
}

bool DocksCommand::write(std::FILE* stream, QByteArrayView bytes) {
    const auto size = static_cast<std::size_t>(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stream) == size && std::fflush(stream) == 0;
}
