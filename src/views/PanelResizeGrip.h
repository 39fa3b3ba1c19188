// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "views/PanelInk.h"

#include <QWidget>

// The grip at a panel's lower-right corner: a press hands the resize to the window manager,
// whose new size comes back as a resize of the panel (and is saved as the dock's frame).
class PanelResizeGrip final : public QWidget {
    Q_OBJECT
public:
    static constexpr int edge = 14;

    explicit PanelResizeGrip(QWidget* parent = nullptr);

    void setInk(const PanelInk& ink);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    PanelInk ink_;
};
