// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <utility>
#include <vector>

#include <xcb/xcb.h>

// Messages of the freedesktop startup-notification protocol: "new:", "change:" and "remove:"
// with KEY=VALUE pairs, sent to the root window in 20-byte client messages.
namespace StartupNotification {

using Fields = std::vector<std::pair<const char*, QByteArray>>;

// "remove: ID=..." and the like; a value with a space, quote or backslash is quoted, its quotes
// and backslashes escaped. Fields with empty values are left out.
QByteArray message(const char* type, const Fields& fields);
// Sends the message on behalf of `window`, a window of ours that lives until it is sent.
void send(xcb_connection_t* connection, xcb_window_t window, const QByteArray& message);

} // namespace StartupNotification
