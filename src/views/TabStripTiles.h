// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "views/AccessibleTiles.h"

class DockTabStripView;
struct DockTab;

// A dock's tab strip for a screen reader: a page tab list whose tabs are named as shown, the
// selected one selected; pressing one selects it, its menu renames or deletes it.
class TabStripTiles final : public AccessibleTiles {
    Q_OBJECT
public:
    explicit TabStripTiles(DockTabStripView* strip);

    int count() const override;
    QUuid key(int index) const override;
    QString text(int index, QAccessible::Text kind) const override;
    QAccessible::Role role(int) const override { return QAccessible::PageTab; }
    QRect screenRect(int index) const override;
    std::optional<int> current() const override;
    void press(int index) override;
    void showMenu(int index) override;

private:
    const DockTab* tab(int index) const;
    void tabsMoved();

    DockTabStripView* strip_;
    std::optional<QUuid> selected_;
};
