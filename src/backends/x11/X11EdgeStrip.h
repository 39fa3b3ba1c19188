// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backends/wayland/EdgeStrip.h"

#include <QAbstractNativeEventFilter>

#include <xcb/xcb.h>

// The edge strip as an X11 window on Qt's connection, for panels that go through XWayland:
// override-redirect (no window manager places it, so it stands where it is put, on top) and
// see-through. It is an input-output window with an alpha visual where the server has one:
// XWayland makes Wayland surfaces for input-output windows only, and the compositor sends the
// pointer only where there is a surface, so an input-only window there never sees it.
class X11EdgeStrip final : public EdgeStrip, private QAbstractNativeEventFilter {
public:
    X11EdgeStrip();
    ~X11EdgeStrip() override;
    X11EdgeStrip(const X11EdgeStrip&) = delete;
    X11EdgeStrip& operator=(const X11EdgeStrip&) = delete;

    void place(const QRect& area) override;
    void setEnteredHandler(std::function<void()> entered) override {
        entered_ = std::move(entered);
    }

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override;
    void create(const QRect& native);

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t window_ = 0;
    xcb_colormap_t colormap_ = 0;
    QRect placed_;
    std::function<void()> entered_;
};
