#include "tools/DocksCommand.h"

#include "models/DockCodec.h"

#include <QFile>

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
    "               the file; otherwise print \"FILE: PLACE: PROBLEM\" (the first problem, such\n"
    "               as \"docks.json: $[0].tabs[1].items[3]: missing key \\\"createdAt\\\"\")\n"
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
    const DockCodec::Decoded decoded = DockCodec::decode(contents);
    if (!decoded.ok()) {
        const QString line = fileName + u": "_qs + decoded.error + u'\n';
        return write(out_, line.toUtf8()) ? unreadableDocks : usageOrInputOutput;
    }
    std::size_t tabs = 0;
    std::size_t items = 0;
    for (const Dock& dock : decoded.docks) {
        tabs += dock.tabs.size();
        for (const DockTab& tab : dock.tabs)
            items += tab.items.size();
    }
    const QString line =
        u"ok: %1 docks, %2 tabs, %3 items\n"_qs.arg(decoded.docks.size()).arg(tabs).arg(items);
    return write(out_, line.toUtf8()) ? success : usageOrInputOutput;
}

int DocksCommand::format(const QString& fileName) {
    QByteArray contents;
    if (!readFile(fileName, contents))
        return usageOrInputOutput;
    const DockCodec::Decoded decoded = DockCodec::decode(contents);
    if (!decoded.ok()) {
        write(err_, (fileName + u": "_qs + decoded.error + u'\n').toUtf8());
        return unreadableDocks;
    }
    const std::optional<QByteArray> canonical = DockCodec::encode(decoded.docks);
    if (!canonical) {
        // The reader takes no number that the writer refuses; kept for safety all the same.
        write(err_, (fileName + u": cannot be written: a number is not finite\n"_qs).toUtf8());
        return unreadableDocks;
    }
    return write(out_, *canonical) ? success : usageOrInputOutput;
}

bool DocksCommand::readFile(const QString& fileName, QByteArray& contents) {
    QFile file(fileName);
    const bool opened =
        fileName == u"-" ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly);
    if (opened) {
        contents = file.readAll();
        if (file.error() == QFileDevice::NoError)
            return true;
    }
    usageError(u"cannot read %1: %2"_qs.arg(fileName, file.errorString()));
    return false;
}

int DocksCommand::usageError(const QString& problem) {
    write(err_, (u"moorline-docks: "_qs + problem + u'\n').toUtf8() + usageLine);
    return usageOrInputOutput;
}

bool DocksCommand::write(std::FILE* stream, const QByteArray& bytes) {
    const auto size = static_cast<std::size_t>(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stream) == size && std::fflush(stream) == 0;
}
