// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockEnums.h"
#include "models/DockText.h"

#include <QByteArray>
#include <QHashFunctions>
#include <QString>
#include <QUuid>

#include <optional>

class FileSystem;

// One tile of a tab: an application, file, folder, URL, docklet, text clipping or separator.
struct DockItem {
    QUuid id;
    DockItemKind kind = DockItemKind::file;
    QString name;
    std::optional<QString> path;
    std::optional<QString> urlString;
    std::optional<DockletKind> docklet;
    std::optional<DockText> textContent; // kept as read from docks.json until read
    std::optional<QByteArray> customIconData;
    double createdAt = 0; // seconds since 2001-01-01 00:00:00 UTC

    bool operator==(const DockItem&) const = default;

    // An application item for a desktop entry (or an application folder ending in ".app"): its
    // display name without a trailing ".desktop" or ".app", the path, a fresh id, created now.
    static DockItem makeApplication(const QString& path, const FileSystem& fileSystem);
    // A folder item when something at the path is a directory, a file item otherwise.
    static DockItem makeFileOrFolder(const QString& path, const FileSystem& fileSystem);
    // A text clipping: the whole text, named by a trimmed one-line summary.
    static DockItem makeClipping(const QString& text);
    static DockItem makeDocklet(DockletKind docklet, const QString& name);

    // The summary name of a text clipping.
    static QString clippingName(const QString& text);
};

size_t qHash(const DockItem& item, size_t seed = 0) noexcept;
