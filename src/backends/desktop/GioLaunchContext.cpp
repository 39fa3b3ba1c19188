// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/GioLaunchContext.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Variables that belong to our own start: passed on, they would make the launched program
// claim our startup notification or activation token.
// Also what Moorline tells its own Qt for its panels on Wayland.
constexpr const char* ownStartVariables[] = {
    "DESKTOP_AUTOSTART_ID", "DESKTOP_STARTUP_ID", "XDG_ACTIVATION_TOKEN",
    "QT_WAYLAND_USE_BYPASSWINDOWMANAGERHINT", "QT_WAYLAND_DISABLE_FIXED_POSITIONS"};

// A GAppLaunchContext that hands GIO the launch's startup id, which GIO then puts in the
// program's environment (or, for a D-Bus activated one, in its platform data).
struct TokenContext {
    GAppLaunchContext parent;
    char* startupId;
    // GIO tells of a failed spawn this way only (and only when it had asked for an id).
    gboolean failed;
};
struct TokenContextClass {
    GAppLaunchContextClass parent;
};

char* startupIdOf(GAppLaunchContext* context, GAppInfo*, GList*) {
    return g_strdup(reinterpret_cast<TokenContext*>(context)->startupId);
}

void launchFailed(GAppLaunchContext* context, const char*) {
    reinterpret_cast<TokenContext*>(context)->failed = TRUE;
}

void finalizeContext(GObject* object) {
    g_free(reinterpret_cast<TokenContext*>(object)->startupId);
    G_OBJECT_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(object)))->finalize(object);
}

void initContextClass(gpointer klass, gpointer) {
    G_OBJECT_CLASS(klass)->finalize = finalizeContext;
    G_APP_LAUNCH_CONTEXT_CLASS(klass)->get_startup_notify_id = startupIdOf;
    G_APP_LAUNCH_CONTEXT_CLASS(klass)->launch_failed = launchFailed;
}

GType tokenContextType() {
    static const GType type = g_type_register_static_simple(
        G_TYPE_APP_LAUNCH_CONTEXT, "MoorlineTokenContext", sizeof(TokenContextClass),
        initContextClass, sizeof(TokenContext), nullptr, GTypeFlags(0));
    return type;
}

struct ContextDeleter {
    void operator()(GAppLaunchContext* context) const { g_object_unref(context); }
};
using ContextPtr = std::unique_ptr<GAppLaunchContext, ContextDeleter>;

ContextPtr newContext(const LaunchToken& token) {
    ContextPtr context(G_APP_LAUNCH_CONTEXT(g_object_new(tokenContextType(), nullptr)));
    for (const char* name : ownStartVariables)
        g_app_launch_context_unsetenv(context.get(), name);
    if (!token.startupId.isEmpty()) {
        reinterpret_cast<TokenContext*>(context.get())->startupId =
            g_strdup(token.startupId.constData());
        // GIO itself asks for the id only for entries that say StartupNotify=true; a program
        // that does not know the protocol still takes the focus its launch earned.
        g_app_launch_context_setenv(context.get(), "DESKTOP_STARTUP_ID",
                                    token.startupId.constData());
    }
    // The seam for Wayland: a token from the compositor goes to the program as is.
    if (!token.activationToken.isEmpty())
        g_app_launch_context_setenv(context.get(), "XDG_ACTIVATION_TOKEN",
                                    token.activationToken.constData());
    return context;
}

void rememberPid(GAppLaunchContext*, GAppInfo*, GVariant* platformData, gpointer result) {
    gint32 pid = 0;
    if (platformData && g_variant_lookup(platformData, "pid", "i", &pid) && pid > 0)
        static_cast<LaunchResult*>(result)->pid = pid;
}

QString takeMessage(GError* error) {
    const QString message = error ? QString::fromUtf8(error->message) : QStringLiteral("unknown");
    g_clear_error(&error);
    return message;
}

} // namespace

namespace GioLaunchContext {

bool launch(GAppInfo* app, const QByteArray& uri, QString* failure) {
    const ContextPtr context = newContext({});
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

LaunchResult launchEntry(GDesktopAppInfo* app, const LaunchOptions& options, QString* failure) {
    const ContextPtr context = newContext(options.token);
    LaunchResult result;
    const gulong handler =
        g_signal_connect(context.get(), "launched", G_CALLBACK(rememberPid), &result);
    if (options.action.isEmpty()) {
        GError* error = nullptr;
        const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        result.started = g_desktop_app_info_launch_uris_as_manager_with_fds(
            app, nullptr, context.get(), G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, nullptr,
            devNull, devNull, devNull, &error);
        if (devNull >= 0)
            ::close(devNull);
        if (!result.started)
            *failure = takeMessage(error);
    } else {
        // GIO returns nothing from an action: a spawned one reports its pid, a failed one (with
        // a startup id) calls launch_failed, a D-Bus activated one neither.
        g_desktop_app_info_launch_action(app, options.action.toUtf8().constData(), context.get());
        result.started = !reinterpret_cast<TokenContext*>(context.get())->failed;
        if (!result.started)
            *failure = QStringLiteral("the action did not start");
    }
    g_signal_handler_disconnect(context.get(), handler);
    return result;
}

} // namespace GioLaunchContext
