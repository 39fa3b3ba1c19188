// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/DesktopFileIcons.h"

#include "backends/desktop/DesktopEntryFile.h"

#include <QFileInfo>
#include <QMimeDatabase>

#include <glib.h>

namespace {

// The Icon key of a trusted desktop entry (the key file, so that an entry whose TryExec fails
// still has the icon the user knows it by). An entry the desktop does not trust shows no icon
// of its choosing: it could pass itself off as any document or application.
QIcon desktopEntryIcon(const QString& path) {
    const auto entry = DesktopEntryFile::read(path);
    if (!entry || !entry->isTrusted())
        return {};
    const QString name =
        entry->localeString(G_KEY_FILE_DESKTOP_KEY_ICON).value_or(QString()).trimmed();
    if (name.isEmpty())
        return {};
    if (name.startsWith(u'/'))
        return QFileInfo(name).isFile() ? QIcon(name) : QIcon();
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
