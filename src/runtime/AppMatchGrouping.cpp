// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/AppMatchGrouping.h"

#include <QHash>

namespace {

QString keyOf(const AppMatchWindow& window) {
    if (window.pid)
        return QStringLiteral("pid:") + QString::number(*window.pid);
    if (!window.wmClass.isEmpty())
        return QStringLiteral("class:") + window.wmClass;
    return QStringLiteral("window:0x") + QString::number(window.window, 16);
}

} // namespace

std::vector<AppMatchGroup> AppMatchGrouping::group(const std::vector<AppMatchWindow>& windows) {
    std::vector<AppMatchGroup> groups;
    QHash<QString, std::size_t> indexByKey;
    for (const AppMatchWindow& window : windows) {
        const QString key = keyOf(window);
        auto found = indexByKey.constFind(key);
        if (found == indexByKey.constEnd()) {
            found = indexByKey.insert(key, groups.size());
            AppMatchGroup group;
            group.key = key;
            group.pid = window.pid;
            groups.push_back(std::move(group));
        }
        AppMatchGroup& group = groups[*found];
        group.windows.push_back(window.window);
        if (window.isNormal && !window.skipsTaskbar)
            group.taskbarWindows.push_back(window.window);
        if (group.wmClass.isEmpty() && group.wmInstance.isEmpty()) {
            group.wmInstance = window.wmInstance;
            group.wmClass = window.wmClass;
        }
    }
    return groups;
}
