// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "views/AccessibleTiles.h"

class ProcessDockView;

// The running applications of an application dock for a screen reader: each by its name, the
// one in front said to be active (in its state and its description), told again when another
// comes to the front.
class ProcessDockTiles final : public AccessibleTiles {
    Q_OBJECT
public:
    explicit ProcessDockTiles(ProcessDockView* view);

    int count() const override;
    QUuid key(int index) const override;
    QString text(int index, QAccessible::Text kind) const override;
    QAccessible::Role role(int) const override { return QAccessible::Button; }
    QAccessible::State state(int index) const override;
    QRect screenRect(int index) const override;
    std::optional<int> current() const override;
    void press(int index) override;
    void showMenu(int index) override;

private:
    bool isFrontmost(int index) const;
    void tilesMoved();

    ProcessDockView* view_;
    std::optional<QUuid> frontmost_;
};
