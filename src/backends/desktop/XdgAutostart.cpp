// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/XdgAutostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <gio/gio.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>

namespace {

constexpr const char* group = G_KEY_FILE_DESKTOP_GROUP;

struct KeyFileDeleter {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
using KeyFile = std::unique_ptr<GKeyFile, KeyFileDeleter>;

QString takeMessage(GError* error) {
    const QString message = error ? QString::fromUtf8(error->message) : QStringLiteral("unknown");
    g_clear_error(&error);
    return message;
}

bool isReserved(QChar c) {
    return QStringView(u" \t\n\"'\\><~|&;$*?#()`").contains(c);
}

// Field codes are the launcher's to expand; an Exec of ours has none, so "%%" is the only one
// to undo. Others' codes are dropped, as a launcher given no files would.
QByteArray withoutFieldCodes(const QByteArray& exec) {
    QByteArray result;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        if (exec[i] != '%') {
            result += exec[i];
        } else if (i + 1 < exec.size()) {
            if (exec[i + 1] == '%')
                result += '%';
            ++i;
        }
    }
    return result;
}

QString canonical(const QString& path) {
    return path.isEmpty() ? QString() : QFileInfo(path).canonicalFilePath();
}

// Only absolute folders count: a relative one would make the answer depend on where the
// session happens to start.
QString findOnPath(const QString& name, const QStringList& searchPath) {
    QStringList folders;
    for (const QString& folder : searchPath)
        if (QDir::isAbsolutePath(folder))
            folders.append(folder);
    // Qt searches the process's own PATH when given no folders.
    return folders.isEmpty() ? QString() : QStandardPaths::findExecutable(name, folders);
}

// An installed copy is started by the path PATH finds it at, which an upgrade or a symlink farm
// keeps, rather than by the file that path happens to resolve to today.
QString launchPath(const QString& runningProgram, const QStringList& searchPath) {
    const QString installed = findOnPath(QStringLiteral("moorline"), searchPath);
    const QString running = canonical(runningProgram);
    // A binary replaced by an upgrade while it runs has lost its path; what replaced it is the
    // program to start.
    if (running.isEmpty())
        return installed;
    return !installed.isEmpty() && canonical(installed) == running ? installed : runningProgram;
}

} // namespace

XdgAutostart::XdgAutostart()
    : XdgAutostart(QCoreApplication::applicationFilePath(),
                   QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                       QStringLiteral("/autostart"),
                   qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {}

XdgAutostart::XdgAutostart(QString runningProgram, QString autostartDirectory,
                           QStringList searchPath)
    : searchPath_(std::move(searchPath)), programPath_(launchPath(runningProgram, searchPath_)),
      autostartDirectory_(std::move(autostartDirectory)) {}

QString XdgAutostart::entryPath() const {
    return autostartDirectory_ + QStringLiteral("/moorline.desktop");
}

QString XdgAutostart::execLine(const QString& programPath) {
    QString quoted = programPath;
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (!std::any_of(programPath.begin(), programPath.end(), isReserved))
        return quoted;
    QString result = QStringLiteral("\"");
    for (const QChar c : quoted) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            result += QLatin1Char('\\');
        result += c;
    }
    return result + QLatin1Char('"');
}

AutostartStatus XdgAutostart::status() const {
    KeyFile file(g_key_file_new());
    if (!g_key_file_load_from_file(file.get(), entryPath().toLocal8Bit().constData(),
                                   G_KEY_FILE_NONE, nullptr))
        return AutostartStatus::notRegistered;
    // Absent or malformed booleans read as false: not hidden, not switched off.
    if (g_key_file_get_boolean(file.get(), group, G_KEY_FILE_DESKTOP_KEY_HIDDEN, nullptr))
        return AutostartStatus::notRegistered;
    if (g_key_file_has_key(file.get(), group, "X-GNOME-Autostart-enabled", nullptr) &&
        !g_key_file_get_boolean(file.get(), group, "X-GNOME-Autostart-enabled", nullptr))
        return AutostartStatus::notRegistered;

    gchar* exec = g_key_file_get_string(file.get(), group, G_KEY_FILE_DESKTOP_KEY_EXEC, nullptr);
    if (!exec)
        return AutostartStatus::notFound;
    const QByteArray line = withoutFieldCodes(exec);
    g_free(exec);
    gchar** argv = nullptr;
    QString program;
    if (g_shell_parse_argv(line.constData(), nullptr, &argv, nullptr) && argv && argv[0])
        program = resolve(argv[0]);
    g_strfreev(argv);
    // An entry left by another copy (a build, an older install elsewhere) starts that copy: for
    // this one it is as good as none, and registering points it here.
    if (program.isEmpty() || program != canonical(programPath_))
        return AutostartStatus::notFound;
    return AutostartStatus::enabled;
}

QString XdgAutostart::resolve(const QByteArray& program) const {
    const QString name = QFile::decodeName(program);
    if (!name.startsWith(QLatin1Char('/')))
        return canonical(findOnPath(name, searchPath_));
    const QFileInfo info(name);
    return info.isFile() && info.isExecutable() ? info.canonicalFilePath() : QString();
}

std::optional<QString> XdgAutostart::enable() {
    if (programPath_.isEmpty())
        return QStringLiteral("cannot tell which file this program was started from");
    const QByteArray directory = autostartDirectory_.toLocal8Bit();
    if (g_mkdir_with_parents(directory.constData(), 0700) != 0)
        return QString::fromUtf8(g_strerror(errno));

    KeyFile file(g_key_file_new());
    const auto set = [&](const char* key, const QString& value) {
        g_key_file_set_string(file.get(), group, key, value.toUtf8().constData());
    };
    set(G_KEY_FILE_DESKTOP_KEY_TYPE, QStringLiteral("Application"));
    set(G_KEY_FILE_DESKTOP_KEY_NAME, QStringLiteral("Moorline"));
    set(G_KEY_FILE_DESKTOP_KEY_COMMENT, QStringLiteral("Floating docks of applications, files, "
                                                       "folders, URLs and docklets"));
    set(G_KEY_FILE_DESKTOP_KEY_EXEC, execLine(programPath_));
    set(G_KEY_FILE_DESKTOP_KEY_ICON, QStringLiteral(MOORLINE_APP_ID));
    g_key_file_set_boolean(file.get(), group, G_KEY_FILE_DESKTOP_KEY_TERMINAL, FALSE);
    g_key_file_set_boolean(file.get(), group, "X-GNOME-Autostart-enabled", TRUE);

    // GLib writes a temporary file and renames it over the entry: never a half-written one.
    GError* error = nullptr;
    if (!g_key_file_save_to_file(file.get(), entryPath().toLocal8Bit().constData(), &error))
        return takeMessage(error);
    return std::nullopt;
}

std::optional<QString> XdgAutostart::disable() {
    std::error_code error;
    std::filesystem::remove(std::filesystem::path(entryPath().toStdString()), error);
    if (error)
        return QString::fromStdString(error.message());
    return std::nullopt;
}
