// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/RunningAppsMonitor.h"

#include <QUrl>

#include <algorithm>
#include <utility>

RunningAppsMonitor::RunningAppsMonitor(RunningApplicationsSource& source, Desktop& desktop,
                                       Scheduler& scheduler)
    : source_(source), desktop_(desktop), scheduler_(scheduler) {}

void RunningAppsMonitor::start() {
    if (started_)
        return;
    started_ = true;
    refresh();
    // Every change gets its own full refresh, after the notifying code has returned; the monitor
    // may be gone by then.
    observer_ = source_.onChange([this] { scheduler_.post(guard_.guard([this] { refresh(); })); });
}

void RunningAppsMonitor::activate(const RunningApplication& app) {
    source_.activate(app);
}

void RunningAppsMonitor::hide(const RunningApplication& app) {
    source_.hide(app);
}

void RunningAppsMonitor::terminate(const RunningApplication& app) {
    source_.terminate(app);
}

void RunningAppsMonitor::reveal(const RunningApplication& app) {
    if (app.desktopEntryPath)
        desktop_.revealInFileManager(QUrl::fromLocalFile(*app.desktopEntryPath));
}

std::vector<RunningApplication>
RunningAppsMonitor::regularSortedByName(std::vector<RunningApplication> all) {
    struct Entry {
        std::vector<char32_t> name;
        RunningApplication* app;
    };
    std::vector<Entry> entries;
    entries.reserve(all.size());
    for (RunningApplication& app : all) {
        if (app.activationPolicy != ActivationPolicy::regular)
            continue;
        // Code points, not UTF-16 units: a character beyond the Basic Multilingual Plane sorts
        // after U+FFFF, as its scalar value says.
        const QList<uint> ucs4 =
            app.localizedName.value_or(QString()).normalized(QString::NormalizationForm_C).toUcs4();
        entries.push_back({std::vector<char32_t>(ucs4.begin(), ucs4.end()), &app});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.name < b.name; });
    std::vector<RunningApplication> sorted;
    sorted.reserve(entries.size());
    for (Entry& entry : entries)
        sorted.push_back(std::move(*entry.app));
    return sorted;
}

void RunningAppsMonitor::refresh() {
    RunningApplicationsSource::Snapshot snapshot = source_.snapshot();
    apps.set(regularSortedByName(std::move(snapshot.applications)));
    frontmostApp.set(std::move(snapshot.frontmost));
}
