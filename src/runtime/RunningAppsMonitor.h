// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Desktop.h"
#include "platform/LifetimeGuard.h"
#include "platform/ObservableObject.h"
#include "platform/Published.h"
#include "platform/RunningApplicationsSource.h"
#include "platform/Scheduler.h"

#include <optional>
#include <vector>

// The regular running applications sorted by name, and the frontmost application, kept up to
// date by one full refresh per change the window system reports. Empty until started: the first
// reading (every window's properties, every desktop entry installed) waits until the docks are
// on screen.
class RunningAppsMonitor final : public ObservableObject {
public:
    RunningAppsMonitor(RunningApplicationsSource& source, Desktop& desktop, Scheduler& scheduler);

    // Reads the running applications and follows their changes from now on; once.
    void start();
    bool isStarted() const { return started_; }

    Published<std::vector<RunningApplication>, RunningAppsMonitor> apps{*this};
    Published<std::optional<RunningApplication>, RunningAppsMonitor> frontmostApp{*this};

    void activate(const RunningApplication& app);
    void hide(const RunningApplication& app);
    void terminate(const RunningApplication& app);
    // Shows the application's desktop entry (or executable) selected in the file manager.
    void reveal(const RunningApplication& app);
    // False where the session cannot tell which programs run (see RunningApplicationsSource).
    bool isAvailable() const { return source_.isAvailable(); }

    // The regular applications of `all`, stably sorted by the code points of their
    // NFC-normalised names (no name sorts as the empty text).
    static std::vector<RunningApplication> regularSortedByName(std::vector<RunningApplication> all);

private:
    void refresh();

    RunningApplicationsSource& source_;
    Desktop& desktop_;
    Scheduler& scheduler_;
    LifetimeGuard guard_;
    Subscription observer_;
    bool started_ = false;
};
