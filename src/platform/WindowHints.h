// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QRegion>

class QWindow;

// What a dock's panel asks of the window manager beyond what Qt offers: the hints that keep it a
// floating panel, its level, its class, the blur behind it and whether it takes the keyboard
// focus. Every call does nothing where the window system has no such hint. The window is the
// panel's native window, made before the first call.
class WindowHints {
public:
    virtual ~WindowHints() = default;

    // Before every map: out of task bars and pagers, on every workspace, above ordinary windows
    // or not. Window managers drop these when a window is unmapped.
    virtual void prepareForMap(QWindow* window, bool above) = 0;
    // Keeps a mapped window above ordinary windows, or not.
    virtual void setAbove(QWindow* window, bool above) = 0;
    // Both parts of the window's class, whatever the program was started as.
    virtual void setWindowClass(QWindow* window, const QByteArray& instance,
                                const QByteArray& className) = 0;
    // Asks a compositor that blurs to blur what lies behind `region` (window coordinates); an
    // empty region asks for no blur.
    virtual void setBlurRegion(QWindow* window, const QRegion& region) = 0;
    // Whether a click on the window gives it the keyboard focus.
    virtual void setAcceptsFocus(QWindow* window, bool acceptsFocus) = 0;
};
