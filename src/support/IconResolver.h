// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

class FileIcons;
class FileSystem;
struct DockItem;

// Chooses the image of a dock item (custom icon, the desktop's icon of its path, or a named
// symbol by kind) and draws named symbols. Symbols come from the icon theme under freedesktop
// names, with artwork of our own wherever the theme has none, so that every one shows.
namespace IconResolver {

// Call once at start-up, after the application object exists and before any icon is looked up
// (Qt remembers lookups): makes our artwork available, and lets named icons resolve from Adwaita
// where the session names no theme (plain X, where Qt falls back to hicolor).
void prepareIconTheme();

// The named symbol ("folder", "trash.fill", "gearshape", ...): the theme's icon, else ours.
// A null icon for a name we do not know.
QIcon symbol(const QString& name);
// Our own artwork for the symbol only: single-coloured, for drawing tinted. Null when unknown.
QIcon symbolArtwork(const QString& name);
// The freedesktop icon name a symbol is looked up under; empty when the naming has none.
QString themeIconName(const QString& name);
// Every symbol name known.
QStringList symbolNames();

// The symbol drawn at half of `size`, centred in a transparent `size` x `size` image (logical
// points; the pixels are size x devicePixelRatio). Blank when there is no such symbol.
QPixmap placeholder(const QString& iconName, double size, qreal devicePixelRatio = 1.0);

// The symbol a kind of item shows when it has no image of its own (and an existing path has
// none either): "folder", "questionmark.app", "safari", "clock", ...
QString placeholderName(const DockItem& item);

// A custom icon's decoded image at `size` x `size` points, stretched to fill them.
QPixmap customIcon(const QImage& image, double size, qreal devicePixelRatio);

// The image of an item at `size` x `size` points: its custom icon when that decodes, else for
// an application, file or folder whose path exists the desktop's icon of that path, else the
// placeholder of its kind.
QPixmap icon(const DockItem& item, double size, const FileSystem& fileSystem,
             const FileIcons& fileIcons, qreal devicePixelRatio = 1.0);

// What the image icon() gives is made from, as a key to keep it under between runs: the custom
// image's bytes, or the path with its kind and modification time, or the symbol; the size, the
// scale and the icon theme. Costs a file status at most.
QString cacheKey(const DockItem& item, double size, const FileSystem& fileSystem,
                 qreal devicePixelRatio = 1.0);

} // namespace IconResolver
