// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/EwmhAtoms.h"

#include "backends/x11/XcbConnection.h"

#include <algorithm>
#include <vector>

EwmhAtoms EwmhAtoms::intern(xcb_connection_t* connection) {
    EwmhAtoms atoms;
    std::vector<XcbConnection::AtomName> names{
        {"_NET_CLIENT_LIST", &atoms.clientList},
        {"_NET_CLIENT_LIST_STACKING", &atoms.clientListStacking},
        {"_NET_ACTIVE_WINDOW", &atoms.activeWindow},
        {"_NET_CLOSE_WINDOW", &atoms.closeWindow},
        {"_NET_WM_PID", &atoms.wmPid},
        {"_NET_WM_ICON", &atoms.wmIcon},
        {"_NET_WM_WINDOW_TYPE", &atoms.wmWindowType},
        {"_NET_WM_WINDOW_TYPE_NORMAL", &atoms.typeNormal},
        {"_NET_WM_WINDOW_TYPE_DIALOG", &atoms.typeDialog},
        {"_NET_WM_STATE", &atoms.wmState},
        {"_NET_WM_STATE_SKIP_TASKBAR", &atoms.stateSkipTaskbar},
        {"WM_CHANGE_STATE", &atoms.wmChangeState},
    };
    const char* otherTypes[] = {
        "_NET_WM_WINDOW_TYPE_DESKTOP",       "_NET_WM_WINDOW_TYPE_DOCK",
        "_NET_WM_WINDOW_TYPE_TOOLBAR",       "_NET_WM_WINDOW_TYPE_MENU",
        "_NET_WM_WINDOW_TYPE_UTILITY",       "_NET_WM_WINDOW_TYPE_SPLASH",
        "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", "_NET_WM_WINDOW_TYPE_POPUP_MENU",
        "_NET_WM_WINDOW_TYPE_TOOLTIP",       "_NET_WM_WINDOW_TYPE_NOTIFICATION",
        "_NET_WM_WINDOW_TYPE_COMBO",         "_NET_WM_WINDOW_TYPE_DND",
    };
    static_assert(std::size(otherTypes) == std::tuple_size_v<decltype(atoms.otherTypes)>);
    for (std::size_t i = 0; i < std::size(otherTypes); ++i)
        names.emplace_back(otherTypes[i], &atoms.otherTypes[i]);

    XcbConnection::internAtoms(connection, names);
    return atoms;
}

bool EwmhAtoms::isOtherType(xcb_atom_t atom) const {
    return atom != XCB_ATOM_NONE &&
           std::find(otherTypes.begin(), otherTypes.end(), atom) != otherTypes.end();
}
