#pragma once

#include "platform/Workspace.h"

// The Workspace of a freedesktop session: desktop entries launched and default handlers found
// through GIO (which honours Exec field codes, Terminal=, DBusActivatable and mimeapps.list),
// reveal through the file manager's org.freedesktop.FileManager1 D-Bus interface. Launched
// programs get /dev/null for their standard streams and none of our start-up tokens. Failures
// are logged to moorline.desktop and otherwise ignored.
class GioWorkspace final : public Workspace {
public:
    // A desktop entry (a ".desktop" file) is launched; anything else opens with the default
    // application for its content type.
    void openPath(const QString& path) override;
    // A file URL goes as openPath; any other URL to the handler of its scheme.
    void openUrl(const QUrl& url) override;
    // Asks the file manager to show the location selected. Without one, a file's containing
    // folder is opened instead; other URLs have no folder to open and are left alone.
    void revealInFileViewer(const QUrl& url) override;

    // Whether a file manager on the session bus offers ShowItems, running or activatable.
    static bool fileManagerAvailable();
};
