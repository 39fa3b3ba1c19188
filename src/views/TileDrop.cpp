// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/TileDrop.h"

#include "store/DockStore.h"
#include "views/DockItemActions.h"

#include <QMimeData>

namespace TileDrop {

namespace {

bool applyTiles(const TileDragPayload::Tiles& tiles, const Place& place, bool copy,
                DockStore& store, const DroppedItems::Rules& rules) {
    const bool fromElsewhere = tiles.dockId != place.dockId;
    const std::uint64_t before = store.revision(place.dockId, DockFacet::content);
    if (!copy && !(rules.tilesAsCopies && fromElsewhere)) {
        store.moveItems(tiles.itemIds, tiles.dockId, place.dockId, place.tabId, place.index);
    } else {
        std::vector<DockItem> copies;
        for (const QUuid& id : tiles.itemIds) {
            const DockItem* item = DockItemActions::currentItem(store, tiles.dockId, id);
            if (!item || (rules.tilesAsCopies && !holdsContent(item->kind)))
                continue;
            copies.push_back(*item);
            copies.back().id = QUuid::createUuid();
        }
        store.insertItems(copies, place.dockId, place.tabId, place.index);
    }
    // A tile let go where it already was moves nothing: the drop is refused.
    return store.revision(place.dockId, DockFacet::content) != before;
}

} // namespace

bool holdsContent(DockItemKind kind) {
    return kind != DockItemKind::docklet && kind != DockItemKind::separator;
}

Contents read(const QMimeData& data, const DockStore& store, const DroppedItems::Rules& rules) {
    Contents contents;
    contents.tiles = TileDragPayload::read(data);
    if (contents.tiles) {
        // Our own tiles are only ever tiles here: their URIs and text are for other programs.
        for (const QUuid& id : contents.tiles->itemIds) {
            const DockItem* item = DockItemActions::currentItem(store, contents.tiles->dockId, id);
            contents.tilesFound = contents.tilesFound || item;
            contents.tilesHoldContent =
                contents.tilesHoldContent || (item && holdsContent(item->kind));
        }
        return contents;
    }
    contents.addsItems = DroppedItems::hasUsableUrl(data);
    // Whether the text is empty is known only from the text itself, read once at the drop.
    contents.addsText = rules.textAsClipping && !contents.addsItems && data.hasText();
    contents.hasFiles = DockItemActions::trashAccepts(data);
    return contents;
}

bool accepts(const Contents& contents, const QUuid& dockId, const DroppedItems::Rules& rules) {
    if (contents.tiles)
        return contents.tilesFound && (!rules.tilesAsCopies || contents.tiles->dockId == dockId ||
                                       contents.tilesHoldContent);
    return contents.addsItems || contents.addsText;
}

bool apply(const QMimeData& data, const Place& place, bool copy, DockStore& store,
           const FileSystem& fileSystem, const DroppedItems::Rules& rules) {
    if (const auto tiles = TileDragPayload::read(data))
        return applyTiles(*tiles, place, copy, store, rules);
    std::vector<DockItem> added = DroppedItems::fromMimeData(data, fileSystem, rules);
    if (added.empty())
        return false;
    const std::uint64_t before = store.revision(place.dockId, DockFacet::content);
    // One change for the whole drop, however many files it brings.
    store.insertItems(added, place.dockId, place.tabId, place.index);
    return store.revision(place.dockId, DockFacet::content) != before;
}

} // namespace TileDrop
