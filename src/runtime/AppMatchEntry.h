// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// What an installed desktop entry offers for recognising a running application and presenting
// it.
struct AppMatchEntry {
    // The desktop file id without ".desktop": "org.gnome.Terminal", "debian-xterm".
    QString id;
    // The entry's file.
    QString path;
    QString localizedName;
    QString untranslatedName;
    // A theme icon name or an absolute file path; empty when the entry names none.
    QString icon;
    QString startupWMClass;
    // The programs of Exec and TryExec, found in PATH and with links resolved.
    QStringList executables;
    // Whether menus list the entry (NoDisplay, Hidden and OnlyShowIn leave it out).
    bool isShown = true;
    // Terminal=true: its process is the terminal's, so its program owns no window.
    bool runsInTerminal = false;
};
