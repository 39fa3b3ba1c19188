// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/DesktopLaunch.h"

#include "models/DockItem.h"
#include "platform/Clipboard.h"
#include "platform/Desktop.h"
#include "runtime/ApplicationLauncher.h"

namespace DesktopLaunch {

namespace {

bool opensByPath(DockItemKind kind) {
    return kind == DockItemKind::application || kind == DockItemKind::file ||
           kind == DockItemKind::folder;
}

} // namespace

bool isDesktopEntryPath(const QString& path) {
    return path.endsWith(QStringLiteral(".desktop"));
}

std::optional<QUrl> parsedUrl(const DockItem& item) {
    if (!item.urlString)
        return std::nullopt;
    const QUrl url(*item.urlString, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return std::nullopt;
    return url;
}

std::optional<QString> desktopEntryOf(const DockItem& item) {
    if (item.kind == DockItemKind::application && item.path && isDesktopEntryPath(*item.path))
        return item.path;
    return std::nullopt;
}

void open(const DockItem& item, ApplicationLauncher& launcher, Desktop& desktop,
          Clipboard& clipboard) {
    if (opensByPath(item.kind)) {
        if (!item.path)
            return;
        if (const auto entry = desktopEntryOf(item))
            launcher.open(*entry);
        else
            desktop.openPath(*item.path);
    } else if (item.kind == DockItemKind::url) {
        if (const auto url = parsedUrl(item))
            desktop.openUrl(*url);
    } else if (item.kind == DockItemKind::clippingText) {
        if (item.textContent)
            clipboard.setText(item.textContent->toString());
    }
}

void reveal(const DockItem& item, Desktop& desktop) {
    if (opensByPath(item.kind)) {
        if (item.path)
            desktop.revealInFileManager(QUrl::fromLocalFile(*item.path));
    } else if (item.kind == DockItemKind::url) {
        if (const auto url = parsedUrl(item))
            desktop.revealInFileManager(*url);
    }
}

} // namespace DesktopLaunch
