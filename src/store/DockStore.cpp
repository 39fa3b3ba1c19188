// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/DockStore.h"

#include "models/DockCodec.h"
#include "platform/DefaultApplications.h"
#include "platform/FileSystem.h"
#include "store/DockFileRead.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLoggingCategory>
#include <QSet>

#include <algorithm>

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

// Starter applications by role: what the desktop names as default, else the first installed of
// a few well-known entries.
struct StarterRole {
    const char* contentType; // empty when the desktop has no default for the role
    std::initializer_list<const char*> wellKnown;
};

const StarterRole starterRoles[] = {
    {"x-scheme-handler/https",
     {"firefox-esr.desktop", "firefox.desktop", "chromium.desktop", "org.gnome.Epiphany.desktop",
      "google-chrome.desktop", "org.kde.falkon.desktop"}},
    {"x-scheme-handler/mailto",
     {"thunderbird.desktop", "org.mozilla.Thunderbird.desktop", "org.gnome.Evolution.desktop",
      "org.kde.kmail2.desktop", "claws-mail.desktop"}},
    {"inode/directory",
     {"org.gnome.Nautilus.desktop", "org.kde.dolphin.desktop", "thunar.desktop", "nemo.desktop",
      "caja-browser.desktop", "pcmanfm.desktop", "pcmanfm-qt.desktop"}},
    {"",
     {"org.gnome.Terminal.desktop", "org.gnome.Console.desktop", "org.kde.konsole.desktop",
      "xfce4-terminal.desktop", "mate-terminal.desktop", "lxterminal.desktop", "qterminal.desktop",
      "debian-xterm.desktop"}},
    {"",
     {"org.gnome.Settings.desktop", "gnome-control-center.desktop", "systemsettings.desktop",
      "xfce-settings-manager.desktop", "cinnamon-settings.desktop", "mate-control-center.desktop",
      "lxqt-config.desktop"}},
};

std::optional<QString> starterEntry(const StarterRole& role, const DefaultApplications& apps) {
    if (*role.contentType)
        if (auto path = apps.defaultFor(QLatin1String(role.contentType)))
            return path;
    for (const char* id : role.wellKnown)
        if (auto path = apps.installed(QLatin1String(id)))
            return path;
    return std::nullopt;
}

} // namespace

DockStore::DockStore(Dependencies dependencies)
    : fileSystem_(dependencies.fileSystem), scheduler_(dependencies.scheduler),
      dataDirectory_(dependencies.dataDirectory),
      filePath_(dependencies.dataDirectory + QStringLiteral("/docks.json")) {
    if (!fileSystem_.makePath(dataDirectory_))
        qCInfo(lcStore) << "could not create" << dataDirectory_;
    load(dependencies.defaultApplications, dependencies.fileRead);
}

DockStore::~DockStore() = default;

void DockStore::load(const DefaultApplications& defaultApplications, DockFileRead* fileRead) {
    QString problem = QStringLiteral("no file");
    std::optional<DockCodec::Decoded> read;
    if (fileRead && fileRead->filePath() == filePath_)
        read = fileRead->take();
    else if (const auto bytes = fileSystem_.readAll(filePath_))
        read = DockCodec::decode(*bytes);
    if (read) {
        DockCodec::Decoded& decoded = *read;
        if (decoded.ok()) {
            const bool renamed = giveDuplicatesFreshIds(decoded.docks);
            replaceAll(std::move(decoded.docks));
            if (renamed)
                scheduleSave();
            return;
        }
        problem = decoded.error;
    }
    qCInfo(lcStore) << "starting with the starter docks:" << problem;
    // Whatever is there (undecodable, or unreadable to us) is the user's; move it aside before
    // the first save puts the starter docks in its place.
    moveUnreadableBeforeSave_ = fileSystem_.exists(filePath_);
    replaceAll(starterDocks(fileSystem_, defaultApplications));
    scheduleSave();
}

void DockStore::replaceAll(std::vector<Dock> list) {
    revisions_.clear();
    for (const Dock& dock : list)
        touch(dock.id);
    docks.set(std::move(list));
}

void DockStore::touch(const QUuid& dockId) {
    revisions_.insert(dockId, ++lastRevision_);
}

std::uint64_t DockStore::revision(const QUuid& dockId) const {
    return revisions_.value(dockId, 0);
}

void DockStore::scheduleSave() {
    savePending_ = true;
    // The handle cancels the work when the store goes, so `this` is alive when it runs.
    saveWorkItem_ = scheduler_.schedule(saveDelay, [this] { runSave(); });
}

void DockStore::runSave() {
    if (persist()) {
        savePending_ = false;
        retryDelay_ = std::chrono::milliseconds(0);
        if (!saveProblem->isEmpty())
            saveProblem.set({});
        return;
    }
    // The change stays pending: try again by itself (a disk that fills up is often freed again
    // without anything else changing), less often the longer it fails, and at every change.
    retryDelay_ = retryDelay_.count() == 0
                      ? std::chrono::milliseconds(firstRetryDelay)
                      : std::min<std::chrono::milliseconds>(retryDelay_ * 2, lastRetryDelay);
    saveWorkItem_ = scheduler_.schedule(retryDelay_, [this] { runSave(); });
}

void DockStore::flushPendingSave() {
    if (!savePending_)
        return;
    saveWorkItem_.cancel();
    runSave();
    saveWorkItem_.cancel(); // no retry once the program ends
}

bool DockStore::persist() {
    const std::optional<QByteArray> bytes = DockCodec::encode(*docks);
    if (!bytes) {
        // No later attempt could write it either.
        qCInfo(lcStore) << "not saved: a value cannot be written";
        return true;
    }
    // The folder may have gone since the start (deleted, or dropped on the trash).
    if (!fileSystem_.makePath(dataDirectory_)) {
        saveFailed(QCoreApplication::translate("DockStore", "the folder %1 cannot be created")
                       .arg(dataDirectory_));
        return false;
    }
    if (moveUnreadableBeforeSave_) {
        if (!moveUnreadableFileAside()) {
            saveFailed(QCoreApplication::translate(
                "DockStore", "the unreadable docks.json there cannot be moved aside"));
            return false;
        }
        moveUnreadableBeforeSave_ = false;
    }
    QString error;
    if (!fileSystem_.writeAtomically(filePath_, *bytes, &error)) {
        saveFailed(error);
        return false;
    }
    return true;
}

void DockStore::saveFailed(const QString& reason) {
    qCWarning(lcStore) << "could not save" << filePath_ << reason;
    if (saveProblem->isEmpty())
        saveProblem.set(QStringLiteral("%1: %2").arg(filePath_, reason));
}

bool DockStore::moveUnreadableFileAside() {
    // Gone meanwhile: nothing left to keep.
    if (!fileSystem_.exists(filePath_))
        return true;
    const QString base = filePath_ + QStringLiteral(".unreadable-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // A later one never replaces an earlier one, even within the same second. A rename needs no
    // permission to read the file, and works for a folder that stands where the file should.
    QString target = base;
    for (int n = 2; fileSystem_.exists(target); ++n)
        target = base + QStringLiteral("-%1").arg(n);
    return fileSystem_.rename(filePath_, target);
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

void DockStore::changeDock(std::size_t index, const std::function<void(Dock&)>& change) {
    const QUuid id = (*docks)[index].id;
    // Before the subscribers run: they tell changed docks from unchanged ones by it.
    touch(id);
    docks.mutate([&](std::vector<Dock>& list) {
        change(list[index]);
        list[index].id = id;
    });
}

void DockStore::addDock(DockKind kind) {
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
    touch(dock.id);
    docks.mutate([&](std::vector<Dock>& list) { list.push_back(std::move(dock)); });
    scheduleSave();
}

void DockStore::removeDock(const QUuid& dockId) {
    revisions_.remove(dockId);
    docks.mutate([&](std::vector<Dock>& list) {
        std::erase_if(list, [&](const Dock& d) { return d.id == dockId; });
    });
    scheduleSave();
}

void DockStore::update(const Dock& dock) {
    const auto index = indexOf(dock.id);
    if (!index)
        return;
    changeDock(*index, [&](Dock& stored) { stored = dock; });
    scheduleSave();
}

void DockStore::mutateDock(const QUuid& dockId, const std::function<void(Dock&)>& change) {
    const auto index = indexOf(dockId);
    if (!index)
        return;
    changeDock(*index, change);
    scheduleSave();
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
    if (indexes.empty())
        return;
    for (const QUuid& id : seen)
        touch(id);
    docks.mutate([&](std::vector<Dock>& list) {
        for (const std::size_t i : indexes) {
            const QUuid id = list[i].id;
            change(list[i]);
            list[i].id = id;
        }
    });
    scheduleSave();
}

void DockStore::setVisible(const QUuid& dockId, bool isVisible) {
    mutateDock(dockId, [isVisible](Dock& dock) { dock.isVisible = isVisible; });
}

void DockStore::addItem(const DockItem& item, const QUuid& dockId,
                        std::optional<std::int64_t> tabIndex) {
    const auto index = indexOf(dockId);
    if (!index)
        return;
    const Dock& dock = (*docks)[*index];
    const std::int64_t target = tabIndex.value_or(dock.selectedTabIndex);
    if (target < 0 || target >= static_cast<std::int64_t>(dock.tabs.size()))
        return;
    changeDock(*index, [&](Dock& changed) {
        changed.tabs[static_cast<std::size_t>(target)].items.push_back(item);
    });
    scheduleSave();
}

void DockStore::removeItem(const QUuid& itemId, const QUuid& dockId) {
    mutateDock(dockId, [&](Dock& dock) {
        for (DockTab& tab : dock.tabs)
            std::erase_if(tab.items, [&](const DockItem& i) { return i.id == itemId; });
    });
}

void DockStore::updateItem(const DockItem& item, const QUuid& dockId) {
    mutateDock(dockId, [&](Dock& dock) {
        for (DockTab& tab : dock.tabs) {
            const auto it = std::find_if(tab.items.begin(), tab.items.end(),
                                         [&](const DockItem& i) { return i.id == item.id; });
            if (it != tab.items.end())
                *it = item;
        }
    });
}

void DockStore::addTab(const QUuid& dockId, const QString& name) {
    mutateDock(dockId, [&](Dock& dock) { dock.tabs.push_back(DockTab::make(name)); });
}

void DockStore::removeTab(const QUuid& tabId, const QUuid& dockId) {
    const auto index = indexOf(dockId);
    if (!index || (*docks)[*index].tabs.size() < 2)
        return;
    changeDock(*index, [&](Dock& dock) {
        std::erase_if(dock.tabs, [&](const DockTab& t) { return t.id == tabId; });
        dock.selectedTabIndex =
            std::min(dock.selectedTabIndex, static_cast<std::int64_t>(dock.tabs.size()) - 1);
    });
    scheduleSave();
}

std::vector<Dock> DockStore::starterDocks(const FileSystem& fileSystem,
                                          const DefaultApplications& defaultApplications) {
    Dock main = Dock::makeDefault(DockKind::items, QStringLiteral("Dock"));
    DockTab tab = DockTab::make(QStringLiteral("Main"));
    std::vector<QString> taken;
    for (const StarterRole& role : starterRoles) {
        const auto path = starterEntry(role, defaultApplications);
        // One entry may be the default for two roles (a browser that also handles mail).
        if (!path || std::find(taken.begin(), taken.end(), *path) != taken.end())
            continue;
        taken.push_back(*path);
        tab.items.push_back(DockItem::makeApplication(*path, fileSystem));
    }
    tab.items.push_back(DockItem::makeDocklet(DockletKind::separator, QStringLiteral("Separator")));
    tab.items.push_back(DockItem::makeDocklet(DockletKind::clock, QStringLiteral("Clock")));
    tab.items.push_back(
        DockItem::makeDocklet(DockletKind::diskSpace, QStringLiteral("Disk Space")));
    tab.items.push_back(DockItem::makeDocklet(DockletKind::trash, QStringLiteral("Trash")));
    main.tabs = {std::move(tab)};

    return {std::move(main),
            Dock::makeDefault(DockKind::applicationSwitcher, QStringLiteral("Application Dock")),
            Dock::makeDefault(DockKind::clippings, QStringLiteral("Clippings"))};
}
