// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/LaunchMatch.h"

namespace LaunchMatch {

namespace {

bool sameIgnoringCase(const QString& a, const QString& b) {
    return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
}

// A window class names the entry when it is its id, or the last part of a reverse-DNS id
// ("org.kde.konsole" runs as "konsole").
bool classNamesId(const QString& windowClass, const QString& desktopId) {
    if (windowClass.isEmpty() || desktopId.isEmpty())
        return false;
    if (sameIgnoringCase(windowClass, desktopId))
        return true;
    const qsizetype dot = desktopId.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 &&
           windowClass.compare(QStringView(desktopId).mid(dot + 1), Qt::CaseInsensitive) == 0;
}

bool matchesClass(const LauncherIdentity& entry, const RunningApplication& app) {
    // An entry that states its class is known by that alone: "xterm -class Big" is not every
    // xterm.
    if (!entry.startupWMClass.isEmpty())
        return app.wmClass == entry.startupWMClass || app.wmInstance == entry.startupWMClass;
    return classNamesId(app.wmClass, entry.desktopId) ||
           classNamesId(app.wmInstance, entry.desktopId);
}

bool matchesAppId(const LauncherIdentity& entry, const RunningApplication& app) {
    return sameIgnoringCase(app.appId, entry.desktopId) ||
           (!entry.startupWMClass.isEmpty() && app.appId == entry.startupWMClass);
}

bool isFileOfId(const QString& path, const QString& desktopId) {
    const QStringView name = QStringView(path).mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return !desktopId.isEmpty() && name.endsWith(QLatin1String(".desktop")) &&
           name.chopped(8) == desktopId;
}

} // namespace

bool matches(const LauncherIdentity& entry, const RunningApplication& app,
             const std::optional<QString>& launchedFrom) {
    if (!entry.canonicalPath.isEmpty() && launchedFrom == entry.canonicalPath)
        return true;
    // Started from another entry: it is that entry's program, whatever its class says, unless
    // that entry is a copy of this one by id (a user's override of an installed entry).
    if (launchedFrom && !launchedFrom->isEmpty() && !isFileOfId(*launchedFrom, entry.desktopId))
        return false;
    if (!entry.desktopId.isEmpty() && app.desktopId == entry.desktopId)
        return true;
    return matchesClass(entry, app) || matchesAppId(entry, app);
}

std::vector<const RunningApplication*> matching(const LauncherIdentity& entry,
                                                const std::vector<RunningApplication>& apps,
                                                const QHash<std::int32_t, QString>& launchedHere) {
    std::vector<const RunningApplication*> found;
    for (const RunningApplication& app : apps) {
        const auto here = launchedHere.constFind(app.processIdentifier);
        const bool match = here == launchedHere.constEnd()
                               ? matches(entry, app)
                               : matches(entry, app, std::optional<QString>(*here));
        if (match)
            found.push_back(&app);
    }
    return found;
}

QString badgeIdOf(const RunningApplication& app) {
    if (!app.desktopId.isEmpty())
        return app.desktopId;
    if (app.launchedDesktopFile) {
        const QString& path = *app.launchedDesktopFile;
        const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        if (name.endsWith(QLatin1String(".desktop")))
            return name.chopped(8);
    }
    return app.appId;
}

QString desktopIdOfUri(const QString& uri) {
    QStringView id(uri);
    if (id.startsWith(QLatin1String("application://")))
        id = id.mid(14);
    if (!id.endsWith(QLatin1String(".desktop")) || id.size() <= 8 || id.contains(QLatin1Char('/')))
        return {};
    return id.chopped(8).toString();
}

} // namespace LaunchMatch
