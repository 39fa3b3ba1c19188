// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

struct DockItem;

// What a tile's tooltip says: the item's whole name (its label is cut to one line) and what the
// item is: the program's desktop entry, the path, the URL, the clipping's first lines, or what
// the docklet shows and does. Rich text built from escaped parts, each bounded, so that a name
// of megabytes makes a tooltip of a few lines.
class DockItemToolTip {
    Q_DECLARE_TR_FUNCTIONS(DockItemToolTip)
public:
    static QString text(const DockItem& item);
    // At most `length` characters: longer text keeps its start and end around "…", never split
    // inside a character.
    static QString bounded(const QString& text, qsizetype length);
};
