// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>

#include <optional>

class Clipboard;
class LaunchConfirmation;
class Desktop;
struct DockItem;

// Opens and reveals dock items through the desktop: an application's desktop entry is launched
// (after asking, when the desktop does not trust it), files and folders open with their default
// application, URLs with their scheme's handler, a clipping's text goes onto the clipboard.
// Fire and forget.
namespace DesktopLaunch {

// Only an application item runs a desktop entry: a trusted one at once, any other once the user
// says yes. Files, folders and URLs (file URLs included) only ever open with a handler; a
// clipping's text replaces the clipboard's contents; docklets and separators do nothing.
// `desktop` must outlive `confirmation`, which may answer long after this returns.
void open(const DockItem& item, Desktop& desktop, Clipboard& clipboard,
          LaunchConfirmation& confirmation);
// Shows an application, file or folder (by path) or a URL in the file manager; other kinds do
// nothing.
void reveal(const DockItem& item, Desktop& desktop);

// The URL a url item stands for: its text parsed strictly, with a scheme. A relative reference
// such as "example.com" has none and is not a URL here, since no handler could take it.
std::optional<QUrl> parsedUrl(const DockItem& item);

// Whether the path names a desktop entry (a launcher) rather than a document.
bool isDesktopEntryPath(const QString& path);

} // namespace DesktopLaunch
