// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/IconCache.h"
#include "fakes/FakeCacheFiles.h"
#include "fakes/FakeFileIcons.h"
#include "fakes/FakeFileSystem.h"
#include "support/IconResolver.h"
#include "views/TileImageCache.h"

#include <QFont>

#include <gtest/gtest.h>

namespace {

// One clipping's tile through the views' cache, the icon cache of the last runs in memory.
struct Tiles {
    FakeFileSystem fileSystem;
    FakeFileIcons fileIcons;
    FakeCacheFiles files;
    IconCache cache{files};
    TileImageCache tiles{fileSystem, fileIcons, cache};
    DockItem item = DockItem::makeClipping(QStringLiteral("text"));
    QString key = IconResolver::cacheKey(item, 48, fileSystem);
    QImage real = IconResolver::icon(item, 48, fileSystem, fileIcons).toImage();

    QImage draw() {
        return tiles.images(item, 48, 1.0, QFont(), 60)
            .icon.toImage()
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    QByteArray kept() const { return files.files.value(IconCache::fileName(key)); }
};

QImage filled(Qt::GlobalColor color) {
    QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

} // namespace

TEST(IconCache, AMissingDamagedOrForeignFileIsIgnoredAndReplaced) {
    const auto damaged = [](QByteArray bytes, qsizetype at) {
        bytes[at] = char(bytes[at] ^ 0x40);
        return bytes;
    };
    Tiles reference;
    const QByteArray good = IconCache::encode(reference.key, reference.real);
    const struct {
        const char* what;
        std::optional<QByteArray> file;
    } cases[] = {
        {"missing", std::nullopt},
        {"empty", QByteArray()},
        {"cut short", good.left(good.size() - 100)},
        {"a pixel changed", damaged(good, good.size() / 2)},
        {"the checksum changed", damaged(good, good.size() - 1)},
        {"made for another key", IconCache::encode(reference.key + u'x', reference.real)},
        {"another program's", QByteArray("P6\n48 48\n255\n") + QByteArray(48 * 48 * 3, '\xff')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Tiles t;
        t.cache.startChecking();
        if (c.file)
            t.files.files.insert(IconCache::fileName(t.key), *c.file);
        EXPECT_EQ(t.draw(), t.real);
        EXPECT_EQ(t.tiles.resolutions(), 1) << "made for real";
        EXPECT_FALSE(t.tiles.hasStandIns());
        EXPECT_EQ(t.kept(), good) << "and kept for the next run";
    }
}

TEST(IconCache, AKeptIconStandsInUntilCheckedThenTheRealOneReplacesIt) {
    Tiles t;
    // Nothing is written until checking starts (the first frame is on screen).
    t.draw();
    EXPECT_EQ(t.files.writeCount, 0);
    t.cache.startChecking();
    EXPECT_EQ(t.kept(), IconCache::encode(t.key, t.real));

    // The next run: what was kept (here out of date) is drawn, and nothing is made.
    Tiles next;
    next.files.files.insert(IconCache::fileName(next.key),
                            IconCache::encode(next.key, filled(Qt::red)));
    EXPECT_EQ(next.draw(), filled(Qt::red));
    EXPECT_EQ(next.tiles.resolutions(), 0);
    ASSERT_TRUE(next.tiles.hasStandIns());
    next.cache.startChecking();
    EXPECT_TRUE(next.tiles.checkStandIns(4)) << "it changed";
    EXPECT_EQ(next.draw(), next.real);
    EXPECT_EQ(next.kept(), IconCache::encode(next.key, next.real));
    // Checked and equal: nothing to draw again, nothing written.
    Tiles same;
    same.files.files.insert(IconCache::fileName(same.key), IconCache::encode(same.key, same.real));
    same.draw();
    same.cache.startChecking();
    EXPECT_FALSE(same.tiles.checkStandIns(4));
    EXPECT_EQ(same.files.writeCount, 0);
}
