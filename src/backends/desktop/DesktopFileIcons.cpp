#include "backends/desktop/DesktopFileIcons.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

#include <gio/gio.h>

namespace {

// The Icon key of a desktop entry, as a key file: an entry that is hidden or whose TryExec
// fails still has the icon the user knows it by.
QIcon desktopEntryIcon(const QString& path) {
    GKeyFile* file = g_key_file_new();
    QString name;
    if (g_key_file_load_from_file(file, QFile::encodeName(path).constData(), G_KEY_FILE_NONE,
                                  nullptr)) {
        if (gchar* value = g_key_file_get_locale_string(
                file, G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_ICON, nullptr, nullptr)) {
            name = QString::fromUtf8(value).trimmed();
            g_free(value);
        }
    }
    g_key_file_free(file);
    if (name.isEmpty())
        return {};
    if (name.startsWith(u'/'))
        return QFileInfo::exists(name) ? QIcon(name) : QIcon();
    return QIcon::fromTheme(name, QIcon());
}

} // namespace

QIcon DesktopFileIcons::iconForFile(const QString& path) const {
    const QFileInfo info(path);
    if (info.isDir())
        return QIcon::fromTheme(QStringLiteral("folder"), QIcon());
    if (path.endsWith(QStringLiteral(".desktop"))) {
        const QIcon icon = desktopEntryIcon(path);
        if (!icon.isNull())
            return icon;
    }
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    return QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), QIcon()));
}
