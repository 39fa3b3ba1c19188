// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/StartupNotification.h"

#include "backends/x11/XcbConnection.h"

#include <algorithm>
#include <cstring>

namespace StartupNotification {

namespace {

QByteArray quoted(QByteArray value) {
    if (!value.contains(' ') && !value.contains('"') && !value.contains('\\'))
        return value;
    value.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + value + '"';
}

} // namespace

QByteArray message(const char* type, const Fields& fields) {
    QByteArray text = QByteArray(type) + ':';
    for (const auto& [key, value] : fields)
        if (!value.isEmpty())
            text += ' ' + QByteArray(key) + '=' + quoted(value);
    return text;
}

void send(xcb_connection_t* c, xcb_window_t window, const QByteArray& text) {
    // The first piece goes under _NET_STARTUP_INFO_BEGIN, the rest under _NET_STARTUP_INFO; the
    // final NUL ends the message.
    const xcb_atom_t begin = XcbConnection::internAtom(c, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = XcbConnection::internAtom(c, "_NET_STARTUP_INFO");
    const QByteArray whole = text + '\0';
    for (qsizetype offset = 0; offset < whole.size(); offset += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = window;
        event.type = offset == 0 ? begin : more;
        const auto length = std::min<qsizetype>(20, whole.size() - offset);
        std::memcpy(event.data.data8, whole.constData() + offset, std::size_t(length));
        xcb_send_event(c, 0, XcbConnection::rootWindow(c), XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
    }
}

} // namespace StartupNotification
