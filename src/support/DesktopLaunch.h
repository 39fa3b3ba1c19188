// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>

#include <optional>

class ApplicationLauncher;
class Clipboard;
class Desktop;
struct DockItem;

// Opens and reveals dock items through the desktop: an application's desktop entry goes to the
// ApplicationLauncher (which brings its running program forward or launches it), files and folders
// open with their default application, URLs with their scheme's handler, a clipping's text goes
// onto the clipboard. Fire and forget.
namespace DesktopLaunch {

// Only an application item runs a desktop entry. Files, folders and URLs (file URLs included)
// only ever open with a handler; a clipping's text replaces the clipboard's contents; docklets
// and separators do nothing.
void open(const DockItem& item, ApplicationLauncher& launcher, Desktop& desktop,
          Clipboard& clipboard);
// The desktop entry an item launches, if it is an application item of one.
std::optional<QString> desktopEntryOf(const DockItem& item);
// Shows an application, file or folder (by path) or a URL in the file manager; other kinds do
// nothing.
void reveal(const DockItem& item, Desktop& desktop);

// The URL a url item stands for: its text parsed strictly, with a scheme. A relative reference
// such as "example.com" has none and is not a URL here, since no handler could take it.
std::optional<QUrl> parsedUrl(const DockItem& item);

// Whether the path names a desktop entry (a launcher) rather than a document.
bool isDesktopEntryPath(const QString& path);

} // namespace DesktopLaunch
