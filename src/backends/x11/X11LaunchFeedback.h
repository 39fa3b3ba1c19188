// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LaunchFeedback.h"

#include <QAbstractNativeEventFilter>

#include <xcb/xcb.h>

// Startup notification on X11, through Qt's own connection: each launch gets an id carrying the
// time of the user's last click or key press ("..._TIME1234"), which window managers that
// prevent focus stealing compare with their own; "new:" starts the feedback, "remove:" ends it.
// Without an X connection every token is empty.
class X11LaunchFeedback final : public LaunchFeedback, private QAbstractNativeEventFilter {
public:
    X11LaunchFeedback();
    ~X11LaunchFeedback() override;
    X11LaunchFeedback(const X11LaunchFeedback&) = delete;
    X11LaunchFeedback& operator=(const X11LaunchFeedback&) = delete;

    LaunchToken begin(const Launch& launch) override;
    void end(const LaunchToken& token) override;

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    xcb_window_t messageWindow();

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t window_ = XCB_WINDOW_NONE;
    std::uint32_t userTime_ = 0;
    int sequence_ = 0;
};
