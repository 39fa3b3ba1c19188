#include "store/DockStore.h"

#include "models/DockCodec.h"
#include "platform/DefaultApplications.h"
#include "platform/FileSystem.h"

#include <QDateTime>
#include <QLoggingCategory>

#include <algorithm>

Q_LOGGING_CATEGORY(lcStore, "moorline.store", QtWarningMsg)

using namespace std::chrono_literals;

namespace {

constexpr auto saveDelay = 400ms;

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
      fileURL_(dependencies.dataDirectory + QStringLiteral("/docks.json")) {
    if (!fileSystem_.makePath(dependencies.dataDirectory))
        qCInfo(lcStore) << "could not create" << dependencies.dataDirectory;
    load(dependencies.defaultApplications);
}

DockStore::~DockStore() = default;

void DockStore::load(const DefaultApplications& defaultApplications) {
    QString problem = QStringLiteral("no file");
    if (const auto bytes = fileSystem_.readAll(fileURL_)) {
        DockCodec::Decoded decoded = DockCodec::decode(*bytes);
        if (decoded.ok()) {
            docks.set(std::move(decoded.docks));
            return;
        }
        problem = decoded.error;
    }
    qCInfo(lcStore) << "starting with the starter docks:" << problem;
    // Whatever is there (undecodable, or unreadable to us) is the user's; keep a copy before the
    // first save puts the starter docks in its place.
    keepUnreadableBeforeSave_ = fileSystem_.exists(fileURL_);
    docks.set(starterDocks(fileSystem_, defaultApplications));
    scheduleSave();
}

void DockStore::scheduleSave() {
    saveWorkItem_ = scheduler_.schedule(saveDelay, [this] {
        // The handle cancels this when the store goes, so `this` is alive here.
        savePending_ = false;
        persist();
    });
    savePending_ = true;
}

void DockStore::flushPendingSave() {
    if (!savePending_)
        return;
    saveWorkItem_.cancel();
    savePending_ = false;
    persist();
}

void DockStore::persist() {
    const std::optional<QByteArray> bytes = DockCodec::encode(*docks);
    if (!bytes) {
        qCInfo(lcStore) << "not saved: a value cannot be written";
        return;
    }
    if (keepUnreadableBeforeSave_) {
        if (!keepUnreadableFile()) {
            qCWarning(lcStore) << "not saved: could not keep a copy of the unreadable" << fileURL_;
            return;
        }
        keepUnreadableBeforeSave_ = false;
    }
    if (!fileSystem_.writeAtomically(fileURL_, *bytes))
        qCInfo(lcStore) << "could not write" << fileURL_;
}

bool DockStore::keepUnreadableFile() {
    const QString base = fileURL_ + QStringLiteral(".unreadable-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // A later copy never replaces an earlier one, even within the same second.
    QString target = base;
    for (int n = 2; fileSystem_.exists(target); ++n)
        target = base + QStringLiteral("-%1").arg(n);
    return fileSystem_.copyFile(fileURL_, target);
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
    docks.mutate([&](std::vector<Dock>& list) { list.push_back(std::move(dock)); });
    scheduleSave();
}

void DockStore::removeDock(const QUuid& dockId) {
    docks.mutate([&](std::vector<Dock>& list) {
        std::erase_if(list, [&](const Dock& d) { return d.id == dockId; });
    });
    scheduleSave();
}

void DockStore::update(const Dock& dock) {
    const auto index = indexOf(dock.id);
    if (!index)
        return;
    docks.mutate([&](std::vector<Dock>& list) { list[*index] = dock; });
    scheduleSave();
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
    docks.mutate([&](std::vector<Dock>& list) {
        list[*index].tabs[static_cast<std::size_t>(target)].items.push_back(item);
    });
    scheduleSave();
}

void DockStore::removeItem(const QUuid& itemId, const QUuid& dockId) {
    const auto index = indexOf(dockId);
    if (!index)
        return;
    docks.mutate([&](std::vector<Dock>& list) {
        for (DockTab& tab : list[*index].tabs)
            std::erase_if(tab.items, [&](const DockItem& i) { return i.id == itemId; });
    });
    scheduleSave();
}

void DockStore::updateItem(const DockItem& item, const QUuid& dockId) {
    const auto index = indexOf(dockId);
    if (!index)
        return;
    docks.mutate([&](std::vector<Dock>& list) {
        for (DockTab& tab : list[*index].tabs) {
            const auto it = std::find_if(tab.items.begin(), tab.items.end(),
                                         [&](const DockItem& i) { return i.id == item.id; });
            if (it != tab.items.end())
                *it = item;
        }
    });
    scheduleSave();
}

void DockStore::addTab(const QUuid& dockId, const QString& name) {
    const auto index = indexOf(dockId);
    if (!index)
        return;
    docks.mutate(
        [&](std::vector<Dock>& list) { list[*index].tabs.push_back(DockTab::make(name)); });
    scheduleSave();
}

void DockStore::removeTab(const QUuid& tabId, const QUuid& dockId) {
    const auto index = indexOf(dockId);
    if (!index || (*docks)[*index].tabs.size() < 2)
        return;
    docks.mutate([&](std::vector<Dock>& list) {
        Dock& dock = list[*index];
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
