// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/WindowHints.h"

// The window hints through Qt's own xcb connection: EWMH states and desktop, WM_CLASS, WM_HINTS
// and KDE's blur-behind region. Does nothing when the program does not run on X11.
class X11WindowHints final : public WindowHints {
public:
    void prepareForMap(QWindow* window, bool above) override;
    // Qt's own stays-on-top flag is left alone: changing it makes Qt destroy and recreate the X
    // window at its next show, which loses the id and the properties written here.
    void setAbove(QWindow* window, bool above) override;
    void setWindowClass(QWindow* window, const QByteArray& instance,
                        const QByteArray& className) override;
    void setBlurRegion(QWindow* window, const QRegion& region) override;
    void setAcceptsFocus(QWindow* window, bool acceptsFocus) override;
};
