// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

#include <functional>

// A see-through strip along a screen edge that only notices the pointer: a layer surface where
// the panels are layer surfaces, an X11 window where they go through XWayland. It is on screen
// from its first placing until it is destroyed.
class EdgeStrip {
public:
    virtual ~EdgeStrip() = default;

    // Puts the strip over `area` (Qt's coordinates), on screen; a strip already there is moved
    // and resized, not made anew.
    virtual void place(const QRect& area) = 0;
    // Called each time the pointer comes onto the strip (or moves on it); may drop the strip's
    // watch from inside.
    virtual void setEnteredHandler(std::function<void()> entered) = 0;
};
