// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/XcbConnection.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace XcbConnection {

xcb_connection_t* qt() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t* connection) {
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

void internAtoms(xcb_connection_t* connection, std::span<const AtomName> names) {
    std::vector<xcb_intern_atom_cookie_t> cookies;
    cookies.reserve(names.size());
    for (const auto& [name, atom] : names)
        cookies.push_back(
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name));
    auto cookie = cookies.begin();
    for (const auto& [name, atom] : names) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, *cookie++, nullptr);
        *atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
    }
}

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    xcb_atom_t atom = XCB_ATOM_NONE;
    const AtomName names[] = {{name, &atom}};
    internAtoms(connection, names);
    return atom;
}

} // namespace XcbConnection
