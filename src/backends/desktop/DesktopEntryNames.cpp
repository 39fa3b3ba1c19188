#include "backends/desktop/DesktopEntryNames.h"

#include <gio/gdesktopappinfo.h>

std::optional<QString> DesktopEntryNames::localisedName(const QString& path) {
    // A key file rather than GDesktopAppInfo: an entry with Hidden=true or a TryExec that fails
    // still has a name the user knows it by.
    GKeyFile* file = g_key_file_new();
    std::optional<QString> name;
    if (g_key_file_load_from_file(file, path.toLocal8Bit().constData(), G_KEY_FILE_NONE, nullptr)) {
        if (gchar* value = g_key_file_get_locale_string(
                file, G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_NAME, nullptr, nullptr)) {
            name = QString::fromUtf8(value);
            g_free(value);
        }
    }
    g_key_file_free(file);
    if (name && name->isEmpty())
        name.reset();
    return name;
}
