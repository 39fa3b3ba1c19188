// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/X11WindowActivation.h"

#include "backends/x11/XcbConnection.h"

#include <QRegularExpression>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// The message goes out in pieces of 20 bytes: the first under _NET_STARTUP_INFO_BEGIN, the
// rest under _NET_STARTUP_INFO, all to the root window; the final NUL ends it.
void sendStartupMessage(xcb_connection_t* c, xcb_window_t window, const QByteArray& text) {
    const xcb_atom_t begin = XcbConnection::internAtom(c, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = XcbConnection::internAtom(c, "_NET_STARTUP_INFO");
    const QByteArray message = text + '\0';
    for (qsizetype offset = 0; offset < message.size(); offset += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = window;
        event.type = offset == 0 ? begin : more;
        const auto length = std::min<qsizetype>(20, message.size() - offset);
        std::memcpy(event.data.data8, message.constData() + offset, std::size_t(length));
        xcb_send_event(c, 0, XcbConnection::rootWindow(c), XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
    }
}

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

QByteArray X11WindowActivation::removeMessage(const QByteArray& startupId) {
    // A value with a space, quote or backslash is quoted, its quotes and backslashes escaped.
    QByteArray value = startupId;
    if (value.contains(' ') || value.contains('"') || value.contains('\\')) {
        value.replace('\\', "\\\\").replace('"', "\\\"");
        value = '"' + value + '"';
    }
    return "remove: ID=" + value;
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
    sendStartupMessage(c, id, removeMessage(token.startupId));
    xcb_flush(c);
}
