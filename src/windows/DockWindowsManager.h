#pragma once

#include "platform/LifetimeGuard.h"
#include "platform/Subscription.h"
#include "windows/DockWindowController.h"

#include <QUuid>

#include <map>
#include <memory>

// Keeps exactly one window controller per dock of the store: on every change of the dock list it
// closes the controllers of removed docks, re-applies every remaining dock and makes controllers
// for new ones, in list order. When screens are added, removed or rearranged it re-applies every
// dock as well.
class DockWindowsManager {
public:
    // The services and the window layer must outlive the manager.
    DockWindowsManager(const DockViewServices& services,
                       const DockWindowDependencies& dependencies);
    ~DockWindowsManager();
    DockWindowsManager(const DockWindowsManager&) = delete;
    DockWindowsManager& operator=(const DockWindowsManager&) = delete;

    // The controller of a dock, or null.
    DockWindowController* controller(const QUuid& dockID) const;
    std::size_t controllerCount() const { return controllers_.size(); }
    // Writes every frame still waiting in its save delay into the store (at quit).
    void flushPendingFrameSaves();

private:
    void syncControllers();
    void screensChanged();

    DockViewServices services_;
    DockWindowDependencies dependencies_;
    std::map<QUuid, std::unique_ptr<DockWindowController>> controllers_;
    Subscription cancellable_;
    Subscription screensSubscription_;
    bool isScreenChangePending_ = false;
    LifetimeGuard lifetime_;
};
