// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockEnums.h"
#include "views/AccessibleTiles.h"

#include <QCoreApplication>

class DockItemGridView;
struct DockItem;

// The tiles of a dock's grid (an items dock or the clippings tray) for a screen reader: each
// item by its label, described by what it is (an application, the file's path, the URL, the
// first line of a clipping); docklets add what they show (the time, the free space, the load)
// to their names, told again whenever the tile shows something new.
class DockGridTiles final : public AccessibleTiles {
    Q_OBJECT
public:
    explicit DockGridTiles(DockItemGridView* grid);

    int count() const override;
    QUuid key(int index) const override;
    QString text(int index, QAccessible::Text kind) const override;
    QAccessible::Role role(int index) const override;
    QRect screenRect(int index) const override;
    std::optional<int> current() const override;
    void press(int index) override;
    void showMenu(int index) override;

    // What an item is, in words.
    static QString description(const DockItem& item);

private:
    const DockItem* item(int index) const;
    void dockletTextChanged(DockletKind docklet);

    DockItemGridView* grid_;
};
