// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

class ApplicationLauncher;
class QMenu;

// The entries an application tile's menu takes from its desktop entry and its program: the
// entry's own actions ("Open a New Window"), by their names in the user's language, and "New
// Window", which starts another copy whether one runs or not. The launcher outlives every menu.
class ApplicationMenuEntries {
    Q_DECLARE_TR_FUNCTIONS(ApplicationMenuEntries)
public:
    // The entry's actions, then a separator; nothing for an entry without any.
    static void addEntryActions(QMenu& menu, ApplicationLauncher& launcher, const QString& path);
    static void addNewWindow(QMenu& menu, ApplicationLauncher& launcher, const QString& path);
};
