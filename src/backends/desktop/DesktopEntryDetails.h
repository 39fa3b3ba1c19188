// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Desktop.h"

class DesktopEntryFile;
using GDesktopAppInfo = struct _GDesktopAppInfo;

// What a launcher shows and matches of a desktop entry, beyond whether and how it starts.
namespace DesktopEntryDetails {

// Fills the entry's identity, actions, name, icon and startup-notification wish from the file
// as read and as GIO parsed it.
void fill(LauncherEntry& entry, const DesktopEntryFile& file, GDesktopAppInfo* app);
// The desktop file id of a file, without ".desktop": its path below the applications folder it
// lies in with "/" as "-", else its file name.
QString desktopIdOf(const QString& canonicalPath);

} // namespace DesktopEntryDetails
