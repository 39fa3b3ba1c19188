// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Desktop.h"

using GFile = struct _GFile;

// The Desktop of a freedesktop session: desktop entries launched and default handlers found
// through GIO (which honours Exec field codes, Terminal=, DBusActivatable and mimeapps.list),
// reveal through the file manager's org.freedesktop.FileManager1 D-Bus interface. Launched
// programs get /dev/null for their standard streams (an entry's action, which GIO runs itself,
// gets ours) and none of our start-up tokens, only the launch's own. Failures
// are logged to moorline.desktop and otherwise ignored.
class GioDesktop final : public Desktop {
public:
    // Opens with the default application for the content type. A desktop entry or script opens
    // with the text editor (the handler of plain text), never with a handler that would run it;
    // a binary program is revealed in the file manager instead.
    void openPath(const QString& path) override;
    // A file URL goes as openPath; any other URL to the handler of its scheme, else of its type.
    void openUrl(const QUrl& url) override;
    // Asks the file manager to show the location selected, without waiting. Without one (or
    // without an answer within a few seconds, or a session bus), a file's containing folder is
    // opened instead; other URLs have no folder to open and are left alone.
    void revealInFileManager(const QUrl& url) override;

    // Trust as DesktopEntryFile judges it; whether it can start as GIO judges it.
    std::optional<LauncherEntry> launcherEntry(const QString& path) override;
    LaunchResult launch(const QString& path, const LauncherEntry& approved,
                        const LaunchOptions& options) override;

private:
    void openFile(GFile* file);
};
