#pragma once

#include <QString>
#include <QUrl>

// Opening and revealing through the user's desktop: default handlers, desktop entries, the file
// manager. Fire and forget: results are never consulted.
class Workspace {
public:
    virtual ~Workspace() = default;

    // Opens a file or folder with the user's default application; a desktop entry is launched.
    virtual void openPath(const QString& path) = 0;
    // Opens a URL with the handler of its scheme.
    virtual void openUrl(const QUrl& url) = 0;
    // Shows the location in the file manager, selected.
    virtual void revealInFileViewer(const QUrl& url) = 0;
};
