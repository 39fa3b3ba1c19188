// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <xcb/xcb.h>

#include <span>
#include <utility>

// The backends talk to the X server through Qt's own connection, so that their requests and
// Qt's stay in one order and Qt's event loop delivers the events they select.
namespace XcbConnection {

// Null when the application does not run on X11 (offscreen tests, Wayland).
xcb_connection_t* qt();

xcb_window_t rootWindow(xcb_connection_t* connection);

// One round trip; XCB_ATOM_NONE when the server does not answer.
xcb_atom_t internAtom(xcb_connection_t* connection, const char* name);

// Interns every name into the atom it is paired with, all in one round trip: each round trip
// before the first frame is a wait on the X server. XCB_ATOM_NONE for any the server does not
// answer.
using AtomName = std::pair<const char*, xcb_atom_t*>;
void internAtoms(xcb_connection_t* connection, std::span<const AtomName> names);

} // namespace XcbConnection
