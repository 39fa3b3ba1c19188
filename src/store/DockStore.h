// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Dock.h"
#include "models/DockCodec.h"
#include "platform/Published.h"
#include "platform/Scheduler.h"
#include "platform/Signal.h"
#include "store/DockChange.h"
#include "store/DockFileWrite.h"

#include <QHash>
#include <QSet>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class DefaultApplications;
class DockFileRead;
class FileSystem;
class Worker;

// The single owner of the docks: loads docks.json (or seeds the starter docks), publishes the
// list, changes docks, tabs and items through its operations only, and writes the file 0.4 s
// after the last change, from a snapshot on the worker: a save never holds up the main thread,
// and never overtakes an earlier one. A save that fails stays pending and is tried again; one
// that would make a file too large to read back is not written, and waits for the next change.
//
// What changed. Every change that changes something says which docks it touched and which of
// their facets (DockFacets), in two ways that observers combine:
// - observeChanges() calls its subscribers synchronously once the new list is in place, with one
//   DockChange per dock touched. An observer picks out the docks and facets it shows there and
//   asks for a refresh on a later pass; a burst of changes then gives one refresh.
// - revision(dockId, facets) and listRevision() only ever grow. The refresh compares them with
//   what it saw last time, so that it does the work of the facets that moved and nothing else,
//   however many changes the burst held.
// A change that changes nothing (the same value written again) is no change: no DockChange, no
// revision, no save. The `docks` stream and the store's objectWillChange know nothing of facets
// and may fire for such a change too: observers that want what changed use observeChanges().
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
        // Writes the saves off the main thread (with a file system safe to use there); without
        // one the store writes them itself.
        Worker* worker = nullptr;
    };

    explicit DockStore(Dependencies dependencies);
    ~DockStore() override;

    // Read-only outside the store: change docks through the operations below.
    Published<std::vector<Dock>, DockStore> docks{*this};
    // Empty while saving works; otherwise what went wrong, in words for the user. Set when a
    // save fails for a new reason, cleared by the next save that succeeds.
    Published<QString, DockStore> saveProblem{*this};

    const QString& filePath() const { return filePath_; }
    // A file read for the first frame (DockFileRead) may leave out the later items of its large
    // tabs: this reads them now, on the worker, and the store takes them when they come, as a
    // change of those docks' content (no save). Any change or save before then waits for them.
    void finishLoading();
    // Writes what is waiting to be saved now, a failed save included (at quit); does nothing
    // when everything is saved.
    void flushPendingSave();

    std::optional<std::size_t> indexOf(const QUuid& dockId) const;
    const Dock* dock(const QUuid& dockId) const;

    // Calls `action` after every change with what it touched (see above).
    [[nodiscard]] Subscription observeChanges(std::function<void(const DockChange&)> action);
    // The latest change of any of `facets` of the dock, as a number that only grows (never
    // saved); 0 for an unknown dock. Equal numbers mean nothing of those facets changed.
    std::uint64_t revision(const QUuid& dockId, DockFacets facets = allDockFacets) const;
    // Grows whenever the listing changes: a dock added, removed or moved, renamed, shown or
    // hidden, or the whole list read anew.
    std::uint64_t listRevision() const { return listRevision_; }

    // Docks.
    void addDock(DockKind kind);
    // Saves even when no dock has that id.
    void removeDock(const QUuid& dockId);
    // Changes one dock's settings in place (its id stays); nothing happens for an unknown dock.
    // The facets that changed are found by comparing the dock before and after; its tabs and
    // items change through the operations below, which say what they change.
    void mutateDock(const QUuid& dockId, const std::function<void(Dock&)>& change);
    // mutateDock for every dock whose id is in the set, in one change of the list: one
    // notification and one save however many docks. Nothing happens when no dock is in the set.
    void mutateDocks(const QSet<QUuid>& dockIds, const std::function<void(Dock&)>& change);
    void setVisible(const QUuid& dockId, bool isVisible);

    // Tabs. Each does nothing for an unknown dock or tab.
    void addTab(const QUuid& dockId, const QString& name);
    // Keeps a dock's last tab; lowers the selection only as far as it must.
    void removeTab(const QUuid& tabId, const QUuid& dockId);
    void selectTab(const QUuid& dockId, const QUuid& tabId);
    // The name as given, empty included.
    void renameTab(const QUuid& dockId, const QUuid& tabId, const QString& name);

    // Items.
    // Appends to the tab at `tabIndex`, by default the selected one; nothing when out of range.
    void addItem(const DockItem& item, const QUuid& dockId,
                 std::optional<std::int64_t> tabIndex = std::nullopt);
    // Puts the items in the tab before the item at `index` (clamped to the tab), in their order.
    void insertItems(const std::vector<DockItem>& items, const QUuid& dockId, const QUuid& tabId,
                     std::int64_t index);
    // Removes every item of that id, in every tab of the dock.
    void removeItem(const QUuid& itemId, const QUuid& dockId);
    // Replaces the first item of that id in each tab of the dock.
    void updateItem(const DockItem& item, const QUuid& dockId);
    // Moves the items of these ids, from whichever tabs of `fromDockId` hold them, into the tab
    // `toTabId` of `toDockId` at `index`: a position in that tab as it is before the move,
    // clamped to it. The items keep their order in the source; ids not found are left out. One
    // change and one save, also between two docks; within one tab it reorders. Nothing happens
    // when no item is found or the target tab does not exist.
    void moveItems(const std::vector<QUuid>& itemIds, const QUuid& fromDockId,
                   const QUuid& toDockId, const QUuid& toTabId, std::int64_t index);

private:
    friend class DockStoreTesting;
    // A change of one dock in place, answering what it changed beyond what the comparison with
    // the dock before sees by itself (the items: see DockSnapshot).
    using Change = std::function<DockFacets(Dock&)>;
    using Revisions = std::array<std::uint64_t, dockFacetCount>;

    void load(const DefaultApplications& defaultApplications, DockFileRead* fileRead);
    void replaceAll(std::vector<Dock> list);
    // Every change and save starts here: the items loading left out are taken first, so that
    // nothing is changed or written of a tab not whole.
    void ensureWhole();
    void takeLeftOut(DockCodec::Decoded whole);
    void scheduleSave();
    // Applies `change` to the docks at `indexes` in one change of the list, then tells what
    // changed and schedules the save; nothing at all when nothing changed.
    void changeDocks(const std::vector<std::size_t>& indexes, const Change& change);
    void changeDock(const QUuid& dockId, const Change& change);
    void raise(const QUuid& dockId, DockFacets facets);
    void publish(const std::vector<DockChange>& changes);
    void runSave();
    void saveNow();
    // `covers`: the changes the save held (changeCount_ when it began).
    void saveEnded(const DockFileWrite::Outcome& outcome, std::uint64_t covers);
    void saveFailed(const QString& reason);

    FileSystem& fileSystem_;
    Scheduler& scheduler_;
    Worker* worker_;
    QString dataDirectory_;
    QString filePath_;
    // The file's bytes while items of it are still to be read, and their reading on the worker.
    QByteArray leftOutFrom_;
    Subscription leftOutJob_;
    std::shared_ptr<DockCodec::Decoded> leftOutRead_;
    Subscription saveWorkItem_;
    bool savePending_ = false;
    std::uint64_t changeCount_ = 0;
    // The save being written on the worker, and what it will say.
    Subscription saveJob_;
    std::shared_ptr<DockFileWrite::Outcome> saveOutcome_;
    std::uint64_t saveCovers_ = 0;
    // A save was asked for while one was being written.
    bool saveAgain_ = false;
    bool moveUnreadableBeforeSave_ = false;
    std::chrono::milliseconds retryDelay_{0};
    QHash<QUuid, Revisions> revisions_;
    std::uint64_t lastRevision_ = 0;
    std::uint64_t listRevision_ = 0;
    Signal<DockChange> changed_;
};
