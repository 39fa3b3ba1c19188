#include "backends/desktop/GioWorkspace.h"

#include "backends/desktop/DesktopServicesLog.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDir>
#include <QFileInfo>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

const QString fileManagerService = QStringLiteral("org.freedesktop.FileManager1");

// Variables that belong to our own start: passed on, they would make the launched program
// claim our startup notification or activation token.
constexpr const char* ownStartVariables[] = {"DESKTOP_AUTOSTART_ID", "DESKTOP_STARTUP_ID",
                                             "XDG_ACTIVATION_TOKEN"};

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

GObjectPtr<GAppLaunchContext> newLaunchContext() {
    GObjectPtr<GAppLaunchContext> context(g_app_launch_context_new());
    for (const char* name : ownStartVariables)
        g_app_launch_context_unsetenv(context.get(), name);
    return context;
}

// Launches the application with the URIs (none for a plain start). A desktop entry's program
// gets /dev/null as its standard streams instead of ours.
bool launch(GAppInfo* app, const QByteArray& uri, QString* failure) {
    const auto context = newLaunchContext();
    GList* uris = uri.isEmpty() ? nullptr : g_list_append(nullptr, const_cast<char*>(uri.data()));
    GError* error = nullptr;
    gboolean launched = FALSE;
    if (G_IS_DESKTOP_APP_INFO(app)) {
        const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        launched = g_desktop_app_info_launch_uris_as_manager_with_fds(
            G_DESKTOP_APP_INFO(app), uris, context.get(), G_SPAWN_SEARCH_PATH, nullptr, nullptr,
            nullptr, nullptr, devNull, devNull, devNull, &error);
        if (devNull >= 0)
            ::close(devNull);
    } else {
        launched = g_app_info_launch_uris(app, uris, context.get(), &error);
    }
    g_list_free(uris);
    if (!launched)
        *failure = takeMessage(error);
    return launched;
}

// Opens a file or URI with the application the user chose for its scheme or content type.
void openWithDefaultHandler(GFile* file) {
    char* uri = g_file_get_uri(file);
    const QByteArray uriText(uri);
    g_free(uri);
    GError* error = nullptr;
    GObjectPtr<GAppInfo> handler(g_file_query_default_handler(file, nullptr, &error));
    if (!handler) {
        qCWarning(lcDesktopServices) << "no application opens" << uriText << takeMessage(error);
        return;
    }
    QString failure;
    if (!launch(handler.get(), uriText, &failure))
        qCWarning(lcDesktopServices) << "could not open" << uriText << failure;
}

void launchDesktopEntry(const QString& path) {
    GObjectPtr<GDesktopAppInfo> entry(
        g_desktop_app_info_new_from_filename(QFile::encodeName(path).constData()));
    if (!entry) {
        // Not an application entry (a link, a broken TryExec, not a key file): a launcher has
        // nothing to start, and opening it as text would surprise more than doing nothing.
        qCWarning(lcDesktopServices) << "not a launchable desktop entry:" << path;
        return;
    }
    QString failure;
    if (!launch(G_APP_INFO(entry.get()), {}, &failure))
        qCWarning(lcDesktopServices) << "could not launch" << path << failure;
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

} // namespace

void GioWorkspace::openPath(const QString& path) {
    if (path.isEmpty()) {
        qCWarning(lcDesktopServices) << "nothing to open: empty path";
        return;
    }
    if (path.endsWith(QStringLiteral(".desktop")) && !QFileInfo(path).isDir()) {
        launchDesktopEntry(path);
        return;
    }
    GObjectPtr<GFile> file(g_file_new_for_path(QFile::encodeName(path).constData()));
    openWithDefaultHandler(file.get());
}

void GioWorkspace::openUrl(const QUrl& url) {
    if (url.isLocalFile()) {
        openPath(url.toLocalFile());
        return;
    }
    GObjectPtr<GFile> file(g_file_new_for_uri(url.toEncoded().constData()));
    openWithDefaultHandler(file.get());
}

bool GioWorkspace::fileManagerAvailable() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    if (bus.interface()->isServiceRegistered(fileManagerService))
        return true;
    const QDBusReply<QStringList> activatable =
        bus.interface()->call(QStringLiteral("ListActivatableNames"));
    return activatable.isValid() && activatable.value().contains(fileManagerService);
}

void GioWorkspace::revealInFileViewer(const QUrl& url) {
    if (!fileManagerAvailable()) {
        openFolderOf(url);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        fileManagerService, QStringLiteral("/org/freedesktop/FileManager1"), fileManagerService,
        QStringLiteral("ShowItems"));
    call << QStringList{QString::fromUtf8(url.toEncoded())} << QString();
    // Asynchronous: an activatable file manager may take a while to start. Should it refuse,
    // the containing folder is the next best thing.
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call));
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
