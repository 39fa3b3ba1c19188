// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/StarterDocks.h"

#include "platform/DefaultApplications.h"
#include "platform/FileSystem.h"

#include <algorithm>

namespace {

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

std::vector<Dock> StarterDocks::make(const FileSystem& fileSystem,
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
