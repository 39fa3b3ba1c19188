// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRectF>
#include <QString>

#include <functional>

// What a dock's controller needs of its panel window. Frames are in the dock's own space: x, y
// of the lower-left corner in global screen coordinates with y growing upward from the bottom of
// the primary screen, then width and height.
class DockPanel {
public:
    virtual ~DockPanel() = default;

    // Applies the frame as given (the window system may round it or keep it to sizes it accepts).
    virtual void setFrame(const QRectF& frame) = 0;
    // The frame the panel has now, also while it is off screen.
    virtual QRectF frame() const = 0;
    virtual void setTitle(const QString& title) = 0;
    // Above ordinary windows when true, at the normal level otherwise.
    virtual void setAlwaysOnTop(bool alwaysOnTop) = 0;
    // Puts the panel on screen without taking the keyboard focus.
    virtual void showPanel() = 0;
    virtual void hidePanel() = 0;
    virtual bool isOnScreen() const = 0;
    // Ends the panel's life on screen; nothing else is done with it afterwards.
    virtual void close() = 0;
    // Called after a move or resize the user made (a drag of the header, the window manager's
    // keyboard moves and resizes); never for setFrame, nor while the panel is being mapped or
    // placed.
    virtual void setFrameChangedHandler(std::function<void()> handler) = 0;
};
