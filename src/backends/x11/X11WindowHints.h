#pragma once

#include <QByteArray>
#include <QtGui/qwindowdefs.h>

// Window-manager hints that Qt does not offer, written through Qt's own xcb connection. Every
// call does nothing when the program does not run on X11 (offscreen tests, Wayland later).
class X11WindowHints {
public:
    // Before every map: keep the window out of task bars and pagers, put it on every workspace,
    // and start it above ordinary windows or not. Window managers drop these when a window is
    // unmapped, so they are written again for each show.
    static void prepareForMap(WId window, bool above);
    // Asks the window manager to keep a mapped window above ordinary windows, or not. Qt's own
    // stays-on-top flag is left alone: changing it makes Qt destroy and recreate the X window
    // at its next show, which loses the id and the properties written here.
    static void setAbove(WId window, bool above);
    // Both parts of WM_CLASS, whatever the program was started as.
    static void setWmClass(WId window, const QByteArray& instance, const QByteArray& className);
    // Asks a compositor that blurs (KWin) to blur what lies behind the whole window.
    static void requestBlurBehind(WId window);
    static bool isAvailable();
};
