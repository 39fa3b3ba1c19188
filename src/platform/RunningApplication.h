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

    bool operator==(const RunningApplication& other) const {
        return key == other.key && processIdentifier == other.processIdentifier &&
               localizedName == other.localizedName && activationPolicy == other.activationPolicy &&
               desktopEntryPath == other.desktopEntryPath && windows == other.windows &&
               icon.cacheKey() == other.icon.cacheKey();
    }
};
