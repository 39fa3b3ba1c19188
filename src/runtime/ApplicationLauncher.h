// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Desktop.h"
#include "platform/LifetimeGuard.h"
#include "platform/Scheduler.h"
#include "platform/Subscription.h"

#include <QHash>

#include <chrono>
#include <optional>
#include <vector>

class LaunchConfirmation;
class LaunchFeedback;
class ProcessScopes;
class RunningApplicationsSource;
class RunningAppsMonitor;

// Opens application desktop entries as a desktop does. A click brings the entry's running
// program forward, its most recent window, and each further click while it is in front the
// next of its windows; only when none runs does it launch. "New" always launches, as does an
// entry's own action. An entry the desktop does not trust asks first. Every launch carries a
// startup token whose feedback ends when a window of the launched process appears, or after a
// while, and its process is moved into a unit of its own.
class ApplicationLauncher {
public:
    struct Dependencies {
        Desktop& desktop;
        LaunchConfirmation& confirmation;
        RunningAppsMonitor& runningApps;
        RunningApplicationsSource& windows;
        LaunchFeedback& feedback;
        ProcessScopes& scopes;
        Scheduler& scheduler;
    };

    // How long the launch feedback lasts when no window of the launched process shows up.
    static constexpr Scheduler::Duration feedbackTimeout = std::chrono::seconds(15);
    // How long a launched process is known by its pid before it shows a window.
    static constexpr Scheduler::Duration launchedMemory = std::chrono::minutes(2);

    explicit ApplicationLauncher(Dependencies dependencies);
    ApplicationLauncher(const ApplicationLauncher&) = delete;
    ApplicationLauncher& operator=(const ApplicationLauncher&) = delete;

    // A click on the entry's tile.
    void open(const QString& path);
    // Starts another copy, running or not.
    void openNew(const QString& path);
    // Runs one of the entry's own actions.
    void runAction(const QString& path, const QString& actionId);

    // The entry's actions as it reads now; none for what is no launchable entry.
    std::vector<LauncherAction> actions(const QString& path);
    // Whether a program of the entry runs. The entry is read once and remembered (a click
    // reads it again); the answer is kept until the running applications change.
    bool isRunning(const QString& path);
    // The entry's desktop id, as remembered; empty for what is no launchable entry.
    QString desktopId(const QString& path);

private:
    struct Pending {
        LaunchToken token;
        std::optional<std::int32_t> pid;
        Subscription timeout;
    };
    // A process we started, until it has shown a window and ended, or never showed one in time
    // (its pid may then be another program's).
    struct Launched {
        QString file;
        Scheduler::TimePoint at;
        bool seen = false;
    };

    const LauncherIdentity* identity(const QString& path);
    std::optional<LauncherEntry> read(const QString& path);
    bool bringForward(const LauncherIdentity& identity);
    void launch(const QString& path, const LauncherEntry& entry, const QString& action);
    void start(const QString& path, const LauncherEntry& approved, const QString& action);
    void endFeedback(const LaunchToken& token);
    void endArrived();
    void forgetEnded();

    Dependencies d_;
    QHash<QString, std::optional<LauncherIdentity>> identities_;
    QHash<QString, bool> running_;
    std::vector<Pending> pending_;
    QHash<std::int32_t, Launched> launched_;
    // The entry files of `launched_`, as matching takes them.
    QHash<std::int32_t, QString> launchedFiles_;
    Subscription appsObserver_;
    LifetimeGuard guard_;
};
