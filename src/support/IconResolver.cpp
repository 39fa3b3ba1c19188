// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/IconResolver.h"

#include "models/DockItem.h"
#include "platform/FileIcons.h"
#include "platform/FileSystem.h"
#include "support/IconCache.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>

#include <array>
#include <cmath>

// Q_INIT_RESOURCE has to run outside any namespace. The resources are in a static library, so
// nothing would pull them into a program unless something calls for them.
static void initialiseMoorlineResources() {
    Q_INIT_RESOURCE(moorline);
}

namespace IconResolver {

namespace {

struct Symbol {
    const char* name;
    const char* themeName; // "" where the freedesktop naming has nothing that fits
};

// Each symbol has artwork of ours in :/moorline/symbols/<name>.svg.
constexpr std::array symbols{
    Symbol{"app", "application-x-executable"},
    Symbol{"clock", ""},
    Symbol{"cpu", ""},
    Symbol{"doc", "x-office-document"},
    Symbol{"doc.on.clipboard", "edit-paste"},
    Symbol{"doc.plaintext", "text-x-generic"},
    Symbol{"eye.slash", ""},
    Symbol{"folder", "folder"},
    Symbol{"gearshape", "preferences-system"},
    Symbol{"globe", "applications-internet"},
    Symbol{"internaldrive", "drive-harddisk"},
    Symbol{"line.diagonal", ""},
    Symbol{"link", "insert-link"},
    Symbol{"macwindow.on.rectangle", ""},
    Symbol{"plus", "list-add"},
    Symbol{"power", "system-shutdown"},
    Symbol{"questionmark.app", "application-x-executable"},
    Symbol{"safari", "web-browser"},
    Symbol{"square", ""},
    Symbol{"square.dashed", ""},
    Symbol{"square.grid.2x2", ""},
    Symbol{"square.stack.3d.up", ""},
    Symbol{"textformat", ""},
    Symbol{"trash", "user-trash"},
    Symbol{"trash.fill", "user-trash-full"},
    Symbol{"trash.full", "user-trash-full"},
    Symbol{"xmark", "window-close"},
};

const Symbol* find(const QString& name) {
    for (const Symbol& symbol : symbols)
        if (name == QLatin1String(symbol.name))
            return &symbol;
    return nullptr;
}

void ensureResources() {
    static const bool done = (initialiseMoorlineResources(), true);
    (void)done;
}

int pixels(double points, qreal devicePixelRatio) {
    return std::max(1, static_cast<int>(std::lround(points * devicePixelRatio)));
}

QPixmap blank(double size, qreal devicePixelRatio) {
    const int edge = pixels(size, devicePixelRatio);
    QPixmap pixmap(edge, edge);
    pixmap.fill(Qt::transparent);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

// The icon drawn into `inner` points centred in a `size` x `size` image.
QPixmap drawn(const QIcon& icon, double size, double inner, qreal devicePixelRatio) {
    QPixmap canvas = blank(size, devicePixelRatio);
    if (icon.isNull())
        return canvas;
    const int edge = pixels(size, devicePixelRatio);
    const int innerEdge = pixels(inner, devicePixelRatio);
    const QPixmap image = icon.pixmap(QSize(innerEdge, innerEdge));
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Device pixels throughout: the canvas is drawn on at its own scale.
    painter.scale(1.0 / devicePixelRatio, 1.0 / devicePixelRatio);
    const int offset = (edge - innerEdge) / 2;
    painter.drawPixmap(QRect(offset, offset, innerEdge, innerEdge), image);
    return canvas;
}

QPixmap stretched(const QImage& image, double size, qreal devicePixelRatio) {
    const int edge = pixels(size, devicePixelRatio);
    QPixmap pixmap = QPixmap::fromImage(
        image.scaled(edge, edge, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

// Whether the desktop's icon for the item's path is its image (when the path exists).
bool isByPath(const DockItem& item) {
    return item.kind == DockItemKind::application || item.kind == DockItemKind::file ||
           item.kind == DockItemKind::folder;
}

const char* fallbackFileSymbol(const DockItem& item, const FileSystem& fileSystem) {
    if (item.kind == DockItemKind::folder || fileSystem.isDirectory(*item.path))
        return "folder";
    return item.path->endsWith(QStringLiteral(".desktop")) ? "app" : "doc";
}

} // namespace

void prepareIconTheme() {
    ensureResources();
    const QString fallback = QIcon::fallbackThemeName();
    if (fallback.isEmpty() || fallback == QStringLiteral("hicolor"))
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

QIcon symbolArtwork(const QString& name) {
    if (!find(name))
        return {};
    ensureResources();
    return QIcon(QStringLiteral(":/moorline/symbols/") + name + QStringLiteral(".svg"));
}

QString themeIconName(const QString& name) {
    const Symbol* symbol = find(name);
    return symbol ? QString::fromLatin1(symbol->themeName) : QString();
}

QIcon symbol(const QString& name) {
    const QString themeName = themeIconName(name);
    if (themeName.isEmpty())
        return symbolArtwork(name);
    return QIcon::fromTheme(themeName, symbolArtwork(name));
}

QStringList symbolNames() {
    QStringList names;
    for (const Symbol& symbol : symbols)
        names.append(QString::fromLatin1(symbol.name));
    return names;
}

QPixmap placeholder(const QString& iconName, double size, qreal devicePixelRatio) {
    // Drawing an SVG takes a good part of a millisecond and every tile asks on every render:
    // keep the few distinct results.
    const QString key = QStringLiteral("moorline.placeholder/%1/%2/%3")
                            .arg(iconName)
                            .arg(size)
                            .arg(devicePixelRatio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = drawn(symbol(iconName), size, size * 0.5, devicePixelRatio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QString placeholderName(const DockItem& item) {
    switch (item.kind) {
    case DockItemKind::folder:
        return QStringLiteral("folder");
    case DockItemKind::application:
    case DockItemKind::file:
        return QStringLiteral("questionmark.app");
    case DockItemKind::url:
        return QStringLiteral("safari");
    case DockItemKind::clippingText:
        return QStringLiteral("doc.plaintext");
    case DockItemKind::separator:
        return QStringLiteral("line.diagonal");
    case DockItemKind::docklet:
        break;
    }
    if (!item.docklet)
        return QStringLiteral("square");
    switch (*item.docklet) {
    case DockletKind::clock:
        return QStringLiteral("clock");
    case DockletKind::trash:
        return QStringLiteral("trash");
    case DockletKind::diskSpace:
        return QStringLiteral("internaldrive");
    case DockletKind::cpuMeter:
        return QStringLiteral("cpu");
    case DockletKind::separator:
        return QStringLiteral("line.diagonal");
    }
    return QStringLiteral("square");
}

QString cacheKey(const DockItem& item, double size, const FileSystem& fileSystem,
                 qreal devicePixelRatio) {
    QString source;
    if (item.customIconData) {
        source = QStringLiteral("custom %1 %2")
                     .arg(item.customIconData->size())
                     .arg(IconCache::digest(item.customIconData->constData(),
                                            item.customIconData->size()),
                          16, 16, QLatin1Char('0'));
    } else if (const auto modified = isByPath(item) && item.path
                                         ? fileSystem.modificationTime(*item.path)
                                         : std::nullopt) {
        source = QStringLiteral("path %1 %2 %3").arg(int(item.kind)).arg(*modified).arg(*item.path);
    } else {
        source = QStringLiteral("symbol ") + placeholderName(item);
    }
    // The theme picks the desktop's icons and our symbols' stand-ins.
    return QStringLiteral("%1|%2|%3|%4/%5")
        .arg(source)
        .arg(size)
        .arg(devicePixelRatio)
        .arg(QIcon::themeName(), QIcon::fallbackThemeName());
}

QPixmap customIcon(const QImage& image, double size, qreal devicePixelRatio) {
    return stretched(image, size, devicePixelRatio);
}

QPixmap icon(const DockItem& item, double size, const FileSystem& fileSystem,
             const FileIcons& fileIcons, qreal devicePixelRatio) {
    if (item.customIconData) {
        const QImage custom = QImage::fromData(*item.customIconData);
        if (!custom.isNull())
            return stretched(custom, size, devicePixelRatio);
    }
    if (isByPath(item) && item.path && fileSystem.exists(*item.path)) {
        // The desktop nearly always has an icon for a path; where its theme lacks one, a file is
        // still shown as a file, full size, rather than as a missing one.
        QIcon fileIcon = fileIcons.iconForFile(*item.path);
        if (fileIcon.isNull())
            fileIcon = symbol(QString::fromLatin1(fallbackFileSymbol(item, fileSystem)));
        return drawn(fileIcon, size, size, devicePixelRatio);
    }
    return placeholder(placeholderName(item), size, devicePixelRatio);
}

} // namespace IconResolver
