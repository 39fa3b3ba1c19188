// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/DesktopLaunch.h"

#include "models/DockItem.h"
#include "platform/Clipboard.h"
#include "platform/Desktop.h"
#include "platform/LaunchConfirmation.h"

namespace DesktopLaunch {

namespace {

bool opensByPath(DockItemKind kind) {
    return kind == DockItemKind::application || kind == DockItemKind::file ||
           kind == DockItemKind::folder;
}

void launchApplication(const QString& path, Desktop& desktop, LaunchConfirmation& confirmation) {
    const auto entry = desktop.launcherEntry(path);
    if (!entry)
        return;
    if (entry->isTrusted) {
        desktop.launch(path, *entry);
        return;
    }
    // Copies only: the tile that was clicked may be gone by the time the user answers.
    confirmation.ask(path, entry->execLine, [&desktop, path, approved = *entry](bool launch) {
        if (launch)
            desktop.launch(path, approved);
    });
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

void open(const DockItem& item, Desktop& desktop, Clipboard& clipboard,
          LaunchConfirmation& confirmation) {
    if (opensByPath(item.kind)) {
        if (!item.path)
            return;
        if (item.kind == DockItemKind::application && isDesktopEntryPath(*item.path))
            launchApplication(*item.path, desktop, confirmation);
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
