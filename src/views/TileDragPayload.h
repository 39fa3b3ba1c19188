// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUuid>

#include <optional>
#include <vector>

class QMimeData;
struct DockItem;

// What a tile carries when it is dragged: for Moorline's own docks, a private type naming the
// dock, the tab and the item; for other programs, what they understand of the item: its file or
// desktop entry as a URI list, a url item's link (with its name, as browsers give it), a
// clipping's text. Docklets and separators give other programs nothing.
namespace TileDragPayload {

// The private type. What it holds is only believed from a drag this process started: another
// instance's ids mean nothing here.
inline const QString type = QStringLiteral("application/x-moorline-tile");

struct Tiles {
    QUuid dockId;
    QUuid tabId;
    std::vector<QUuid> itemIds;
};

QMimeData* make(const DockItem& item, const QUuid& dockId, const QUuid& tabId);
// The tiles a drag holds when this process started it; nothing otherwise (another program, or
// another instance of this one).
std::optional<Tiles> read(const QMimeData& data);

} // namespace TileDragPayload
