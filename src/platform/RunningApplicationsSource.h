// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/RunningApplication.h"
#include "platform/Subscription.h"

#include <functional>
#include <optional>
#include <vector>

// The window system's running applications: what runs, which one is in front, a nudge whenever
// that may have changed, and the requests a user makes of an application.
class RunningApplicationsSource {
public:
    struct Snapshot {
        // Every running application, in the window system's order.
        std::vector<RunningApplication> applications;
        // The application that receives key events, if any.
        std::optional<RunningApplication> frontmost;
    };

    virtual ~RunningApplicationsSource() = default;

    virtual Snapshot snapshot() = 0;
    // Called, synchronously and without detail, for each change of the set of windows, of the
    // active window or of a window's hidden state.
    virtual Subscription onChange(std::function<void()> action) = 0;

    // Raises every window of the application, the one most recently in front last.
    virtual void activate(const RunningApplication& application) = 0;
    // Brings one window forward (restoring it when it was minimised).
    virtual void activateWindow(std::uint32_t window) = 0;
    // Every client window, the one most recently in front first.
    virtual std::vector<std::uint32_t> windowsByRecency() = 0;
    // Minimises every window of the application.
    virtual void hide(const RunningApplication& application) = 0;
    // Asks every window of the application to close, as its close button would; never kills.
    virtual void terminate(const RunningApplication& application) = 0;
    // False where the session lets no program list the others' windows (GNOME on Wayland): the
    // snapshot is then empty for want of a way to know, not because nothing runs.
    virtual bool isAvailable() const { return true; }
};
