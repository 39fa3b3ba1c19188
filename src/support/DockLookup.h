// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Dock.h"

#include <QString>
#include <QUuid>

#include <optional>
#include <vector>

// Finds the dock a user names on the command line: by its id (with or without braces), else
// the first dock with exactly that name, else the first whose name matches ignoring case.
namespace DockLookup {

std::optional<QUuid> find(const std::vector<Dock>& docks, const QString& nameOrId);

} // namespace DockLookup
