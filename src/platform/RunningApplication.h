// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// How a running application takes part in the desktop: regular ones belong in a dock,
// accessory ones only show auxiliary windows (panels, tool windows), prohibited ones show none.
enum class ActivationPolicy { regular, accessory, prohibited };

// One running application as the window system reports it: a snapshot value that the
// RunningApplicationsSource hands out and takes back for activate, hide and terminate.
struct RunningApplication {
    // Stays the same for the life of the application (built from its pid or its window class).
    QString key;
    // -1 when the window system does not know the process.
    std::int32_t processIdentifier = -1;
    std::optional<QString> localizedName;
    ActivationPolicy activationPolicy = ActivationPolicy::regular;
    // The desktop entry file of the application, else its executable.
    std::optional<QString> desktopEntryPath;
    // A null icon when the application has none.
    QIcon icon;
    // Opaque handles, the window system's own, of the windows that activate, hide and terminate
    // act on: X window ids on X11, the source's own numbers for Wayland toplevels.
    std::vector<std::uint32_t> windows;
    // What ties it to the desktop entry a launcher holds. The id of the installed entry it was
    // matched to ("org.gnome.Terminal"), empty when none was.
    QString desktopId;
    // WM_CLASS of its first window (X11), empty when it has none.
    QString wmInstance;
    QString wmClass;
    // The application id a Wayland compositor reports; empty on X11.
    QString appId;
    // The desktop entry GIO started this very process from (GIO_LAUNCHED_DESKTOP_FILE, only when
    // GIO_LAUNCHED_DESKTOP_FILE_PID names the process, not a parent it inherited them from).
    std::optional<QString> launchedDesktopFile;

    bool operator==(const RunningApplication& other) const {
        return key == other.key && processIdentifier == other.processIdentifier &&
               localizedName == other.localizedName && activationPolicy == other.activationPolicy &&
               desktopEntryPath == other.desktopEntryPath && windows == other.windows &&
               desktopId == other.desktopId && wmInstance == other.wmInstance &&
               wmClass == other.wmClass && appId == other.appId &&
               launchedDesktopFile == other.launchedDesktopFile &&
               icon.cacheKey() == other.icon.cacheKey();
    }
};
