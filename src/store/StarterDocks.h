// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Dock.h"

#include <vector>

class DefaultApplications;
class FileSystem;

// The docks a first start (or an unreadable docks.json) begins with: a launcher dock with the
// desktop's browser, mail, file manager, terminal and settings and a few docklets, an
// application switcher and a clippings tray.
class StarterDocks {
public:
    static std::vector<Dock> make(const FileSystem& fileSystem,
                                  const DefaultApplications& defaultApplications);
};
