// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/ApplicationMenuEntries.h"

#include "runtime/ApplicationLauncher.h"

#include <QMenu>

void ApplicationMenuEntries::addEntryActions(QMenu& menu, ApplicationLauncher& launcher,
                                             const QString& path) {
    const std::vector<LauncherAction> actions = launcher.actions(path);
    for (const LauncherAction& action : actions)
        // The name as the entry gives it: an ampersand in it is text, not a shortcut.
        menu.addAction(QString(action.name).replace(u'&', QStringLiteral("&&")), &menu,
                       [&launcher, path, id = action.id] { launcher.runAction(path, id); });
    if (!actions.empty())
        menu.addSeparator();
}

void ApplicationMenuEntries::addNewWindow(QMenu& menu, ApplicationLauncher& launcher,
                                          const QString& path) {
    menu.addAction(tr("New Window"), &menu, [&launcher, path] { launcher.openNew(path); });
}
