// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

// An X client of the test's own, beside the program's: for windows with properties no
// well-behaved program sets, and for holding key chords against the program.
class XClient {
public:
    XClient();
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    xcb_atom_t atom(const char* name);
    xcb_window_t createWindow();
    void set(xcb_window_t window, const char* property, xcb_atom_t type, std::uint8_t format,
             const void* data, std::uint32_t count);
    void map(xcb_window_t window);
    void destroy(xcb_window_t window);
    // Asks the window manager to add or remove a _NET_WM_STATE flag of the window.
    void changeState(xcb_window_t window, bool add, const char* flag);

    // Grabs a chord on the root window; false when another client holds it.
    bool grab(xcb_keycode_t keycode, std::uint16_t modifiers);
    // Waits for the server, so that a request of the program after it finds the chord free.
    void ungrab(xcb_keycode_t keycode, std::uint16_t modifiers);
    // The keysyms the server has at a keycode, every level.
    std::vector<xcb_keysym_t> keysyms(xcb_keycode_t keycode);

private:
    xcb_connection_t* connection_;
    xcb_window_t root_;
};
