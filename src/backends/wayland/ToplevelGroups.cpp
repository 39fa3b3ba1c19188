// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/ToplevelGroups.h"

#include "backends/desktop/DesktopEntryIndexReader.h"

#include <QHash>

namespace {

// Our own settings window is no application of the user's.
constexpr char ownAppId[] = MOORLINE_APP_ID;

} // namespace

ToplevelGroups::ToplevelGroups() : entries_(&DesktopEntryIndexReader::readInstalled) {}

RunningApplicationsSource::Snapshot
ToplevelGroups::snapshot(const std::vector<ToplevelFacts>& windows) {
    RunningApplicationsSource::Snapshot snapshot;
    std::vector<AppMatchCache::Query> queries;
    std::vector<std::vector<const ToplevelFacts*>> groups;
    QHash<QString, std::size_t> indexOf;
    for (const ToplevelFacts& window : windows) {
        if (window.appId == QLatin1String(ownAppId))
            continue;
        const QString key = window.appId.isEmpty()
                                ? u"wayland-window:"_qs + QString::number(window.number)
                                : u"wayland:"_qs + window.appId;
        const auto found = indexOf.constFind(key);
        if (found != indexOf.cend()) {
            groups[*found].push_back(&window);
            continue;
        }
        indexOf.insert(key, groups.size());
        groups.push_back({&window});
        queries.push_back({key, window.appId, window.appId, std::nullopt});
    }
    const std::vector<const AppMatchEntry*> entries = entries_.matchAll(queries);
    for (std::size_t i = 0; i < groups.size(); ++i) {
        RunningApplication app;
        app.key = queries[i].key;
        const ToplevelFacts& first = *groups[i].front();
        app.appId = first.appId;
        app.processIdentifier = first.pid;
        if (const AppMatchEntry* entry = entries[i]) {
            app.desktopId = entry->id;
            app.localizedName =
                !entry->localizedName.isEmpty() ? entry->localizedName : entry->untranslatedName;
            app.desktopEntryPath = entry->path;
            app.icon = entries_.iconOf(*entry);
        }
        if (!app.localizedName || app.localizedName->isEmpty())
            app.localizedName = first.appId.isEmpty() ? first.title : first.appId;
        if (app.icon.isNull()) {
            if (!genericIcon_)
                genericIcon_ = QIcon::fromTheme(u"application-x-executable"_qs);
            app.icon = *genericIcon_;
        }
        bool front = false;
        for (const ToplevelFacts* window : groups[i]) {
            app.windows.push_back(window->number);
            front |= window->activated;
        }
        snapshot.applications.push_back(app);
        if (front)
            snapshot.frontmost = std::move(app);
    }
    return snapshot;
}
