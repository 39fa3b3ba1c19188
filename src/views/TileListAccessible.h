// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>
#include <QPointer>

#include <functional>

class AccessibleTiles;

// A custom-painted view of tiles as a screen reader sees it: its children are its tiles (not
// its scroll bars or viewport), its focused child the keyboard's current tile. Qt makes this
// interface whenever the view is shown, reader or not (it builds a "shown" event before it
// looks whether anyone listens); the tiles, which follow the view's changes, are made only
// when a reader first asks for the children: Qt itself never does.
class TileListAccessible final : public QAccessibleWidget {
public:
    TileListAccessible(QWidget* view, QAccessible::Role role,
                       std::function<AccessibleTiles*()> makeTiles);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    // The view's tiles, made on the first call.
    AccessibleTiles* tiles() const;

    std::function<AccessibleTiles*()> makeTiles_;
    mutable QPointer<AccessibleTiles> tiles_;
};
