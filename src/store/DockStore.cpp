// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/DockStore.h"

#include "models/DockCodec.h"
#include "platform/DefaultApplications.h"
#include "platform/FileSystem.h"
#include "platform/Worker.h"
#include "store/DockFileRead.h"
#include "store/DockFileWrite.h"
#include "store/DockSnapshot.h"
#include "store/StarterDocks.h"

#include <QLoggingCategory>
#include <QSet>

#include <algorithm>
#include <utility>

Q_LOGGING_CATEGORY(lcStore, "moorline.store", QtWarningMsg)

using namespace std::chrono_literals;

namespace {

constexpr auto saveDelay = 400ms;
constexpr auto firstRetryDelay = 2s;
constexpr auto lastRetryDelay = 60s;

// A hand-edited or merged file can hold two docks with one id; later ones get ids of their own,
// so that every dock has its own panel and hot key and can be changed or deleted on its own.
bool giveDuplicatesFreshIds(std::vector<Dock>& docks) {
    QSet<QUuid> seen;
    bool renamed = false;
    for (Dock& dock : docks) {
        if (seen.contains(dock.id)) {
            dock.id = QUuid::createUuid();
            renamed = true;
        }
        seen.insert(dock.id);
    }
    return renamed;
}

} // namespace

DockStore::DockStore(Dependencies dependencies)
    : fileSystem_(dependencies.fileSystem), scheduler_(dependencies.scheduler),
      worker_(dependencies.worker), dataDirectory_(dependencies.dataDirectory),
      filePath_(dependencies.dataDirectory + QStringLiteral("/docks.json")) {
    if (!fileSystem_.makePath(dataDirectory_))
        qCInfo(lcStore) << "could not create" << dataDirectory_;
    load(dependencies.defaultApplications, dependencies.fileRead);
}

DockStore::~DockStore() = default;

void DockStore::load(const DefaultApplications& defaultApplications, DockFileRead* fileRead) {
    QString problem = QStringLiteral("no file");
    std::optional<DockCodec::Decoded> read;
    if (fileRead && fileRead->filePath() == filePath_) {
        if (auto result = fileRead->take()) {
            read = std::move(result->decoded);
            leftOutFrom_ = std::move(result->whole);
        }
    } else if (const auto bytes = fileSystem_.readAll(filePath_)) {
        read = DockCodec::decode(*bytes);
    }
    if (read) {
        DockCodec::Decoded& decoded = *read;
        if (decoded.ok()) {
            // Only docks' ids are made unique, and every dock was read.
            const bool renamed = giveDuplicatesFreshIds(decoded.docks);
            replaceAll(std::move(decoded.docks));
            if (renamed)
                scheduleSave();
            return;
        }
        problem = decoded.error;
        leftOutFrom_.clear();
    }
    qCInfo(lcStore) << "starting with the starter docks:" << problem;
    // Whatever is there (undecodable, or unreadable to us) is the user's; move it aside before
    // the first save puts the starter docks in its place.
    moveUnreadableBeforeSave_ = fileSystem_.exists(filePath_);
    replaceAll(StarterDocks::make(fileSystem_, defaultApplications));
    scheduleSave();
}

void DockStore::finishLoading() {
    if (leftOutFrom_.isNull() || leftOutJob_.isActive())
        return;
    if (!worker_)
        return ensureWhole();
    leftOutRead_ = std::make_shared<DockCodec::Decoded>();
    leftOutJob_ = worker_->run(
        [read = leftOutRead_, bytes = leftOutFrom_] { *read = DockCodec::decode(bytes); },
        [this] {
            leftOutJob_.release();
            leftOutFrom_.clear();
            takeLeftOut(std::move(*std::exchange(leftOutRead_, {})));
        });
}

void DockStore::ensureWhole() {
    if (leftOutFrom_.isNull())
        return;
    if (leftOutJob_.isActive()) {
        // The reading under way ends first, here and now.
        leftOutJob_.cancel();
        worker_->waitForAll();
        leftOutFrom_.clear();
        return takeLeftOut(std::move(*std::exchange(leftOutRead_, {})));
    }
    takeLeftOut(DockCodec::decode(std::exchange(leftOutFrom_, {})));
}

void DockStore::takeLeftOut(DockCodec::Decoded whole) {
    if (!whole.ok()) {
        // Bytes read once fail a second reading only when memory runs out. Nothing may be
        // written over them then: the file is kept aside whole before the first save.
        qCWarning(lcStore) << "could not read the rest of" << filePath_ << whole.error;
        moveUnreadableBeforeSave_ = true;
        return;
    }
    // Nothing changed the docks before this (every change waits for it): they are the file's
    // docks, in its order, with their ids made unique, and each tab holds its first items.
    std::vector<DockChange> changes;
    docks.mutate([&](std::vector<Dock>& list) {
        for (std::size_t d = 0; d < list.size() && d < whole.docks.size(); ++d) {
            std::vector<DockTab>& tabs = list[d].tabs;
            std::vector<DockTab>& wholeTabs = whole.docks[d].tabs;
            bool grew = false;
            for (std::size_t t = 0; t < tabs.size() && t < wholeTabs.size(); ++t) {
                if (wholeTabs[t].items.size() > tabs[t].items.size()) {
                    tabs[t].items = std::move(wholeTabs[t].items);
                    grew = true;
                }
            }
            if (grew) {
                changes.push_back({list[d].id, DockFacet::content});
                raise(list[d].id, DockFacet::content);
            }
        }
    });
    publish(changes);
}

void DockStore::replaceAll(std::vector<Dock> list) {
    revisions_.clear();
    ++lastRevision_;
    for (const Dock& dock : list)
        revisions_[dock.id].fill(lastRevision_);
    listRevision_ = lastRevision_;
    docks.set(std::move(list));
    publish({{QUuid(), allDockFacets}});
}

void DockStore::raise(const QUuid& dockId, DockFacets facets) {
    ++lastRevision_;
    Revisions& revisions = revisions_[dockId];
    for (int i = 0; i < dockFacetCount; ++i)
        if (facets.testFlag(DockFacet(1u << i)))
            revisions[std::size_t(i)] = lastRevision_;
    if (facets & DockFacet::listing)
        listRevision_ = lastRevision_;
}

std::uint64_t DockStore::revision(const QUuid& dockId, DockFacets facets) const {
    const auto found = revisions_.constFind(dockId);
    if (found == revisions_.cend())
        return 0;
    std::uint64_t latest = 0;
    for (int i = 0; i < dockFacetCount; ++i)
        if (facets.testFlag(DockFacet(1u << i)))
            latest = std::max(latest, (*found)[std::size_t(i)]);
    return latest;
}

Subscription DockStore::observeChanges(std::function<void(const DockChange&)> action) {
    return changed_.connect(std::move(action));
}

void DockStore::publish(const std::vector<DockChange>& changes) {
    for (const DockChange& change : changes)
        changed_.emit(change);
}

void DockStore::scheduleSave() {
    savePending_ = true;
    ++changeCount_;
    // The handle cancels the work when the store goes, so `this` is alive when it runs.
    saveWorkItem_ = scheduler_.schedule(saveDelay, [this] { runSave(); });
}

void DockStore::runSave() {
    // One save at a time, so that an earlier one never lands after a later one: the next starts
    // once this one has ended.
    if (saveJob_.isActive()) {
        saveAgain_ = true;
        return;
    }
    if (!worker_)
        return saveNow();
    ensureWhole();
    // The worker writes a snapshot: the docks may change meanwhile, and their texts and icons
    // are shared with it, never changed in place.
    saveCovers_ = changeCount_;
    saveOutcome_ = std::make_shared<DockFileWrite::Outcome>();
    saveJob_ = worker_->run(
        [outcome = saveOutcome_, snapshot = *docks, &fileSystem = fileSystem_,
         directory = dataDirectory_, path = filePath_, moveAside = moveUnreadableBeforeSave_] {
            *outcome = DockFileWrite::run(snapshot, fileSystem, directory, path, moveAside);
        },
        [this] {
            saveJob_.release();
            saveEnded(*saveOutcome_, saveCovers_);
        });
}

void DockStore::saveNow() {
    ensureWhole();
    saveEnded(DockFileWrite::run(*docks, fileSystem_, dataDirectory_, filePath_,
                                 moveUnreadableBeforeSave_),
              changeCount_);
}

void DockStore::saveEnded(const DockFileWrite::Outcome& outcome, std::uint64_t covers) {
    if (outcome.movedAside)
        moveUnreadableBeforeSave_ = false;
    if (outcome.result == DockFileWrite::Result::saved) {
        // A change made while it was written is still to be saved.
        savePending_ = changeCount_ != covers;
        retryDelay_ = std::chrono::milliseconds(0);
        if (!saveProblem->isEmpty())
            saveProblem.set({});
    } else {
        saveFailed(outcome.problem);
    }
    if (std::exchange(saveAgain_, false))
        return runSave();
    // Too large stays too large however often it is tried: the next change may fix it.
    if (outcome.result != DockFileWrite::Result::failed)
        return;
    // The change stays pending: try again by itself (a disk that fills up is often freed again
    // without anything else changing), less often the longer it fails, and at every change.
    retryDelay_ = retryDelay_.count() == 0
                      ? std::chrono::milliseconds(firstRetryDelay)
                      : std::min<std::chrono::milliseconds>(retryDelay_ * 2, lastRetryDelay);
    saveWorkItem_ = scheduler_.schedule(retryDelay_, [this] { runSave(); });
}

void DockStore::flushPendingSave() {
    if (saveJob_.isActive()) {
        // The save under way ends first, here and now, and is taken as it ended.
        saveJob_.cancel();
        worker_->waitForAll();
        saveAgain_ = false;
        saveEnded(*saveOutcome_, saveCovers_);
    }
    if (!savePending_)
        return;
    saveWorkItem_.cancel();
    saveNow();
    saveWorkItem_.cancel(); // no retry once the program ends
}

void DockStore::saveFailed(const QString& reason) {
    qCWarning(lcStore) << "could not save" << filePath_ << reason;
    const QString problem = QStringLiteral("%1: %2").arg(filePath_, reason);
    if (*saveProblem != problem)
        saveProblem.set(problem);
}

std::optional<std::size_t> DockStore::indexOf(const QUuid& dockId) const {
    const auto& list = *docks;
    const auto it =
        std::find_if(list.begin(), list.end(), [&](const Dock& d) { return d.id == dockId; });
    if (it == list.end())
        return std::nullopt;
    return static_cast<std::size_t>(it - list.begin());
}

const Dock* DockStore::dock(const QUuid& dockId) const {
    const auto index = indexOf(dockId);
    return index ? &(*docks)[*index] : nullptr;
}

void DockStore::changeDocks(const std::vector<std::size_t>& indexes, const Change& change) {
    if (indexes.empty())
        return;
    ensureWhole();
    // In place (a dock may hold many thousand items), each compared with a snapshot of itself.
    std::vector<DockChange> changes;
    docks.mutate([&](std::vector<Dock>& list) {
        for (const std::size_t index : indexes) {
            Dock& dock = list[index];
            const QUuid id = dock.id;
            const DockSnapshot before(dock);
            const DockFacets said = change(dock);
            dock.id = id;
            if (const DockFacets facets = before.changesTo(dock) | said) {
                changes.push_back({id, facets});
                // Before the stream's subscribers run: they tell changed docks by it.
                raise(id, facets);
            }
        }
    });
    // A change that changed nothing is no change: nothing to save, nobody to tell.
    if (changes.empty())
        return;
    scheduleSave();
    publish(changes);
}

void DockStore::changeDock(const QUuid& dockId, const Change& change) {
    if (const auto index = indexOf(dockId))
        changeDocks({*index}, change);
}

void DockStore::addDock(DockKind kind) {
    ensureWhole();
    QString name;
    switch (kind) {
    case DockKind::items:
        name = QStringLiteral("New Dock");
        break;
    case DockKind::applicationSwitcher:
        name = QStringLiteral("Application Dock");
        break;
    case DockKind::clippings:
        name = QStringLiteral("Clippings Dock");
        break;
    }
    Dock dock = Dock::makeDefault(kind, name);
    const double step = static_cast<double>(docks->size() % 6) * 24.0;
    dock.position.x += step;
    dock.position.y += step;
    const QUuid id = dock.id;
    raise(id, allDockFacets);
    docks.mutate([&](std::vector<Dock>& list) { list.push_back(std::move(dock)); });
    scheduleSave();
    publish({{id, allDockFacets}});
}

void DockStore::removeDock(const QUuid& dockId) {
    ensureWhole();
    const bool present = indexOf(dockId).has_value();
    if (present) {
        revisions_.remove(dockId);
        listRevision_ = ++lastRevision_;
        docks.mutate([&](std::vector<Dock>& list) {
            std::erase_if(list, [&](const Dock& d) { return d.id == dockId; });
        });
    }
    scheduleSave();
    if (present)
        publish({{dockId, allDockFacets}});
}

void DockStore::mutateDock(const QUuid& dockId, const std::function<void(Dock&)>& change) {
    // The comparison with the dock before finds out what changed.
    changeDock(dockId, [&](Dock& dock) {
        change(dock);
        return DockFacets();
    });
}

void DockStore::mutateDocks(const QSet<QUuid>& dockIds, const std::function<void(Dock&)>& change) {
    std::vector<std::size_t> indexes;
    QSet<QUuid> seen;
    for (std::size_t i = 0; i < docks->size(); ++i) {
        const QUuid& id = (*docks)[i].id;
        // The first dock with an id is the one every lookup finds.
        if (dockIds.contains(id) && !seen.contains(id)) {
            seen.insert(id);
            indexes.push_back(i);
        }
    }
    changeDocks(indexes, [&](Dock& dock) {
        change(dock);
        return DockFacets();
    });
}

void DockStore::setVisible(const QUuid& dockId, bool isVisible) {
    mutateDock(dockId, [isVisible](Dock& dock) { dock.isVisible = isVisible; });
}

namespace {

std::optional<std::size_t> tabIndexOf(const Dock& dock, const QUuid& tabId) {
    for (std::size_t i = 0; i < dock.tabs.size(); ++i)
        if (dock.tabs[i].id == tabId)
            return i;
    return std::nullopt;
}

std::size_t clampedIndex(std::int64_t index, std::size_t size) {
    return static_cast<std::size_t>(std::clamp<std::int64_t>(index, 0, std::int64_t(size)));
}

// Whether moving the items within their dock to `insertAt` of the target list leaves everything
// where it is: all of them in that list already, together, at that place.
template <typename IsMoved>
bool isAlreadyInPlace(const std::vector<DockItem>& target, std::ptrdiff_t insertAt,
                      const Dock& dock, const IsMoved& isMoved) {
    std::size_t elsewhere = 0;
    for (const DockTab& tab : dock.tabs)
        if (&tab.items != &target)
            elsewhere += std::size_t(std::count_if(tab.items.begin(), tab.items.end(), isMoved));
    const auto first = std::find_if(target.begin(), target.end(), isMoved);
    if (elsewhere > 0 || first == target.end() || first - target.begin() != insertAt)
        return false;
    const auto end = std::find_if_not(first, target.end(), isMoved);
    return std::none_of(end, target.end(), isMoved);
}

constexpr DockFacets content = DockFacet::content;

} // namespace

void DockStore::addTab(const QUuid& dockId, const QString& name) {
    changeDock(dockId, [&](Dock& dock) {
        dock.tabs.push_back(DockTab::make(name));
        return content;
    });
}

void DockStore::removeTab(const QUuid& tabId, const QUuid& dockId) {
    changeDock(dockId, [&](Dock& dock) {
        const auto index = tabIndexOf(dock, tabId);
        if (!index || dock.tabs.size() < 2)
            return DockFacets();
        dock.tabs.erase(dock.tabs.begin() + std::ptrdiff_t(*index));
        dock.selectedTabIndex =
            std::min(dock.selectedTabIndex, static_cast<std::int64_t>(dock.tabs.size()) - 1);
        return content;
    });
}

void DockStore::selectTab(const QUuid& dockId, const QUuid& tabId) {
    changeDock(dockId, [&](Dock& dock) {
        if (const auto index = tabIndexOf(dock, tabId))
            dock.selectedTabIndex = static_cast<std::int64_t>(*index);
        return DockFacets(); // the selection is compared
    });
}

void DockStore::renameTab(const QUuid& dockId, const QUuid& tabId, const QString& name) {
    changeDock(dockId, [&](Dock& dock) {
        if (const auto index = tabIndexOf(dock, tabId))
            dock.tabs[*index].name = name;
        return DockFacets(); // tab names are compared
    });
}

void DockStore::addItem(const DockItem& item, const QUuid& dockId,
                        std::optional<std::int64_t> tabIndex) {
    changeDock(dockId, [&](Dock& dock) {
        const std::int64_t target = tabIndex.value_or(dock.selectedTabIndex);
        if (target < 0 || target >= static_cast<std::int64_t>(dock.tabs.size()))
            return DockFacets();
        dock.tabs[static_cast<std::size_t>(target)].items.push_back(item);
        return content;
    });
}

void DockStore::insertItems(const std::vector<DockItem>& items, const QUuid& dockId,
                            const QUuid& tabId, std::int64_t index) {
    changeDock(dockId, [&](Dock& dock) {
        const auto tab = tabIndexOf(dock, tabId);
        if (!tab || items.empty())
            return DockFacets();
        std::vector<DockItem>& target = dock.tabs[*tab].items;
        target.insert(target.begin() + std::ptrdiff_t(clampedIndex(index, target.size())),
                      items.begin(), items.end());
        return content;
    });
}

void DockStore::removeItem(const QUuid& itemId, const QUuid& dockId) {
    changeDock(dockId, [&](Dock& dock) {
        std::size_t removed = 0;
        for (DockTab& tab : dock.tabs)
            removed += std::erase_if(tab.items, [&](const DockItem& i) { return i.id == itemId; });
        return removed ? content : DockFacets();
    });
}

void DockStore::updateItem(const DockItem& item, const QUuid& dockId) {
    changeDock(dockId, [&](Dock& dock) {
        DockFacets changed;
        for (DockTab& tab : dock.tabs) {
            const auto it = std::find_if(tab.items.begin(), tab.items.end(),
                                         [&](const DockItem& i) { return i.id == item.id; });
            if (it != tab.items.end() && !(*it == item)) {
                *it = item;
                changed = content;
            }
        }
        return changed;
    });
}

void DockStore::moveItems(const std::vector<QUuid>& itemIds, const QUuid& fromDockId,
                          const QUuid& toDockId, const QUuid& toTabId, std::int64_t index) {
    // The index is a place in the whole tab.
    ensureWhole();
    const auto from = indexOf(fromDockId);
    const auto to = indexOf(toDockId);
    const auto tab = to ? tabIndexOf((*docks)[*to], toTabId) : std::nullopt;
    if (!from || !tab)
        return;
    // A drag moves one item or a few: a scan of those beats hashing each of thousands of ids.
    const QSet<QUuid> wanted =
        itemIds.size() > 8 ? QSet<QUuid>(itemIds.begin(), itemIds.end()) : QSet<QUuid>();
    const auto isMoved = [&](const DockItem& item) {
        return wanted.isEmpty()
                   ? std::find(itemIds.begin(), itemIds.end(), item.id) != itemIds.end()
                   : wanted.contains(item.id);
    };
    // The index is a place in the target tab as it is now: the moved items before it leave.
    const std::vector<DockItem>& targetItems = (*docks)[*to].tabs[*tab].items;
    const auto before =
        targetItems.begin() + std::ptrdiff_t(clampedIndex(index, targetItems.size()));
    const std::ptrdiff_t insertAt =
        (before - targetItems.begin()) -
        (*from == *to ? std::count_if(targetItems.begin(), before, isMoved) : 0);
    if (*from == *to && isAlreadyInPlace(targetItems, insertAt, (*docks)[*from], isMoved))
        return;

    std::vector<DockItem> moving;
    const auto takeOut = [&](Dock& dock) {
        for (DockTab& source : dock.tabs) {
            if (std::none_of(source.items.begin(), source.items.end(), isMoved))
                continue;
            // In place: a tab of many thousand items is not copied for one moved tile.
            auto kept = source.items.begin();
            for (auto item = source.items.begin(); item != source.items.end(); ++item) {
                if (isMoved(*item)) {
                    moving.push_back(std::move(*item));
                    continue;
                }
                if (kept != item)
                    *kept = std::move(*item);
                ++kept;
            }
            source.items.erase(kept, source.items.end());
        }
    };
    const auto putIn = [&](Dock& dock) {
        if (moving.empty())
            return;
        std::vector<DockItem>& items = dock.tabs[*tab].items;
        items.insert(items.begin() + insertAt, std::make_move_iterator(moving.begin()),
                     std::make_move_iterator(moving.end()));
    };
    // Source first, then target, in one change of the list: one notification, one save.
    if (*from == *to)
        changeDocks({*from}, [&](Dock& dock) {
            takeOut(dock);
            putIn(dock);
            return moving.empty() ? DockFacets() : content;
        });
    else
        changeDocks({*from, *to}, [&](Dock& dock) {
            if (dock.id == fromDockId)
                takeOut(dock);
            else
                putIn(dock);
            return moving.empty() ? DockFacets() : content;
        });
}
