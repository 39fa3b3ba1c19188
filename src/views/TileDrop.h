// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "views/DroppedItems.h"
#include "views/TileDragPayload.h"

#include <QUuid>

#include <cstdint>
#include <optional>

class DockStore;
class FileSystem;
class QMimeData;

// What a drop onto a place in a dock does with what the drag holds. Our own tiles move there,
// from wherever they are, in one change of the store; with Ctrl held they are copied, each copy
// with an id of its own, and the clippings tray always keeps copies of what it is given. Anything
// from another program becomes new items there (DroppedItems). A drop that adds or moves nothing
// is refused.
namespace TileDrop {

// Before the item at `index` of the tab, as the tab is before the drop; past its end: the end.
struct Place {
    QUuid dockId;
    QUuid tabId;
    std::int64_t index = 0;
};

// What a drag holds, as far as a dock cares: read once per drag, as every read of another
// program's drag is a round trip to it.
struct Contents {
    std::optional<TileDragPayload::Tiles> tiles;
    // Of our own tiles: whether any is still in the store, and whether any holds something the
    // clippings tray keeps (not a docklet or separator).
    bool tilesFound = false;
    bool tilesHoldContent = false;
    // Of another program's drag: usable URLs, text the rules keep as a clipping, local files.
    bool addsItems = false;
    bool addsText = false;
    bool hasFiles = false;
};

Contents read(const QMimeData& data, const DockStore& store, const DroppedItems::Rules& rules);
// Whether a drop into the dock would be taken, from what was read: cheap, for every move.
bool accepts(const Contents& contents, const QUuid& dockId, const DroppedItems::Rules& rules);
// Carries the drop out. True when the store changed.
bool apply(const QMimeData& data, const Place& place, bool copy, DockStore& store,
           const FileSystem& fileSystem, const DroppedItems::Rules& rules);
// Whether the clippings tray keeps an item of this kind.
bool holdsContent(DockItemKind kind);

} // namespace TileDrop
