// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CoalescedTask.h"
#include "platform/LifetimeGuard.h"
#include "platform/Subscription.h"
#include "store/DockChange.h"
#include "windows/DockWindowController.h"

#include <QUuid>

#include <memory>
#include <unordered_map>

// Keeps exactly one window controller per dock of the store: when docks come or go it closes the
// controllers of removed docks and makes controllers for new ones, in list order; when a dock
// changes in what its panel shows, its controller applies the change, and a change of what only
// the panel's content shows (appearance, items) costs the manager nothing. When screens are
// added, removed or rearranged it re-places every dock.
class DockWindowsManager {
public:
    explicit DockWindowsManager(const DockWindowDependencies& dependencies);
    ~DockWindowsManager();
    DockWindowsManager(const DockWindowsManager&) = delete;
    DockWindowsManager& operator=(const DockWindowsManager&) = delete;

    // The controller of a dock, or null.
    DockWindowController* controller(const QUuid& dockId) const;
    std::size_t controllerCount() const { return controllers_.size(); }
    // Writes every frame still waiting in its save delay into the store, in one change (at quit).
    void flushPendingFrameSaves();

private:
    struct UuidHash {
        std::size_t operator()(const QUuid& id) const noexcept { return qHash(id); }
    };

    void storeChanged(const DockChange& change);
    void syncControllers();
    void reapplyForScreens();

    DockWindowDependencies dependencies_;
    std::unordered_map<QUuid, std::unique_ptr<DockWindowController>, UuidHash> controllers_;
    Subscription cancellable_;
    Subscription screensSubscription_;
    // A monitor rearranged arrives as several changes, some of them in the middle of Qt's own
    // bookkeeping: re-apply once, on the next pass, when the screens have their new state.
    CoalescedTask screensChanged_{dependencies_.scheduler, [this] { reapplyForScreens(); }};
    LifetimeGuard lifetime_;
};
