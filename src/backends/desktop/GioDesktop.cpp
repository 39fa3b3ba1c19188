// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/GioDesktop.h"

#include "backends/desktop/DesktopEntryDetails.h"
#include "backends/desktop/DesktopEntryFile.h"
#include "backends/desktop/DesktopServicesLog.h"
#include "backends/desktop/GioLaunchContext.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QFileInfo>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <memory>

namespace {

const QString fileManagerService = QStringLiteral("org.freedesktop.FileManager1");
// How long a file manager may take to show an item (a started one included).
constexpr int revealTimeoutMs = 3000;

// Content types whose handler may run the file rather than show it: desktop entries, scripts
// and programs (native, Windows ones through Wine, Java). A file or URL item never runs
// anything, whatever handler the system has for these.
constexpr const char* programTypes[] = {
    "application/x-desktop",
    "application/x-executable", // scripts (shell, Python...) and AppImages are kinds of it
    "application/x-sharedlib",  // how older MIME data sees a position-independent program
    "application/x-pie-executable",    "application/x-shellscript",
    "application/x-ms-dos-executable", "application/vnd.microsoft.portable-executable",
    "application/x-msdownload",        "application/x-msi",
    "application/x-ms-shortcut",       "application/x-java-archive",
    "application/x-java-jnlp-file",
};

template <typename T> struct GObjectDeleter {
    void operator()(T* object) const {
        if (object)
            g_object_unref(object);
    }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectDeleter<T>>;

QString takeMessage(GError* error) {
    const QString message = error ? QString::fromUtf8(error->message) : QStringLiteral("unknown");
    g_clear_error(&error);
    return message;
}

bool isProgramType(const char* contentType) {
    for (const char* type : programTypes)
        if (g_content_type_is_a(contentType, type))
            return true;
    return false;
}

QByteArray contentTypeOf(GFile* file) {
    GError* error = nullptr;
    GObjectPtr<GFileInfo> info(g_file_query_info(file,
                                                 G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE
                                                 "," G_FILE_ATTRIBUTE_STANDARD_FAST_CONTENT_TYPE,
                                                 G_FILE_QUERY_INFO_NONE, nullptr, &error));
    if (!info) {
        qCWarning(lcDesktopServices) << "cannot tell the type of a file:" << takeMessage(error);
        return {};
    }
    const char* type = g_file_info_get_content_type(info.get());
    if (!type)
        type = g_file_info_get_attribute_string(info.get(),
                                                G_FILE_ATTRIBUTE_STANDARD_FAST_CONTENT_TYPE);
    return QByteArray(type);
}

struct Handler {
    GObjectPtr<GAppInfo> app; // null when nothing opens it
    bool isProgram = false;   // a binary program: no handler may have it
};

// What opens the file: the handler of its URI scheme, else that of its content type, as
// g_file_query_default_handler chooses, except that a launcher or script opens as the text it
// is (an editor), never with whatever runs its type, and a binary program with nothing.
Handler handlerFor(GFile* file) {
    // A local file goes by its type: a handler for the "file" scheme would be given programs.
    if (!g_file_has_uri_scheme(file, "file")) {
        char* scheme = g_file_get_uri_scheme(file);
        GObjectPtr<GAppInfo> app(scheme ? g_app_info_get_default_for_uri_scheme(scheme) : nullptr);
        g_free(scheme);
        if (app)
            return {std::move(app)};
    }
    QByteArray type = contentTypeOf(file);
    if (type.isEmpty())
        return {};
    if (isProgramType(type.constData())) {
        if (!g_content_type_is_a(type.constData(), "text/plain"))
            return {nullptr, true};
        type = "text/plain";
    }
    char* path = g_file_get_path(file);
    GObjectPtr<GAppInfo> app(g_app_info_get_default_for_type(type.constData(), !path));
    g_free(path);
    return {std::move(app)};
}

QByteArray uriOf(GFile* file) {
    char* uri = g_file_get_uri(file);
    const QByteArray text(uri);
    g_free(uri);
    return text;
}

// Opens the file with its handler; answers false for a binary program, which nothing opens.
bool openWithDefaultHandler(GFile* file) {
    const QByteArray uri = uriOf(file);
    const Handler handler = handlerFor(file);
    if (handler.isProgram)
        return false;
    if (!handler.app) {
        qCWarning(lcDesktopServices) << "no application opens" << uri;
        return true;
    }
    QString failure;
    if (!GioLaunchContext::launch(handler.app.get(), uri, &failure))
        qCWarning(lcDesktopServices) << "could not open" << uri << failure;
    return true;
}

void openFolderOf(const QUrl& url) {
    if (!url.isLocalFile()) {
        // A web address has no folder a file manager could show.
        qCWarning(lcDesktopServices) << "no file manager to reveal" << url;
        return;
    }
    const QString folder = QFileInfo(QDir::cleanPath(url.toLocalFile())).absolutePath();
    GObjectPtr<GFile> file(g_file_new_for_path(QFile::encodeName(folder).constData()));
    openWithDefaultHandler(file.get());
}

// The entry as a launcher, from one reading of its file; GIO judges whether it can start at all
// (Type=Application, a TryExec that resolves).
std::optional<LauncherEntry> inspect(const DesktopEntryFile& file) {
    const GObjectPtr<GDesktopAppInfo> app(g_desktop_app_info_new_from_keyfile(file.keyFile()));
    if (!app)
        return std::nullopt;
    LauncherEntry entry;
    entry.execLine = file.string(G_KEY_FILE_DESKTOP_KEY_EXEC).value_or(QString());
    entry.isTrusted = file.isTrusted();
    entry.fingerprint = file.fingerprint();
    DesktopEntryDetails::fill(entry, file, app.get());
    return entry;
}

} // namespace

void GioDesktop::openFile(GFile* file) {
    if (!openWithDefaultHandler(file)) {
        // Showing a program is the most a click on a document may do with it.
        qCWarning(lcDesktopServices) << "a program is shown, not run:" << uriOf(file);
        revealInFileManager(QUrl::fromEncoded(uriOf(file)));
    }
}

void GioDesktop::openPath(const QString& path) {
    if (path.isEmpty()) {
        qCWarning(lcDesktopServices) << "nothing to open: empty path";
        return;
    }
    GObjectPtr<GFile> file(g_file_new_for_path(QFile::encodeName(path).constData()));
    openFile(file.get());
}

void GioDesktop::openUrl(const QUrl& url) {
    if (url.isLocalFile()) {
        openPath(url.toLocalFile());
        return;
    }
    GObjectPtr<GFile> file(g_file_new_for_uri(url.toEncoded().constData()));
    openFile(file.get());
}

std::optional<LauncherEntry> GioDesktop::launcherEntry(const QString& path) {
    const auto file = DesktopEntryFile::read(path);
    const auto entry = file ? inspect(*file) : std::nullopt;
    if (!entry)
        // Not an application entry (a link, a broken TryExec, not a key file): a launcher has
        // nothing to start, and opening it as text would surprise more than doing nothing.
        qCWarning(lcDesktopServices) << "not a launchable desktop entry:" << path;
    return entry;
}

LaunchResult GioDesktop::launch(const QString& path, const LauncherEntry& approved,
                                const LaunchOptions& options) {
    // Read again: the user may have answered long after we looked, and the file may have been
    // rewritten or made writable by others since.
    const auto file = DesktopEntryFile::read(path);
    const auto entry = file ? inspect(*file) : std::nullopt;
    if (!entry || entry->fingerprint != approved.fingerprint ||
        (approved.isTrusted && !entry->isTrusted)) {
        qCWarning(lcDesktopServices) << "desktop entry changed since it was approved:" << path;
        return {};
    }
    // From the very bytes just checked: GIO reading the file again by its path would run
    // whatever was put there in between. (Such an entry has no file name for GIO, so an Exec
    // field code %k, the entry's own location, stays empty.)
    GObjectPtr<GDesktopAppInfo> app(g_desktop_app_info_new_from_keyfile(file->keyFile()));
    QString failure;
    const LaunchResult result =
        app ? GioLaunchContext::launchEntry(app.get(), options, &failure) : LaunchResult{};
    if (!result.started)
        qCWarning(lcDesktopServices) << "could not launch" << path << options.action << failure;
    return result;
}

void GioDesktop::revealInFileManager(const QUrl& url) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolderOf(url);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        fileManagerService, QStringLiteral("/org/freedesktop/FileManager1"), fileManagerService,
        QStringLiteral("ShowItems"));
    call << QStringList{QString::fromUtf8(url.toEncoded())} << QString();
    // Never waited for: the bus answers at once when no file manager offers the call, and a
    // file manager that is started for it, or hangs, answers later or never. A refusal or no
    // answer in a few seconds ends in the containing folder, the next best thing.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, revealTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [url](QDBusPendingCallWatcher* finished) {
                         if (finished->isError()) {
                             qCWarning(lcDesktopServices)
                                 << "file manager refused" << url << finished->error().message();
                             openFolderOf(url);
                         }
                         finished->deleteLater();
                     });
}
