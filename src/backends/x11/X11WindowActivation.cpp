// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/X11WindowActivation.h"

#include "backends/x11/StartupNotification.h"
#include "backends/x11/XcbConnection.h"

#include <QRegularExpression>

#include <xcb/xcb.h>

namespace {

void requestActivation(xcb_connection_t* c, xcb_window_t window, std::uint32_t time) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = XcbConnection::internAtom(c, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 1; // the request comes from the application
    event.data.data32[1] = time;
    event.data.data32[2] = XCB_NONE;
    xcb_send_event(c, 0, XcbConnection::rootWindow(c),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

} // namespace

std::uint32_t X11WindowActivation::launchTime(const QByteArray& startupId) {
    static const QRegularExpression time(QStringLiteral("_TIME([0-9]{1,10})$"));
    const auto match = time.match(QString::fromLatin1(startupId));
    if (!match.hasMatch())
        return 0;
    const qulonglong value = match.captured(1).toULongLong();
    return value > 0xFFFFFFFFull ? 0 : static_cast<std::uint32_t>(value);
}

void X11WindowActivation::activate(WId window, const LaunchToken& token) {
    xcb_connection_t* c = XcbConnection::qt();
    if (!c || !window || token.startupId.isEmpty())
        return;
    const auto id = static_cast<xcb_window_t>(window);
    const std::uint32_t time = launchTime(token.startupId);
    xcb_change_property(
        c, XCB_PROP_MODE_REPLACE, id, XcbConnection::internAtom(c, "_NET_STARTUP_ID"),
        XcbConnection::internAtom(c, "UTF8_STRING"), 8,
        static_cast<std::uint32_t>(token.startupId.size()), token.startupId.constData());
    if (time != 0)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id,
                            XcbConnection::internAtom(c, "_NET_WM_USER_TIME"), XCB_ATOM_CARDINAL,
                            32, 1, &time);
    requestActivation(c, id, time);
    StartupNotification::send(c, id,
                              StartupNotification::message("remove", {{"ID", token.startupId}}));
    xcb_flush(c);
}
