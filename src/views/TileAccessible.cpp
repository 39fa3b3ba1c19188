// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/TileAccessible.h"

#include "views/AccessibleTiles.h"

#include <QWidget>

TileAccessible::TileAccessible(AccessibleTiles* tiles, const QUuid& key)
    : tiles_(tiles), key_(key) {}

int TileAccessible::index() const {
    if (!tiles_)
        return -1;
    // A reader asks a tile for one thing after another: each finds it at once where it was.
    hint_ = tiles_->indexOfKey(key_, hint_);
    return hint_;
}

bool TileAccessible::isValid() const {
    return tiles_ && tiles_->view();
}

QWindow* TileAccessible::window() const {
    QWidget* view = tiles_ ? tiles_->view() : nullptr;
    return view ? view->window()->windowHandle() : nullptr;
}

QAccessibleInterface* TileAccessible::parent() const {
    QWidget* view = tiles_ ? tiles_->view() : nullptr;
    return view ? QAccessible::queryAccessibleInterface(view) : nullptr;
}

QString TileAccessible::text(QAccessible::Text kind) const {
    const int at = index();
    return at >= 0 ? tiles_->text(at, kind) : QString();
}

QRect TileAccessible::rect() const {
    const int at = index();
    return at >= 0 ? tiles_->screenRect(at) : QRect();
}

QAccessible::Role TileAccessible::role() const {
    const int at = index();
    return at >= 0 ? tiles_->role(at) : QAccessible::NoRole;
}

QAccessible::State TileAccessible::state() const {
    const int at = index();
    QAccessible::State state;
    if (at < 0) {
        state.invalid = true;
        return state;
    }
    state = tiles_->state(at);
    QWidget* view = tiles_->view();
    state.focusable = true;
    state.selectable = true;
    const bool isCurrent = tiles_->current() == at;
    state.selected = isCurrent;
    state.focused = isCurrent && view->hasFocus();
    state.invisible = !view->isVisible();
    state.offscreen =
        !view->isVisible() ||
        !view->rect().intersects(QRect(view->mapFromGlobal(tiles_->screenRect(at).topLeft()),
                                       tiles_->screenRect(at).size()));
    return state;
}

void* TileAccessible::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
}

QStringList TileAccessible::actionNames() const {
    return {pressAction(), showMenuAction()};
}

void TileAccessible::doAction(const QString& actionName) {
    const int at = index();
    if (at < 0)
        return;
    if (actionName == pressAction())
        tiles_->press(at);
    else if (actionName == showMenuAction())
        tiles_->showMenu(at);
}

QStringList TileAccessible::keyBindingsForAction(const QString& actionName) const {
    if (actionName == pressAction())
        return {QStringLiteral("Return")};
    if (actionName == showMenuAction())
        return {QStringLiteral("Shift+F10")};
    return {};
}
