// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "views/DockItemGridView.h"

#include <QUuid>
#include <QWidget>

// The body of a clippings dock: its items on the shared tile grid, which takes dropped text as
// text clippings and dropped files, folders and links as items, with a hint while it is empty.
// A click on a clipping copies its text (the grid opens items, and opening a clipping copies).
class ClippingsDockView final : public QWidget {
    Q_OBJECT
public:
    // What its grid works with.
    ClippingsDockView(const QUuid& dockId, const DockItemGridView::Services& services,
                      QWidget* parent = nullptr);

    // Brings the grid and the hint in line with the dock.
    void refresh();
    DockItemGridView* grid() const { return grid_; }
    bool showsHint() const { return showsHint_; }
    static QString hint();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect hintRect() const;

    QUuid dockId_;
    DockStore& store_;
    DockItemGridView* grid_;
    bool showsHint_ = false;
};
