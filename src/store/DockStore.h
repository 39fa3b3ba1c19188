// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Dock.h"
#include "platform/Published.h"
#include "platform/Scheduler.h"

#include <QHash>
#include <QSet>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

class DefaultApplications;
class DockFileRead;
class FileSystem;

// The single owner of the docks: loads docks.json (or seeds the starter docks), publishes the
// list, changes docks, tabs and items through its operations only, and writes the file 0.4 s
// after the last change. A save that fails stays pending and is tried again.
class DockStore final : public ObservableObject {
public:
    struct Dependencies {
        FileSystem& fileSystem;
        Scheduler& scheduler;
        const DefaultApplications& defaultApplications;
        QString dataDirectory; // the Moorline directory that holds docks.json
        // docks.json already being read and decoded (on a worker, as the program starts);
        // without one the store reads it at once.
        DockFileRead* fileRead = nullptr;
    };

    explicit DockStore(Dependencies dependencies);
    ~DockStore() override;

    // Every change, whole or in place, tells observers first and then the stream's subscribers.
    // Read-only outside the store: change docks through the operations below.
    Published<std::vector<Dock>, DockStore> docks{*this};
    // Empty while saving works; otherwise what went wrong, in words for the user. Set at the
    // first failure of a run of failures, cleared by the next save that succeeds.
    Published<QString, DockStore> saveProblem{*this};

    const QString& filePath() const { return filePath_; }

    void scheduleSave();
    // Writes what is waiting to be saved now, a failed save included (at quit); does nothing
    // when everything is saved.
    void flushPendingSave();
    bool isSavePending() const { return savePending_; }

    std::optional<std::size_t> indexOf(const QUuid& dockId) const;
    const Dock* dock(const QUuid& dockId) const;
    // Grows by one at every operation that touches the dock (never saved); 0 for an unknown dock.
    // A view compares it with the revision it last drew to skip work when its dock is unchanged.
    std::uint64_t revision(const QUuid& dockId) const;

    void addDock(DockKind kind);
    void removeDock(const QUuid& dockId);
    void update(const Dock& dock);
    // Changes one dock in place (its id stays); nothing happens for an unknown dock.
    void mutateDock(const QUuid& dockId, const std::function<void(Dock&)>& change);
    // Changes every dock whose id is in the set, in place and in one change of the list: one
    // notification and one save however many docks, where one mutateDock each would make every
    // observer look at every dock once per dock. Nothing happens when no dock is in the set.
    void mutateDocks(const QSet<QUuid>& dockIds, const std::function<void(Dock&)>& change);
    void setVisible(const QUuid& dockId, bool isVisible);
    void addItem(const DockItem& item, const QUuid& dockId,
                 std::optional<std::int64_t> tabIndex = std::nullopt);
    void removeItem(const QUuid& itemId, const QUuid& dockId);
    void updateItem(const DockItem& item, const QUuid& dockId);
    void addTab(const QUuid& dockId, const QString& name);
    void removeTab(const QUuid& tabId, const QUuid& dockId);

    static std::vector<Dock> starterDocks(const FileSystem& fileSystem,
                                          const DefaultApplications& defaultApplications);

private:
    friend class DockStoreTesting;

    void load(const DefaultApplications& defaultApplications, DockFileRead* fileRead);
    void replaceAll(std::vector<Dock> list);
    // Changes the dock at `index` in place and marks it changed; the caller schedules the save.
    void changeDock(std::size_t index, const std::function<void(Dock&)>& change);
    void touch(const QUuid& dockId);
    void runSave();
    bool persist();
    bool moveUnreadableFileAside();
    void saveFailed(const QString& reason);

    FileSystem& fileSystem_;
    Scheduler& scheduler_;
    QString dataDirectory_;
    QString filePath_;
    Subscription saveWorkItem_;
    bool savePending_ = false;
    bool moveUnreadableBeforeSave_ = false;
    std::chrono::milliseconds retryDelay_{0};
    QHash<QUuid, std::uint64_t> revisions_;
    std::uint64_t lastRevision_ = 0;
};
