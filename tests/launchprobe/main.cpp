// SPDX-License-Identifier: GPL-3.0-or-later
// Looks at a desktop entry as the program does before asking the user, then launches it as the
// program does once the user said yes: for the tests that change the file in between.
//
//   moorline-launch-probe ENTRY
//
// Exits 2 when the entry is no launcher, 0 otherwise.
#include "backends/desktop/GioDesktop.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    GioDesktop desktop;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const std::optional<LauncherEntry> shown = desktop.launcherEntry(path);
    if (!shown)
        return 2;
    desktop.launch(path, *shown, {});
    return 0;
}
