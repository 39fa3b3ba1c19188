// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backends/wayland/EdgeStrip.h"

#include <QWidget>

class WindowHints;

// The edge strip as a layer surface above windows, where the panels are (through the panels'
// window hints): a see-through window that takes no keyboard and draws nothing.
class EdgeStripWindow final : public QWidget, public EdgeStrip {
    Q_OBJECT
public:
    // The hints must outlive the strip.
    explicit EdgeStripWindow(WindowHints& hints);

    void place(const QRect& area) override;
    void setEnteredHandler(std::function<void()> entered) override {
        entered_ = std::move(entered);
    }

protected:
    void enterEvent(QEnterEvent* event) override;

private:
    WindowHints& hints_;
    std::function<void()> entered_;
};
