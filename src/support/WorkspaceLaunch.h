#pragma once

#include <QUrl>

#include <optional>

class Clipboard;
class Workspace;
struct DockItem;

// Opens and reveals dock items through the desktop: applications, files and folders by path,
// URLs by their scheme's handler, text clippings onto the clipboard. Fire and forget.
namespace WorkspaceLaunch {

// Applications, files and folders are opened by path, URLs with their handler, a clipping's text
// replaces the clipboard's contents; docklets and separators do nothing.
void open(const DockItem& item, Workspace& workspace, Clipboard& clipboard);
// Shows an application, file or folder (by path) or a URL in the file manager; other kinds do
// nothing.
void reveal(const DockItem& item, Workspace& workspace);

// The URL a url item stands for: its text parsed strictly, with a scheme. A relative reference
// such as "example.com" has none and is not a URL here, since no handler could take it.
std::optional<QUrl> parsedUrl(const DockItem& item);

} // namespace WorkspaceLaunch
