// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/TileImageCache.h"

#include "support/IconCache.h"
#include "support/IconResolver.h"
#include "views/ElidedLine.h"

#include <QFontMetrics>
#include <QTransform>

#include <cmath>

namespace {

// About 1,700 icons of 48 points: every tile a panel can show, and many more.
constexpr qsizetype memoryBound = 16 * 1024 * 1024;
constexpr qsizetype labelBound = 20'000;

bool sameBytes(const std::optional<QByteArray>& a, const std::optional<QByteArray>& b) {
    if (a.has_value() != b.has_value())
        return false;
    // The stored copy shares its bytes with an unchanged item, so most checks end here.
    return !a || a->constData() == b->constData() || *a == *b;
}

// Docklets and separators draw themselves: they have no icon to make.
bool drawsItself(const DockItem& item) {
    return item.kind == DockItemKind::separator ||
           (item.kind == DockItemKind::docklet && item.docklet.has_value());
}

qsizetype costOf(const QPixmap& pixmap) {
    return std::min(qsizetype(pixmap.width()) * pixmap.height() * 4 + 1, memoryBound);
}

} // namespace

// An item's images as last drawn, with what they depend on.
struct TileImageCache::Label {
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

// An icon by what it is made from; a stand-in remembers how to make it for real.
struct TileImageCache::Icon {
    QPixmap pixmap;
    bool standIn = false;
    DockItem source;
    int iconSize = 0;
    qreal devicePixelRatio = 1;
};

TileImageCache::TileImageCache(const FileSystem& fileSystem, const FileIcons& fileIcons,
                               IconCache& iconCache)
    : fileSystem_(fileSystem), fileIcons_(fileIcons), iconCache_(iconCache), labels_(labelBound),
      icons_(memoryBound) {}

TileImageCache::~TileImageCache() = default;

void TileImageCache::clear() {
    labels_.clear();
    icons_.clear();
    standIns_.clear();
    awaitingDecode_.clear();
}

TileImageCache::Images TileImageCache::images(const DockItem& item, int iconSize,
                                              qreal devicePixelRatio, const QFont& labelFont,
                                              int labelWidth) {
    if (const Label* stored = labels_.object(item.id);
        stored && stored->matches(item, iconSize, devicePixelRatio, labelWidth))
        return stored->images;
    const QFontMetrics labelMetrics(labelFont);
    bool decoding = false;
    Images images{drawsItself(item) ? QPixmap() : icon(item, iconSize, devicePixelRatio, decoding),
                  QStaticText(ElidedLine::elide(ElidedLine::bounded(item.name, Qt::ElideMiddle)
                                                    .replace(QLatin1Char('\n'), QLatin1Char(' ')),
                                                labelMetrics, labelWidth, Qt::ElideMiddle))};
    images.label.setTextFormat(Qt::PlainText);
    images.label.prepare(QTransform(), labelFont);
    // Kept only once final: a placeholder is asked for again until the icon is decoded.
    if (!decoding)
        labels_.insert(item.id,
                       new Label{item.kind, item.name, item.path, item.docklet, item.customIconData,
                                 iconSize, devicePixelRatio, labelWidth, images});
    return images;
}

std::optional<QPixmap> TileImageCache::make(const DockItem& item, int iconSize,
                                            qreal devicePixelRatio) {
    if (!item.customIconData || item.customIconData->size() <= CustomIconDecoder::largeBytes)
        return IconResolver::icon(item, iconSize, fileSystem_, fileIcons_, devicePixelRatio);
    const int pixels = int(std::ceil(iconSize * devicePixelRatio));
    const std::optional<QImage> decoded = decoder_.image(*item.customIconData, pixels);
    if (!decoded)
        return std::nullopt;
    if (!decoded->isNull())
        return IconResolver::customIcon(*decoded, iconSize, devicePixelRatio);
    // No image after all: the kind's icon.
    return placeholder(item, iconSize, devicePixelRatio);
}

QPixmap TileImageCache::placeholder(const DockItem& item, int iconSize, qreal devicePixelRatio) {
    DockItem plain = item;
    plain.customIconData.reset();
    return IconResolver::icon(plain, iconSize, fileSystem_, fileIcons_, devicePixelRatio);
}

QPixmap TileImageCache::icon(const DockItem& item, int iconSize, qreal devicePixelRatio,
                             bool& decoding) {
    const QString key = IconResolver::cacheKey(item, iconSize, fileSystem_, devicePixelRatio);
    if (const Icon* known = icons_.object(key))
        return known->pixmap;
    auto* made = new Icon{{}, false, item, iconSize, devicePixelRatio};
    made->source.name.clear();
    if (const QImage kept = iconCache_.read(key); !kept.isNull()) {
        made->pixmap = QPixmap::fromImage(kept);
        made->standIn = true;
        standIns_.append(key);
    } else if (std::optional<QPixmap> real = make(item, iconSize, devicePixelRatio)) {
        ++resolutions_;
        made->pixmap = *real;
        iconCache_.write(key, made->pixmap.toImage());
    } else {
        // Being decoded: the kind's icon meanwhile, kept nowhere.
        delete made;
        decoding = true;
        return placeholder(item, iconSize, devicePixelRatio);
    }
    const QPixmap pixmap = made->pixmap;
    // Takes ownership; an entry costlier than the whole bound is dropped at once.
    icons_.insert(key, made, costOf(pixmap));
    return pixmap;
}

void TileImageCache::decodingFinished() {
    standIns_.append(awaitingDecode_);
    awaitingDecode_.clear();
}

bool TileImageCache::checkStandIns(int count) {
    bool changed = false;
    while (count > 0 && !standIns_.isEmpty()) {
        const QString key = standIns_.takeFirst();
        Icon* known = icons_.object(key);
        // Gone from memory: nothing shows the stand-in any more.
        if (!known || !known->standIn)
            continue;
        --count;
        ++resolutions_;
        const std::optional<QPixmap> real =
            make(known->source, known->iconSize, known->devicePixelRatio);
        if (!real) {
            // Checked again once decoded; the stand-in shows meanwhile.
            awaitingDecode_.append(key);
            continue;
        }
        known->standIn = false;
        const QImage image = real->toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (image == known->pixmap.toImage().convertToFormat(image.format()))
            continue;
        known->pixmap = *real;
        iconCache_.write(key, image);
        // Every item drawn with it takes the new one.
        labels_.clear();
        changed = true;
    }
    return changed;
}
