// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QPointer>
#include <QUuid>

class AccessibleTiles;

// One tile of a custom-painted view as a screen reader sees it: an interface of its own (there
// is no widget behind it) that answers from the view's AccessibleTiles by the tile's key, so
// that it stays right while tiles before it come and go. Invalid once its view has gone.
class TileAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TileAccessible(AccessibleTiles* tiles, const QUuid& key);

    const AccessibleTiles* tiles() const { return tiles_; }
    const QUuid& key() const { return key_; }
    // Where the tile was found last.
    int lastIndex() const { return hint_; }

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    // Where the tile is now, or -1.
    int index() const;

    QPointer<AccessibleTiles> tiles_;
    QUuid key_;
    mutable int hint_ = -1;
};
