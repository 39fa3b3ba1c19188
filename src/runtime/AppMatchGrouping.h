// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runtime/AppMatchGroup.h"
#include "runtime/AppMatchWindow.h"

#include <vector>

// Splits the client windows into applications.
namespace AppMatchGrouping {
// One group per process (windows with a pid), per window class (windows without one) or per
// window (with neither), in the order of each group's first window.
std::vector<AppMatchGroup> group(const std::vector<AppMatchWindow>& windows);
} // namespace AppMatchGrouping
