// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/TileImageCache.h"

#include "views/ElidedLine.h"

#include "support/IconResolver.h"

#include <QFontMetrics>
#include <QTransform>

#include <cmath>

namespace {

// About 1,700 icons of 48 points: every tile a panel can show, and many more.
constexpr qsizetype memoryBound = 16 * 1024 * 1024;

bool sameBytes(const std::optional<QByteArray>& a, const std::optional<QByteArray>& b) {
    if (a.has_value() != b.has_value())
        return false;
    // The stored copy shares its bytes with an unchanged item, so most checks end here.
    return !a || a->constData() == b->constData() || *a == *b;
}

} // namespace

struct TileImageCache::Stored {
    // What the icon and the label depend on.
    DockItemKind kind;
    QString name;
    std::optional<QString> path;
    std::optional<DockletKind> docklet;
    std::optional<QByteArray> customIconData;
    int iconSize;
    qreal devicePixelRatio;
    int labelWidth;
    Images images;

    bool matches(const DockItem& item, int size, qreal ratio, int width) const {
        return kind == item.kind && iconSize == size && devicePixelRatio == ratio &&
               labelWidth == width && name == item.name && path == item.path &&
               docklet == item.docklet && sameBytes(customIconData, item.customIconData);
    }
};

TileImageCache::TileImageCache(const FileSystem& fileSystem, const FileIcons& fileIcons)
    : fileSystem_(fileSystem), fileIcons_(fileIcons), cache_(memoryBound) {}

TileImageCache::~TileImageCache() = default;

QPixmap TileImageCache::icon(const DockItem& item, int iconSize, qreal devicePixelRatio,
                             bool& decoding) {
    if (!item.customIconData || item.customIconData->size() <= CustomIconDecoder::largeBytes)
        return IconResolver::icon(item, iconSize, fileSystem_, fileIcons_, devicePixelRatio);
    const int pixels = int(std::ceil(iconSize * devicePixelRatio));
    const std::optional<QImage> decoded = decoder_.image(*item.customIconData, pixels);
    if (decoded && !decoded->isNull())
        return IconResolver::customIcon(*decoded, iconSize, devicePixelRatio);
    // Being decoded (the kind's icon meanwhile), or no image after all (the kind's icon).
    decoding = !decoded;
    DockItem plain = item;
    plain.customIconData.reset();
    return IconResolver::icon(plain, iconSize, fileSystem_, fileIcons_, devicePixelRatio);
}

TileImageCache::Images TileImageCache::images(const DockItem& item, int iconSize,
                                              qreal devicePixelRatio, const QFont& labelFont,
                                              int labelWidth) {
    if (const Stored* stored = cache_.object(item.id);
        stored && stored->matches(item, iconSize, devicePixelRatio, labelWidth))
        return stored->images;
    ++resolutions_;
    const QFontMetrics labelMetrics(labelFont);
    auto* stored = new Stored{
        item.kind,
        item.name,
        item.path,
        item.docklet,
        item.customIconData,
        iconSize,
        devicePixelRatio,
        labelWidth,
        {QPixmap(), QStaticText(ElidedLine::elide(ElidedLine::bounded(item.name, Qt::ElideMiddle)
                                                      .replace(QLatin1Char('\n'), QLatin1Char(' ')),
                                                  labelMetrics, labelWidth, Qt::ElideMiddle))}};
    stored->images.label.setTextFormat(Qt::PlainText);
    stored->images.label.prepare(QTransform(), labelFont);
    bool decoding = false;
    stored->images.icon = icon(item, iconSize, devicePixelRatio, decoding);
    const Images images = stored->images;
    // Kept only once final: a placeholder is asked for again until the icon is decoded.
    if (decoding) {
        delete stored;
        return images;
    }
    const qsizetype cost = qsizetype(images.icon.width()) * images.icon.height() * 4 + 1;
    // Takes ownership; an entry costlier than the whole bound is dropped at once.
    cache_.insert(item.id, stored, std::min(cost, memoryBound));
    return images;
}
