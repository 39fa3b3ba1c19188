// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/DesktopEntryDetails.h"

#include "backends/desktop/DesktopEntryFile.h"

#include <QFileInfo>

#include <gio/gdesktopappinfo.h>

namespace DesktopEntryDetails {

namespace {

QString takeString(gchar* value) {
    QString text = QString::fromUtf8(value);
    g_free(value);
    return text;
}

std::vector<LauncherAction> actionsOf(const DesktopEntryFile& file, GDesktopAppInfo* app) {
    std::vector<LauncherAction> actions;
    const bool activatable = g_key_file_get_boolean(file.keyFile(), G_KEY_FILE_DESKTOP_GROUP,
                                                    "DBusActivatable", nullptr);
    for (const gchar* const* id = g_desktop_app_info_list_actions(app); id && *id; ++id) {
        const QByteArray group = "Desktop Action " + QByteArray(*id);
        const QString exec =
            takeString(g_key_file_get_string(file.keyFile(), group.constData(), "Exec", nullptr));
        // An action with nothing to run (and no application to ask) cannot be offered.
        if (exec.isEmpty() && !activatable)
            continue;
        const QString name = takeString(g_desktop_app_info_get_action_name(app, *id));
        if (!name.isEmpty())
            actions.push_back({QString::fromUtf8(*id), name, exec});
    }
    return actions;
}

} // namespace

QString desktopIdOf(const QString& canonicalPath) {
    QString id = QFileInfo(canonicalPath).fileName();
    for (const QString& folder : DesktopEntryFile::applicationFolders())
        if (canonicalPath.startsWith(folder + QLatin1Char('/'))) {
            id = canonicalPath.mid(folder.size() + 1).replace(QLatin1Char('/'), QLatin1Char('-'));
            break;
        }
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    return id;
}

void fill(LauncherEntry& entry, const DesktopEntryFile& file, GDesktopAppInfo* app) {
    entry.identity = {file.canonicalPath(), desktopIdOf(file.canonicalPath()),
                      file.string("StartupWMClass").value_or(QString())};
    entry.actions = actionsOf(file, app);
    entry.name = file.localeString(G_KEY_FILE_DESKTOP_KEY_NAME).value_or(QString());
    entry.icon = file.string(G_KEY_FILE_DESKTOP_KEY_ICON).value_or(QString());
    GError* error = nullptr;
    const gboolean notify = g_key_file_get_boolean(file.keyFile(), G_KEY_FILE_DESKTOP_GROUP,
                                                   G_KEY_FILE_DESKTOP_KEY_STARTUP_NOTIFY, &error);
    entry.refusesStartupNotification = !error && !notify;
    g_clear_error(&error);
}

} // namespace DesktopEntryDetails
