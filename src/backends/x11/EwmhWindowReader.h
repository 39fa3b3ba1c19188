// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backends/x11/EwmhAtoms.h"
#include "runtime/AppMatchWindow.h"

#include <QIcon>

#include <optional>
#include <vector>

// Reads the EWMH and ICCCM properties of the root and client windows in batches: every request
// of a batch goes out before the first reply is awaited, so a read costs one round trip however
// many windows there are. Windows that vanish and properties that are missing or malformed are
// left out, never trusted.
class EwmhWindowReader {
public:
    EwmhWindowReader(xcb_connection_t* connection, const EwmhAtoms& atoms, xcb_window_t root);

    struct RootState {
        std::vector<xcb_window_t> clients;
        xcb_window_t activeWindow = XCB_WINDOW_NONE;
    };
    RootState readRoot() const;
    // _NET_CLIENT_LIST_STACKING: bottom to top.
    std::vector<xcb_window_t> readStacking() const;

    // The properties that tell applications apart, as bits of a mask.
    enum Property : std::uint8_t {
        pid = 1,        // _NET_WM_PID
        wmClass = 2,    // WM_CLASS
        windowType = 4, // _NET_WM_WINDOW_TYPE
        state = 8,      // _NET_WM_STATE
        allProperties = 15,
    };
    struct Request {
        xcb_window_t window = XCB_WINDOW_NONE;
        std::uint8_t properties = allProperties;
        // _NET_WM_ICON, which may be large.
        bool icon = false;
        // What is known of the window already; the properties read replace their parts of it.
        AppMatchWindow known{};
    };
    struct Window {
        xcb_window_t window = XCB_WINDOW_NONE;
        // Present when properties were asked for.
        std::optional<AppMatchWindow> properties;
        // A null icon when the window has none.
        std::optional<QIcon> icon;
    };
    // What was asked for, of the windows that still exist, in the order given.
    std::vector<Window> readWindows(const std::vector<Request>& requests) const;

    // Every well-formed image of a _NET_WM_ICON value (width, height, then ARGB rows, repeated).
    static QIcon decodeIcon(const std::uint32_t* data, std::size_t count);

private:
    std::vector<xcb_window_t> readWindowList(xcb_atom_t property) const;

    xcb_connection_t* connection_;
    const EwmhAtoms& atoms_;
    xcb_window_t root_;
};
