#include "support/IconResolver.h"
#include "fakes/FakeFileIcons.h"
#include "fakes/FakeFileSystem.h"
#include "models/DockItem.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

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

DockItem item(DockItemKind kind) {
    DockItem result;
    result.kind = kind;
    return result;
}

DockItem withPath(DockItemKind kind, const QString& path) {
    DockItem result = item(kind);
    result.path = path;
    return result;
}

DockItem docklet(std::optional<DockletKind> kind) {
    DockItem result = item(DockItemKind::docklet);
    result.docklet = kind;
    return result;
}

} // namespace

TEST(IconResolverTest, EverySymbolTheViewsNameDrawsEvenWithoutAnIconTheme) {
    // The unit tests run offscreen with no icon theme: what shows here is our own artwork.
    IconResolver::prepareIconTheme();
    const char* names[] = {"folder",
                           "questionmark.app",
                           "safari",
                           "doc.plaintext",
                           "line.diagonal",
                           "clock",
                           "trash",
                           "trash.fill",
                           "internaldrive",
                           "cpu",
                           "square",
                           "square.dashed",
                           "app",
                           "gearshape",
                           "plus",
                           "square.stack.3d.up",
                           "square.grid.2x2",
                           "macwindow.on.rectangle",
                           "doc.on.clipboard",
                           "link",
                           "globe",
                           "doc",
                           "textformat",
                           "xmark",
                           "eye.slash",
                           "power"};
    for (const char* name : names) {
        const QIcon icon = IconResolver::symbol(QString::fromLatin1(name));
        ASSERT_FALSE(icon.isNull()) << name;
        EXPECT_FALSE(paintedArea(icon.pixmap(32, 32)).isEmpty()) << name << " draws nothing";
        EXPECT_FALSE(IconResolver::symbolArtwork(QString::fromLatin1(name)).isNull()) << name;
    }
    EXPECT_EQ(IconResolver::symbolNames().size(), std::size(names));
    EXPECT_EQ(IconResolver::themeIconName(QStringLiteral("trash")), QStringLiteral("user-trash"));
    EXPECT_EQ(IconResolver::themeIconName(QStringLiteral("trash.fill")),
              QStringLiteral("user-trash-full"));
    EXPECT_EQ(IconResolver::themeIconName(QStringLiteral("internaldrive")),
              QStringLiteral("drive-harddisk"));
}

TEST(IconResolverTest, AnUnknownSymbolIsNullAndItsPlaceholderBlank) {
    EXPECT_TRUE(IconResolver::symbol(QStringLiteral("no.such.symbol")).isNull());
    EXPECT_TRUE(IconResolver::symbol(QString()).isNull());
    const QPixmap blank = IconResolver::placeholder(QStringLiteral("no.such.symbol"), 40);
    EXPECT_EQ(blank.size(), QSize(40, 40));
    EXPECT_TRUE(paintedArea(blank).isEmpty());
}

TEST(IconResolverTest, APlaceholderDrawsTheSymbolAtHalfTheEdgeCentred) {
    const QPixmap pixmap = IconResolver::placeholder(QStringLiteral("square"), 48, 2.0);
    EXPECT_EQ(pixmap.size(), QSize(96, 96));
    EXPECT_EQ(pixmap.devicePixelRatio(), 2.0);
    EXPECT_EQ(pixmap.deviceIndependentSize(), QSizeF(48, 48));
    const QRect area = paintedArea(pixmap);
    EXPECT_TRUE(QRect(24, 24, 48, 48).contains(area)) << area.x() << "," << area.width();
    EXPECT_GE(area.width(), 32) << "the symbol fills most of its half";
}

TEST(IconResolverTest, EachKindHasItsPlaceholderSymbol) {
    const std::pair<DockItem, const char*> table[] = {
        {item(DockItemKind::application), "questionmark.app"},
        {item(DockItemKind::file), "questionmark.app"},
        {item(DockItemKind::folder), "folder"},
        {item(DockItemKind::url), "safari"},
        {item(DockItemKind::clippingText), "doc.plaintext"},
        {item(DockItemKind::separator), "line.diagonal"},
        {docklet(DockletKind::clock), "clock"},
        {docklet(DockletKind::trash), "trash"},
        {docklet(DockletKind::diskSpace), "internaldrive"},
        {docklet(DockletKind::cpuMeter), "cpu"},
        {docklet(DockletKind::separator), "line.diagonal"},
        {docklet(std::nullopt), "square"},
    };
    for (const auto& [dockItem, name] : table)
        EXPECT_EQ(IconResolver::placeholderName(dockItem), QString::fromLatin1(name))
            << storedText(dockItem.kind);
}

TEST(IconResolverTest, ACustomIconWinsWhenItDecodesAndIsStretchedToTheTile) {
    FakeFileSystem fileSystem;
    FakeFileIcons fileIcons;
    fileSystem.addFile(QStringLiteral("/x/app.desktop"));
    fileIcons.icons.insert(QStringLiteral("/x/app.desktop"), solid(Qt::green));
    DockItem app = withPath(DockItemKind::application, QStringLiteral("/x/app.desktop"));
    app.customIconData = png(Qt::red, QSize(10, 5));
    const QImage custom = IconResolver::icon(app, 32, fileSystem, fileIcons).toImage();
    EXPECT_EQ(custom.size(), QSize(32, 32));
    EXPECT_EQ(QColor(custom.pixel(0, 0)), QColor(Qt::red));
    EXPECT_EQ(QColor(custom.pixel(31, 31)), QColor(Qt::red));

    app.customIconData = QByteArray("not an image");
    const QImage fallback = IconResolver::icon(app, 32, fileSystem, fileIcons).toImage();
    EXPECT_EQ(QColor(fallback.pixel(16, 16)), QColor(Qt::green)) << "undecodable: the path's icon";
}

TEST(IconResolverTest, AnExistingPathShowsTheDesktopsIconFullSize) {
    FakeFileSystem fileSystem;
    FakeFileIcons fileIcons;
    fileSystem.addFile(QStringLiteral("/x/notes.txt"));
    fileIcons.icons.insert(QStringLiteral("/x/notes.txt"), solid(Qt::blue));
    const QPixmap pixmap = IconResolver::icon(
        withPath(DockItemKind::file, QStringLiteral("/x/notes.txt")), 40, fileSystem, fileIcons);
    EXPECT_EQ(pixmap.size(), QSize(40, 40));
    EXPECT_EQ(paintedArea(pixmap), QRect(0, 0, 40, 40));
    EXPECT_EQ(QColor(pixmap.toImage().pixel(20, 20)), QColor(Qt::blue));

    // Without a desktop icon an existing file still looks like a file, full size.
    fileSystem.addDirectory(QStringLiteral("/x/dir"));
    const QPixmap folder = IconResolver::icon(
        withPath(DockItemKind::file, QStringLiteral("/x/dir")), 40, fileSystem, fileIcons);
    EXPECT_EQ(folder.toImage(), IconResolver::symbol(QStringLiteral("folder"))
                                    .pixmap(40, 40)
                                    .toImage()
                                    .convertToFormat(folder.toImage().format()));
}

TEST(IconResolverTest, AMissingPathShowsTheKindsPlaceholder) {
    FakeFileSystem fileSystem;
    FakeFileIcons fileIcons;
    fileIcons.icons.insert(QStringLiteral("/gone"), solid(Qt::blue));
    const auto same = [&](const DockItem& dockItem, const char* name) {
        return IconResolver::icon(dockItem, 48, fileSystem, fileIcons).toImage() ==
               IconResolver::placeholder(QString::fromLatin1(name), 48).toImage();
    };
    EXPECT_TRUE(same(withPath(DockItemKind::folder, QStringLiteral("/gone")), "folder"));
    EXPECT_TRUE(
        same(withPath(DockItemKind::application, QStringLiteral("/gone")), "questionmark.app"));
    EXPECT_TRUE(same(item(DockItemKind::file), "questionmark.app"));
    // A URL item's path, if any, is not its icon.
    EXPECT_TRUE(same(withPath(DockItemKind::url, QStringLiteral("/gone")), "safari"));
}
