// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/RunningApplicationsSource.h"
#include "runtime/AppMatchCache.h"

#include <cstdint>
#include <optional>
#include <vector>

// What a compositor's window list says about one toplevel window, whichever protocol said it.
struct ToplevelFacts {
    // The source's own number for the window, its handle in RunningApplication::windows.
    std::uint32_t number = 0;
    QString appId;
    QString title;
    // -1 when the compositor does not say.
    std::int32_t pid = -1;
    bool activated = false;
};

// Turns a compositor's toplevel windows into running applications: one per app id (a window
// without one stands alone), in the order their first windows appeared, named after the
// matching desktop entry as WM_CLASS is on X11. Keeps the entry index between snapshots.
class ToplevelGroups {
public:
    ToplevelGroups();

    // `windows` in the order the compositor announced them.
    RunningApplicationsSource::Snapshot snapshot(const std::vector<ToplevelFacts>& windows);

private:
    AppMatchCache entries_;
    std::optional<QIcon> genericIcon_;
};
