// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/ApplicationLauncher.h"

#include "platform/LaunchConfirmation.h"
#include "platform/LaunchFeedback.h"
#include "platform/ProcessScopes.h"
#include "platform/RunningApplicationsSource.h"
#include "runtime/LaunchMatch.h"
#include "runtime/RunningAppsMonitor.h"

#include <algorithm>
#include <limits>

ApplicationLauncher::ApplicationLauncher(Dependencies dependencies) : d_(dependencies) {
    appsObserver_ = d_.runningApps.apps.sink([this](const std::vector<RunningApplication>&) {
        running_.clear();
        forgetEnded();
        endArrived();
    });
}

std::optional<LauncherEntry> ApplicationLauncher::read(const QString& path) {
    auto entry = d_.desktop.launcherEntry(path);
    identities_.insert(path, entry ? std::optional(entry->identity) : std::nullopt);
    running_.remove(path);
    return entry;
}

const LauncherIdentity* ApplicationLauncher::identity(const QString& path) {
    auto found = identities_.constFind(path);
    if (found == identities_.constEnd()) {
        read(path);
        found = identities_.constFind(path);
    }
    return found->has_value() ? &**found : nullptr;
}

void ApplicationLauncher::open(const QString& path) {
    const auto entry = read(path);
    if (!entry || bringForward(entry->identity))
        return;
    launch(path, *entry, {});
}

void ApplicationLauncher::openNew(const QString& path) {
    if (const auto entry = read(path))
        launch(path, *entry, {});
}

void ApplicationLauncher::runAction(const QString& path, const QString& actionId) {
    const auto entry = read(path);
    if (!entry)
        return;
    const auto& actions = entry->actions;
    if (std::none_of(actions.begin(), actions.end(),
                     [&](const LauncherAction& a) { return a.id == actionId; }))
        return;
    launch(path, *entry, actionId);
}

std::vector<LauncherAction> ApplicationLauncher::actions(const QString& path) {
    const auto entry = read(path);
    return entry ? entry->actions : std::vector<LauncherAction>{};
}

bool ApplicationLauncher::isRunning(const QString& path) {
    // Before the running applications are first read (once the panels are drawn) nothing runs:
    // the tiles of the first frame need no desktop entry read to know it.
    if (d_.runningApps.apps.get().empty())
        return false;
    const auto known = running_.constFind(path);
    if (known != running_.constEnd())
        return *known;
    const LauncherIdentity* id = identity(path);
    const bool running =
        id && !LaunchMatch::matching(*id, d_.runningApps.apps.get(), launchedFiles_).empty();
    running_.insert(path, running);
    return running;
}

QString ApplicationLauncher::desktopId(const QString& path) {
    const LauncherIdentity* id = identity(path);
    return id ? id->desktopId : QString();
}

bool ApplicationLauncher::bringForward(const LauncherIdentity& identity) {
    const auto found = LaunchMatch::matching(identity, d_.runningApps.apps.get(), launchedFiles_);
    std::vector<std::uint32_t> windows;
    for (const RunningApplication* app : found)
        windows.insert(windows.end(), app->windows.begin(), app->windows.end());
    if (windows.empty())
        return false;
    const std::vector<std::uint32_t> recency = d_.windows.windowsByRecency();
    const auto rank = [&](std::uint32_t window) {
        const auto at = std::find(recency.begin(), recency.end(), window);
        return at == recency.end() ? std::numeric_limits<std::ptrdiff_t>::max()
                                   : at - recency.begin();
    };
    const auto mostRecent =
        std::min_element(windows.begin(), windows.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return rank(a) < rank(b); });
    auto target = mostRecent;
    // Already in front: the next window in a fixed order, so that clicks go round them all
    // (by recency they would only swap the two most recent).
    const auto& front = d_.runningApps.frontmostApp.get();
    if (front && std::any_of(found.begin(), found.end(),
                             [&](const RunningApplication* app) { return app->key == front->key; }))
        target = std::next(mostRecent) == windows.end() ? windows.begin() : std::next(mostRecent);
    d_.windows.activateWindow(*target);
    return true;
}

void ApplicationLauncher::launch(const QString& path, const LauncherEntry& entry,
                                 const QString& action) {
    if (entry.isTrusted) {
        start(path, entry, action);
        return;
    }
    QString execLine = entry.execLine;
    for (const LauncherAction& a : entry.actions)
        if (a.id == action)
            execLine = a.execLine;
    // Copies only: the tile that asked may be gone by the time the user answers.
    d_.confirmation.ask(path, execLine, guard_.guard([this, path, entry, action](bool yes) {
        if (yes)
            start(path, entry, action);
    }));
}

void ApplicationLauncher::start(const QString& path, const LauncherEntry& approved,
                                const QString& action) {
    LaunchToken token;
    if (!approved.refusesStartupNotification)
        token =
            d_.feedback.begin({approved.name, approved.icon, approved.identity.desktopId,
                               approved.identity.startupWMClass, approved.identity.canonicalPath});
    const LaunchResult result = d_.desktop.launch(path, approved, {action, token});
    if (result.started && result.pid) {
        d_.scopes.adopt(*result.pid, approved.identity.desktopId);
        launched_.insert(*result.pid, {approved.identity.canonicalPath, d_.scheduler.now()});
        launchedFiles_.insert(*result.pid, approved.identity.canonicalPath);
        running_.clear();
    }
    if (token.isEmpty())
        return;
    if (!result.started) {
        d_.feedback.end(token);
        return;
    }
    Pending pending{token, result.pid, {}};
    pending.timeout =
        d_.scheduler.schedule(feedbackTimeout, guard_.guard([this, token] { endFeedback(token); }));
    pending_.push_back(std::move(pending));
    endArrived();
}

void ApplicationLauncher::endFeedback(const LaunchToken& token) {
    d_.feedback.end(token);
    std::erase_if(pending_, [&](const Pending& p) { return p.token == token; });
}

void ApplicationLauncher::endArrived() {
    const auto& apps = d_.runningApps.apps.get();
    std::vector<LaunchToken> arrived;
    for (const Pending& p : pending_)
        if (p.pid && std::any_of(apps.begin(), apps.end(), [&](const RunningApplication& app) {
                return app.processIdentifier == *p.pid;
            }))
            arrived.push_back(p.token);
    for (const LaunchToken& token : arrived)
        endFeedback(token);
}

void ApplicationLauncher::forgetEnded() {
    const auto& apps = d_.runningApps.apps.get();
    const Scheduler::TimePoint now = d_.scheduler.now();
    for (auto it = launched_.begin(); it != launched_.end();) {
        const bool shows = std::any_of(apps.begin(), apps.end(), [&](const RunningApplication& a) {
            return a.processIdentifier == it.key();
        });
        // Too late for a first window: the pid may well be another program's by now.
        const bool keep = it->seen ? shows : now - it->at < launchedMemory;
        if (keep) {
            it->seen = it->seen || shows;
            ++it;
            continue;
        }
        launchedFiles_.remove(it.key());
        it = launched_.erase(it);
    }
}
