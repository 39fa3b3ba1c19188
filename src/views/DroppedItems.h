// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockItem.h"

#include <QHash>
#include <QString>
#include <QUrl>

#include <optional>
#include <vector>

class FileSystem;
class QMimeData;

// The items a drop onto a dock adds, one per usable URL in the order delivered: files and
// folders by path, desktop entries and paths with the extension "app" as applications, web and
// other non-file links as url items. Plain text with no usable URL that is one web address
// is a link too; other text, where the rules say so, one text clipping (an empty text adds
// nothing). Anything else in the drop adds nothing.
namespace DroppedItems {

struct Rules {
    // Items docks make applications of desktop entries and "app" paths; the clippings tray
    // keeps them as files or folders.
    bool desktopEntriesAsApplications = true;
    // The clippings tray keeps a drop of plain text (with no usable URL) as a text clipping.
    bool textAsClipping = false;
    // The clippings tray keeps copies of the tiles it is given from other docks (their source
    // keeps them), and takes only tiles that hold something: no docklets, no separators.
    bool tilesAsCopies = false;
};

std::vector<DockItem> fromMimeData(const QMimeData& data, const FileSystem& fileSystem,
                                   Rules rules = {});
// Whether the drop holds a link or a file (a web address as text included), read once per drag.
bool hasUsableUrl(const QMimeData& data);
// The item for a file or folder that is added, as a drop adds it.
DockItem fromPath(const QString& path, const FileSystem& fileSystem, Rules rules = {});
// The text as a web address, when it is one and nothing else: a single line with an http or
// https URL that has a host, or an address starting "www.". Space around it does not count.
std::optional<QUrl> webAddress(const QString& text);

// The local path of a file URL, cleaned ("/a/b/" is "/a/b"); empty for anything else.
QString localPath(const QUrl& url);
// The titles a browser puts beside the links it drags (text/x-moz-url: link and title on
// alternate lines, in UTF-16), by link.
QHash<QString, QString> linkTitles(const QMimeData& data);
// A url item for a link that is not a file: named by its title, else its host, else itself.
DockItem makeLink(const QUrl& url, const QString& title);

} // namespace DroppedItems
