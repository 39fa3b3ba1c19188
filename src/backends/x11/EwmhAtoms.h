// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <xcb/xcb.h>

#include <array>

// The atoms that EWMH and ICCCM use for client lists, window properties and client messages,
// interned in one batch.
struct EwmhAtoms {
    xcb_atom_t clientList = XCB_ATOM_NONE;
    xcb_atom_t clientListStacking = XCB_ATOM_NONE;
    xcb_atom_t activeWindow = XCB_ATOM_NONE;
    xcb_atom_t closeWindow = XCB_ATOM_NONE;
    xcb_atom_t wmPid = XCB_ATOM_NONE;
    xcb_atom_t wmIcon = XCB_ATOM_NONE;
    xcb_atom_t wmWindowType = XCB_ATOM_NONE;
    xcb_atom_t typeNormal = XCB_ATOM_NONE;
    xcb_atom_t typeDialog = XCB_ATOM_NONE;
    xcb_atom_t wmState = XCB_ATOM_NONE;
    xcb_atom_t stateSkipTaskbar = XCB_ATOM_NONE;
    xcb_atom_t wmChangeState = XCB_ATOM_NONE;
    // The window types other than normal and dialog: desktop, dock, toolbar, menu, utility,
    // splash, dropdown and popup menu, tooltip, notification, combo, dnd.
    std::array<xcb_atom_t, 12> otherTypes{};

    bool isOtherType(xcb_atom_t atom) const;

    // Atoms the server does not answer for stay XCB_ATOM_NONE.
    static EwmhAtoms intern(xcb_connection_t* connection);
};
