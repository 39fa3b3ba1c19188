// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runtime/AppMatchEntry.h"

#include <vector>

// Reads the installed desktop entries (through GIO, which settles which of two files with one id
// counts) into the plain records that recognise running applications, sorted by id.
namespace DesktopEntryIndexReader {
std::vector<AppMatchEntry> readInstalled();
}
