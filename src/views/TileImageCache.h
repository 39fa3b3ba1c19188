// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockItem.h"
#include "views/CustomIconDecoder.h"

#include <QCache>
#include <QList>
#include <QPixmap>
#include <QStaticText>
#include <QString>
#include <QUuid>

class FileIcons;
class FileSystem;
class IconCache;
class QFont;

// The icon and the elided label of each item, kept per item id until the item changes (a cheap
// comparison of the few fields they depend on) or the size does. Icons are kept by what they are
// made from (IconResolver::cacheKey), so that items alike (a tray of clippings) share one. Only
// what was drawn lately is kept, within a memory bound, so a long tab does not hold an image per
// item. The label keeps its laid-out glyphs from its first drawing on: a repaint of the panel (a
// new tint, say) shapes no text again. An icon not made yet in this run comes from the icon cache
// of the last runs where it has one, as a stand-in that checkStandIns() later replaces by the
// real one where they differ. A large custom icon is decoded on a worker: the kind's icon (or
// its stand-in) shows until `decoder().decoded`.
class TileImageCache {
public:
    struct Images {
        QPixmap icon; // null for docklets and separators, which draw themselves
        QStaticText label;
    };

    TileImageCache(const FileSystem& fileSystem, const FileIcons& fileIcons, IconCache& iconCache);
    ~TileImageCache();

    Images images(const DockItem& item, int iconSize, qreal devicePixelRatio,
                  const QFont& labelFont, int labelWidth);
    void clear();
    qsizetype size() const { return labels_.size(); }
    // How many times an icon was made, for the benchmarks and tests.
    int resolutions() const { return resolutions_; }
    // Tells when icons being decoded are ready to be drawn.
    CustomIconDecoder& decoder() { return decoder_; }
    const CustomIconDecoder& decoder() const { return decoder_; }

    bool hasStandIns() const { return !standIns_.isEmpty(); }
    // Makes up to `count` stand-ins for real and keeps them in the icon cache; true when one of
    // them changed (what shows it must be drawn again).
    bool checkStandIns(int count);
    // Stand-ins that waited for their decoding are checked again (after `decoder().decoded`).
    void decodingFinished();

private:
    struct Label;
    struct Icon;

    // Sets `decoding` when a placeholder stands in for an icon being decoded.
    QPixmap icon(const DockItem& item, int iconSize, qreal devicePixelRatio, bool& decoding);
    // The real icon, or nothing while its large custom icon is being decoded.
    std::optional<QPixmap> make(const DockItem& item, int iconSize, qreal devicePixelRatio);
    QPixmap placeholder(const DockItem& item, int iconSize, qreal devicePixelRatio);

    const FileSystem& fileSystem_;
    const FileIcons& fileIcons_;
    IconCache& iconCache_;
    QCache<QUuid, Label> labels_;
    QCache<QString, Icon> icons_;
    QList<QString> standIns_;
    // Stand-ins whose real icon is being decoded.
    QList<QString> awaitingDecode_;
    CustomIconDecoder decoder_;
    int resolutions_ = 0;
};
