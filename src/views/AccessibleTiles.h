// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QUuid>
#include <QWidget>

#include <optional>
#include <vector>

// What a custom-painted view of tiles (a dock's grid, the running applications, the tab strip)
// tells a screen reader: one accessible child per tile, with the tile's name, description,
// role, state, place on the screen and actions, and the events that keep the reader's tree
// right as tiles come and go, the keyboard moves and shown texts change. Made only when an
// assistive technology asks for the view's children (see TileListAccessible) and a child of
// the view, so that nothing of it exists, and nothing is announced, while none listens.
//
// Tiles are known by a key that stays with them across changes (an item's id); their
// interfaces are made the first time a reader asks for them, and kept until their tile goes.
class AccessibleTiles : public QObject {
    Q_OBJECT
public:
    explicit AccessibleTiles(QWidget* view);
    ~AccessibleTiles() override;

    QWidget* view() const { return view_; }

    virtual int count() const = 0;
    virtual QUuid key(int index) const = 0;
    virtual QString text(int index, QAccessible::Text kind) const = 0;
    virtual QAccessible::Role role(int index) const = 0;
    // Beyond focusable, focused and selected (from the keyboard's current tile).
    virtual QAccessible::State state(int index) const;
    // In global (screen) coordinates.
    virtual QRect screenRect(int index) const = 0;
    // The keyboard's current tile.
    virtual std::optional<int> current() const = 0;
    virtual void press(int index) = 0;
    virtual void showMenu(int index) = 0;

    // The tile's interface, made and registered on first use; null out of range.
    QAccessibleInterface* child(int index);
    // Where the tile of that key is now (looked for first at `hint`); -1 when it is gone.
    int indexOfKey(const QUuid& key, int hint = -1) const;
    std::optional<int> indexAt(QPoint global) const;

protected:
    // The tiles as they are when the reader first asks: call at the end of the constructor.
    void startFollowing();
    // For the views' signals. The tiles changed: announces the ones that came and went (one
    // reorder when too many did, as when another tab is shown) and the names that changed.
    void tilesChanged();
    // The keyboard moved or came or went: focus and selection follow.
    void currentChanged();
    // Something shown on these tiles changed: their names are announced again.
    void namesChanged(const std::vector<int>& indexes);
    // Tells the reader, if it knows the tile, that something else of it changed (its
    // description, its state).
    void changedAt(int index, QAccessible::Event event);
    void stateChangedAt(int index, QAccessible::State changed);
    // Whether the reader has seen that tile (its interface exists).
    bool isKnown(const QUuid& key) const { return ids_.contains(key); }

private:
    void announce(const QUuid& key, QAccessible::Event event);
    void forget(const QUuid& key);
    std::vector<QUuid> keys() const;

    QPointer<QWidget> view_;
    QHash<QUuid, QAccessible::Id> ids_;
    // The names last announced of the tiles the reader knows.
    QHash<QUuid, QString> names_;
    std::vector<QUuid> shown_;
    std::optional<QUuid> focused_;
};
