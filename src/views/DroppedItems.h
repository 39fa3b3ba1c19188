// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockItem.h"

#include <QHash>
#include <QString>
#include <QUrl>

#include <vector>

class FileSystem;
class QMimeData;

// The items a drop onto a dock adds, one per usable URL in the order delivered: files and
// folders by path, desktop entries and paths with the extension "app" as applications, web and
// other non-file links as url items; where the rules say so, plain text with no usable URL as
// one text clipping (an empty text adds nothing). Anything else in the drop adds nothing.
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
// Whether the drop would add anything: cheap enough for every move of a drag.
bool hasUsableUrl(const QMimeData& data);

// The local path of a file URL, cleaned ("/a/b/" is "/a/b"); empty for anything else.
QString localPath(const QUrl& url);
// The titles a browser puts beside the links it drags (text/x-moz-url: link and title on
// alternate lines, in UTF-16), by link.
QHash<QString, QString> linkTitles(const QMimeData& data);
// A url item for a link that is not a file: named by its title, else its host, else itself.
DockItem makeLink(const QUrl& url, const QString& title);

} // namespace DroppedItems
