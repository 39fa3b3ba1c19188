#include "support/WorkspaceLaunch.h"

#include "models/DockItem.h"
#include "platform/Clipboard.h"
#include "platform/Workspace.h"

namespace WorkspaceLaunch {

namespace {

bool opensByPath(DockItemKind kind) {
    return kind == DockItemKind::application || kind == DockItemKind::file ||
           kind == DockItemKind::folder;
}

} // namespace

std::optional<QUrl> parsedUrl(const DockItem& item) {
    if (!item.urlString)
        return std::nullopt;
    const QUrl url(*item.urlString, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return std::nullopt;
    return url;
}

void open(const DockItem& item, Workspace& workspace, Clipboard& clipboard) {
    if (opensByPath(item.kind)) {
        if (item.path)
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
