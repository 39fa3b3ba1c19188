// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/IconResolver.h"
#include "fakes/FakeFileIcons.h"
#include "fakes/FakeFileSystem.h"
#include "models/DockItem.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

namespace {

// The box of pixels that are not transparent, in device pixels.
QRect paintedArea(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                area |= QRect(x, y, 1, 1);
    return area;
}

QIcon solid(QColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QByteArray png(QColor colour, QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

DockItem item(DockItemKind kind, std::optional<QString> path = {},
              std::optional<DockletKind> docklet = {}) {
    DockItem result;
    result.kind = kind;
    result.path = path;
    result.docklet = docklet;
    return result;
}

class IconResolverTest : public ::testing::Test {
protected:
    IconResolverTest() {
        fileSystem.addFile(u"/x/notes.txt"_qs);
        fileIcons.icons.insert(u"/x/notes.txt"_qs, solid(Qt::blue));
        fileIcons.icons.insert(u"/gone"_qs, solid(Qt::blue));
    }
    QPixmap icon(const DockItem& dockItem, double size) {
        return IconResolver::icon(dockItem, size, fileSystem, fileIcons);
    }

    FakeFileSystem fileSystem;
    FakeFileIcons fileIcons;
};

} // namespace

TEST(IconResolver, EverySymbolTheViewsNameDrawsEvenWithoutAnIconTheme) {
    // The unit tests run offscreen with no icon theme: what shows here is our own artwork.
    IconResolver::prepareIconTheme();
    const QStringList names =
        u"folder questionmark.app safari doc.plaintext line.diagonal clock trash trash.fill "
        u"trash.full "
        "internaldrive cpu square square.dashed app gearshape plus square.stack.3d.up "
        "square.grid.2x2 macwindow.on.rectangle doc.on.clipboard link globe doc textformat xmark "
        "eye.slash power"_qs.split(u' ');
    for (const QString& name : names) {
        const QIcon icon = IconResolver::symbol(name);
        ASSERT_FALSE(icon.isNull()) << name.toStdString();
        EXPECT_FALSE(paintedArea(icon.pixmap(32, 32)).isEmpty()) << name.toStdString();
        EXPECT_FALSE(IconResolver::symbolArtwork(name).isNull()) << name.toStdString();
    }
    EXPECT_EQ(IconResolver::symbolNames().size(), names.size());
    for (const auto& [name, theme] : {std::pair{"trash", "user-trash"},
                                      {"trash.fill", "user-trash-full"},
                                      {"internaldrive", "drive-harddisk"}})
        EXPECT_EQ(IconResolver::themeIconName(QLatin1String(name)), QLatin1String(theme));
    EXPECT_TRUE(IconResolver::symbol(u"no.such.symbol"_qs).isNull());
    EXPECT_TRUE(IconResolver::symbol(QString()).isNull());
}

TEST(IconResolver, APlaceholderDrawsTheSymbolAtHalfTheEdgeCentredOrNothing) {
    const QPixmap pixmap = IconResolver::placeholder(u"square"_qs, 48, 2.0);
    EXPECT_EQ(pixmap.size(), QSize(96, 96));
    EXPECT_EQ(pixmap.deviceIndependentSize(), QSizeF(48, 48));
    const QRect area = paintedArea(pixmap);
    EXPECT_TRUE(QRect(24, 24, 48, 48).contains(area)) << area.x() << "," << area.width();
    EXPECT_GE(area.width(), 32) << "the symbol fills most of its half";
    const QPixmap blank = IconResolver::placeholder(u"no.such.symbol"_qs, 40);
    EXPECT_EQ(blank.size(), QSize(40, 40));
    EXPECT_TRUE(paintedArea(blank).isEmpty());
}

TEST_F(IconResolverTest, WithoutAnImageEachKindShowsItsPlaceholder) {
    // A missing path, or the path of a kind that is not shown by its path (/x/notes.txt exists).
    const std::pair<DockItem, const char*> table[] = {
        {item(DockItemKind::application, u"/gone"_qs), "questionmark.app"},
        {item(DockItemKind::file), "questionmark.app"},
        {item(DockItemKind::folder, u"/gone"_qs), "folder"},
        {item(DockItemKind::url, u"/x/notes.txt"_qs), "safari"},
        {item(DockItemKind::clippingText, u"/x/notes.txt"_qs), "doc.plaintext"},
        {item(DockItemKind::separator), "line.diagonal"},
        {item(DockItemKind::docklet, u"/x/notes.txt"_qs, DockletKind::clock), "clock"},
        {item(DockItemKind::docklet, {}, DockletKind::trash), "trash"},
        {item(DockItemKind::docklet, {}, DockletKind::diskSpace), "internaldrive"},
        {item(DockItemKind::docklet, {}, DockletKind::cpuMeter), "cpu"},
        {item(DockItemKind::docklet, {}, DockletKind::separator), "line.diagonal"},
        {item(DockItemKind::docklet), "square"},
    };
    for (const auto& [dockItem, name] : table) {
        EXPECT_EQ(IconResolver::placeholderName(dockItem), QLatin1String(name)) << name;
        EXPECT_EQ(icon(dockItem, 48).toImage(),
                  IconResolver::placeholder(QLatin1String(name), 48).toImage())
            << name;
    }
}

TEST_F(IconResolverTest, ACustomIconWinsWhenItDecodesAndIsStretchedToTheTile) {
    DockItem app = item(DockItemKind::application, u"/x/notes.txt"_qs);
    app.customIconData = png(Qt::red, QSize(10, 5));
    const QImage custom = icon(app, 32).toImage();
    EXPECT_EQ(custom.size(), QSize(32, 32));
    EXPECT_EQ(QColor(custom.pixel(0, 0)), QColor(Qt::red));
    EXPECT_EQ(QColor(custom.pixel(31, 31)), QColor(Qt::red));
    app.customIconData = QByteArray("not an image");
    EXPECT_EQ(QColor(icon(app, 32).toImage().pixel(16, 16)), QColor(Qt::blue))
        << "undecodable: the path's icon";
}

TEST_F(IconResolverTest, AnExistingPathShowsTheDesktopsIconFullSize) {
    const QPixmap pixmap = icon(item(DockItemKind::file, u"/x/notes.txt"_qs), 40);
    EXPECT_EQ(pixmap.size(), QSize(40, 40));
    EXPECT_EQ(paintedArea(pixmap), QRect(0, 0, 40, 40));
    EXPECT_EQ(QColor(pixmap.toImage().pixel(20, 20)), QColor(Qt::blue));

    // Without a desktop icon an existing file still looks like a file, full size.
    fileSystem.addDirectory(u"/x/dir"_qs);
    const QImage folder = icon(item(DockItemKind::file, u"/x/dir"_qs), 40).toImage();
    EXPECT_EQ(folder, IconResolver::symbol(u"folder"_qs)
                          .pixmap(40, 40)
                          .toImage()
                          .convertToFormat(folder.format()));
}
