#include "support/WorkspaceLaunch.h"

#include "models/DockItem.h"
#include "platform/Clipboard.h"
#include "platform/LaunchConfirmation.h"
#include "platform/Workspace.h"

namespace WorkspaceLaunch {

namespace {

bool opensByPath(DockItemKind kind) {
    return kind == DockItemKind::application || kind == DockItemKind::file ||
           kind == DockItemKind::folder;
}

void launchApplication(const QString& path, Workspace& workspace,
                       LaunchConfirmation& confirmation) {
    const auto entry = workspace.launcherEntry(path);
    if (!entry)
        return;
    if (entry->isTrusted) {
        workspace.launch(path, *entry);
        return;
    }
    // Copies only: the tile that was clicked may be gone by the time the user answers.
    confirmation.ask(path, entry->execLine, [&workspace, path, approved = *entry](bool launch) {
        if (launch)
            workspace.launch(path, approved);
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

void open(const DockItem& item, Workspace& workspace, Clipboard& clipboard,
          LaunchConfirmation& confirmation) {
    if (opensByPath(item.kind)) {
        if (!item.path)
            return;
        if (item.kind == DockItemKind::application && isDesktopEntryPath(*item.path))
            launchApplication(*item.path, workspace, confirmation);
        else
            workspace.openPath(*item.path);
    } else if (item.kind == DockItemKind::url) {
        if (const auto url = parsedUrl(item))
            workspace.openUrl(*url);
    } else if (item.kind == DockItemKind::clippingText) {
        if (item.textContent)
            clipboard.setText(*item.textContent);
    }
}

void reveal(const DockItem& item, Workspace& workspace) {
    if (opensByPath(item.kind)) {
        if (item.path)
            workspace.revealInFileViewer(QUrl::fromLocalFile(*item.path));
    } else if (item.kind == DockItemKind::url) {
        if (const auto url = parsedUrl(item))
            workspace.revealInFileViewer(*url);
    }
}

} // namespace WorkspaceLaunch
