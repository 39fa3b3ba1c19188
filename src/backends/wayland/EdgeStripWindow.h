// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <functional>

class WindowHints;

// A see-through strip along a screen edge that only notices the pointer: it takes no keyboard,
// draws nothing, and calls its handler each time the pointer comes onto it. Through the window
// hints it is a layer surface above windows, where the panels are.
class EdgeStripWindow final : public QWidget {
    Q_OBJECT
public:
    // `area` in Qt's coordinates. The hints must outlive the strip.
    EdgeStripWindow(const QRect& area, WindowHints& hints, std::function<void()> entered);

protected:
    void enterEvent(QEnterEvent* event) override;

private:
    std::function<void()> entered_;
};
