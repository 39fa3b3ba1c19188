// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/DockWindowsManager.h"

#include "platform/Scheduler.h"
#include "platform/Screens.h"
#include "store/DockStore.h"

#include <QHash>
#include <QSet>

#include <vector>

DockWindowsManager::DockWindowsManager(const DockWindowDependencies& dependencies)
    : dependencies_(dependencies) {
    syncControllers();
    cancellable_ = dependencies_.store.observeChanges(
        lifetime_.guard([this](const DockChange& change) { storeChanged(change); }));
    screensSubscription_ = dependencies_.screens.observeChanges(
        lifetime_.guard([this] { screensChanged_.request(); }));
}

DockWindowsManager::~DockWindowsManager() = default;

DockWindowController* DockWindowsManager::controller(const QUuid& dockId) const {
    const auto found = controllers_.find(dockId);
    return found == controllers_.end() ? nullptr : found->second.get();
}

void DockWindowsManager::flushPendingFrameSaves() {
    QHash<QUuid, DockPosition> frames;
    for (const auto& [id, controller] : controllers_)
        if (const std::optional<DockPosition> frame = controller->takePendingFrame())
            frames.insert(id, *frame);
    if (frames.isEmpty())
        return;
    const QList<QUuid> ids = frames.keys();
    // Only the positions: changes to other fields meanwhile survive.
    dependencies_.store.mutateDocks(QSet<QUuid>(ids.begin(), ids.end()),
                                    [&](Dock& dock) { dock.position = frames.value(dock.id); });
}

void DockWindowsManager::storeChanged(const DockChange& change) {
    if (!(change.facets & DockWindowController::shownFacets))
        return;
    DockWindowController* existing = change.dockId.isNull() ? nullptr : controller(change.dockId);
    // A dock that came or went, or a list read anew.
    if (!existing || !dependencies_.store.dock(change.dockId)) {
        syncControllers();
        return;
    }
    existing->applyChanges();
}

void DockWindowsManager::syncControllers() {
    QSet<QUuid> present;
    present.reserve(qsizetype(dependencies_.store.docks->size()));
    for (const Dock& dock : *dependencies_.store.docks)
        present.insert(dock.id);

    // Removals first, so that a replaced dock never has two panels at once.
    std::vector<QUuid> stale;
    for (const auto& [id, controller] : controllers_)
        if (!present.contains(id))
            stale.push_back(id);
    for (const QUuid& id : stale) {
        const auto found = controllers_.find(id);
        if (found->second)
            found->second->close();
        controllers_.erase(found);
    }

    // Read the list again: a controller may have changed the store while closing.
    std::vector<QUuid> order;
    order.reserve(dependencies_.store.docks->size());
    for (const Dock& dock : *dependencies_.store.docks)
        order.push_back(dock.id);
    for (const QUuid& id : order) {
        if (auto* existing = controller(id)) {
            // Only what changed since its last apply: with many docks, re-applying all of them
            // at every change made each change cost a round of window requests per dock.
            existing->applyChanges();
            continue;
        }
        controllers_.emplace(id, std::make_unique<DockWindowController>(id, dependencies_));
    }
}

void DockWindowsManager::reapplyForScreens() {
    std::vector<QUuid> order;
    for (const Dock& dock : *dependencies_.store.docks)
        order.push_back(dock.id);
    for (const QUuid& id : order)
        if (auto* existing = controller(id))
            existing->screensChanged();
}
