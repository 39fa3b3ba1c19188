// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/TileDragPayload.h"

#include "models/DockItem.h"

#include <QMimeData>
#include <QUrl>

namespace TileDragPayload {

namespace {

// Tells this process's drags from those of any other, a second Moorline included.
const QUuid& processToken() {
    static const QUuid token = QUuid::createUuid();
    return token;
}

QByteArray utf16(const QString& text) {
    return {reinterpret_cast<const char*>(text.utf16()), text.size() * qsizetype(sizeof(char16_t))};
}

void addForOtherPrograms(QMimeData& data, const DockItem& item) {
    switch (item.kind) {
    case DockItemKind::application:
    case DockItemKind::file:
    case DockItemKind::folder:
        if (item.path && !item.path->isEmpty())
            data.setUrls({QUrl::fromLocalFile(*item.path)});
        break;
    case DockItemKind::url:
        if (const QUrl url(item.urlString.value_or(QString())); url.isValid() && !url.isEmpty()) {
            data.setUrls({url});
            // Browsers and file managers name a dropped link by this: the link, then its title.
            data.setData(QStringLiteral("text/x-moz-url"),
                         utf16(url.toString(QUrl::FullyEncoded) + u'\n' + item.name));
        }
        break;
    case DockItemKind::clippingText:
        if (item.textContent) {
            const QString text = item.textContent->toString();
            // Editors ask for the type with its charset; Qt programs for plain text/plain.
            data.setData(QStringLiteral("text/plain;charset=utf-8"), text.toUtf8());
            data.setText(text);
        }
        break;
    case DockItemKind::docklet:
    case DockItemKind::separator:
        break;
    }
}

} // namespace

QMimeData* make(const DockItem& item, const QUuid& dockId, const QUuid& tabId) {
    auto* data = new QMimeData;
    addForOtherPrograms(*data, item);
    QByteArray own;
    for (const QUuid& id : {processToken(), dockId, tabId, item.id})
        own += id.toByteArray(QUuid::WithoutBraces) + '\n';
    data->setData(type, own);
    return data;
}

std::optional<Tiles> read(const QMimeData& data) {
    // The list of types is known without asking the source: a drag of another program that does
    // not offer the type costs no round trip.
    if (!data.hasFormat(type))
        return std::nullopt;
    const QList<QByteArray> lines = data.data(type).split('\n');
    if (lines.size() < 4 || QUuid(lines[0]) != processToken())
        return std::nullopt;
    Tiles tiles{QUuid(lines[1]), QUuid(lines[2]), {}};
    for (qsizetype i = 3; i < lines.size(); ++i)
        if (const QUuid id(lines[i]); !id.isNull())
            tiles.itemIds.push_back(id);
    if (tiles.dockId.isNull() || tiles.itemIds.empty())
        return std::nullopt;
    return tiles;
}

} // namespace TileDragPayload
