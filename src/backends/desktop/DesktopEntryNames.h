#pragma once

#include <QString>

#include <optional>

// Reads the localised Name of a desktop entry file (GIO, which follows the Desktop Entry
// specification's locale matching).
namespace DesktopEntryNames {
std::optional<QString> localisedName(const QString& path);
}
