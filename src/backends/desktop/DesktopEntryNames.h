// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// The name a desktop entry file goes by on the desktop.
namespace DesktopEntryNames {
// The localised Name of a trusted entry (GIO's locale matching). Absent for an entry the desktop
// does not trust: its Name is its author's claim ("invoice.pdf" for invoice.pdf.desktop), so such
// an entry goes by its file name.
std::optional<QString> trustedName(const QString& path);
} // namespace DesktopEntryNames
