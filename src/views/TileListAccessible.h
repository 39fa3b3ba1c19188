// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>
#include <QPointer>

class AccessibleTiles;

// A custom-painted view of tiles as a screen reader sees it: its children are its tiles (not
// its scroll bars or viewport), its focused child the keyboard's current tile.
class TileListAccessible final : public QAccessibleWidget {
public:
    TileListAccessible(QWidget* view, AccessibleTiles* tiles);

    QAccessible::Role role() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    QPointer<AccessibleTiles> tiles_;
};
