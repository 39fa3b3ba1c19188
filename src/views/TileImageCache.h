// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockItem.h"
#include "views/CustomIconDecoder.h"

#include <QCache>
#include <QPixmap>
#include <QStaticText>
#include <QUuid>

class FileIcons;
class FileSystem;
class QFont;

// The resolved icon and the elided label of each item, kept per item id until the item changes
// (a cheap comparison of the few fields they depend on) or the size does. Only what was drawn
// lately is kept, within a memory bound, so a long tab does not hold an image per item. The label
// keeps its laid-out glyphs from its first drawing on: a repaint of the panel (a new tint, say)
// shapes no text again. A large custom icon is decoded on a worker: the kind's icon stands in
// until `decoder().decoded`.
class TileImageCache {
public:
    struct Images {
        QPixmap icon;
        QStaticText label;
    };

    TileImageCache(const FileSystem& fileSystem, const FileIcons& fileIcons);
    ~TileImageCache();

    Images images(const DockItem& item, int iconSize, qreal devicePixelRatio,
                  const QFont& labelFont, int labelWidth);
    void clear() { cache_.clear(); }
    qsizetype size() const { return cache_.size(); }
    // How many times an icon was resolved, for the benchmarks and tests.
    int resolutions() const { return resolutions_; }
    // Tells when icons being decoded are ready to be drawn.
    CustomIconDecoder& decoder() { return decoder_; }
    const CustomIconDecoder& decoder() const { return decoder_; }

private:
    struct Stored;

    QPixmap icon(const DockItem& item, int iconSize, qreal devicePixelRatio, bool& decoding);

    const FileSystem& fileSystem_;
    const FileIcons& fileIcons_;
    QCache<QUuid, Stored> cache_;
    CustomIconDecoder decoder_;
    int resolutions_ = 0;
};
