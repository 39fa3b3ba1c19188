// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/X11WindowHints.h"

#include "backends/x11/XcbConnection.h"

#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The atoms, interned once per connection, together.
struct Atoms {
    xcb_atom_t state, skipTaskbar, skipPager, sticky, above, stateStaysOnTop, desktop, blur;
    explicit Atoms(xcb_connection_t* c) {
        const XcbConnection::AtomName names[] = {
            {"_NET_WM_STATE", &state},
            {"_NET_WM_STATE_SKIP_TASKBAR", &skipTaskbar},
            {"_NET_WM_STATE_SKIP_PAGER", &skipPager},
            {"_NET_WM_STATE_STICKY", &sticky},
            {"_NET_WM_STATE_ABOVE", &above},
            {"_NET_WM_STATE_STAYS_ON_TOP", &stateStaysOnTop},
            {"_NET_WM_DESKTOP", &desktop},
            {"_KDE_NET_WM_BLUR_BEHIND_REGION", &blur},
        };
        XcbConnection::internAtoms(c, names);
    }
};

const Atoms& atoms(xcb_connection_t* c) {
    static const Atoms cached(c);
    return cached;
}

} // namespace

void X11WindowHints::prepareForMap(QWindow* window, bool above) {
    xcb_connection_t* c = XcbConnection::qt();
    if (!c || !window)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const Atoms& a = atoms(c);
    // The window is withdrawn here, so the properties are written directly; the window manager
    // reads them when it maps the window. Qt adds its own states to this list when it shows.
    // Every window manager takes both hints: Openbox reads only the desktop number, xfwm4 only the
    // sticky state (it takes the desktop number 0xFFFFFFFF for its last workspace).
    std::vector<xcb_atom_t> states{a.skipTaskbar, a.skipPager, a.sticky};
    if (above)
        states.insert(states.end(), {a.above, a.stateStaysOnTop});
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, a.state, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(states.size()), states.data());
    const std::uint32_t allDesktops = 0xFFFFFFFF;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, a.desktop, XCB_ATOM_CARDINAL, 32, 1,
                        &allDesktops);
    xcb_flush(c);
}

void X11WindowHints::setAbove(QWindow* window, bool above) {
    xcb_connection_t* c = XcbConnection::qt();
    if (!c || !window)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const Atoms& a = atoms(c);
    // A mapped window's state belongs to the window manager: ask it (EWMH _NET_WM_STATE
    // message, 1 = add, 0 = remove, source 1 = an application).
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = id;
    event.type = a.state;
    event.data.data32[0] = above ? 1 : 0;
    event.data.data32[1] = a.above;
    event.data.data32[2] = a.stateStaysOnTop;
    event.data.data32[3] = 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

void X11WindowHints::setWindowClass(QWindow* window, const QByteArray& instance,
                                    const QByteArray& className) {
    xcb_connection_t* c = XcbConnection::qt();
    if (!c || !window)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    // Two NUL-terminated strings in one property.
    const QByteArray value = instance + '\0' + className + '\0';
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(value.size()), value.constData());
    xcb_flush(c);
}

void X11WindowHints::setBlurRegion(QWindow* window, const QRegion& region) {
    xcb_connection_t* c = XcbConnection::qt();
    if (!c || !window)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    // KDE reads an empty property as "the whole window"; no blur is no property.
    if (region.isEmpty()) {
        xcb_delete_property(c, id, atoms(c).blur);
        xcb_flush(c);
        return;
    }
    std::vector<std::uint32_t> rects;
    rects.reserve(std::size_t(region.rectCount()) * 4);
    for (const QRect& rect : region) {
        rects.insert(rects.end(), {std::uint32_t(rect.x()), std::uint32_t(rect.y()),
                                   std::uint32_t(rect.width()), std::uint32_t(rect.height())});
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atoms(c).blur, XCB_ATOM_CARDINAL, 32,
                        static_cast<std::uint32_t>(rects.size()), rects.data());
    xcb_flush(c);
}

void X11WindowHints::setAcceptsFocus(QWindow* window, bool acceptsFocus) {
    xcb_connection_t* c = XcbConnection::qt();
    if (!c || !window)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    // WM_HINTS: flags, input, initial state, then fields this leaves alone. Qt writes the
    // property itself; keep what it holds and change only the input field.
    constexpr std::uint32_t inputHint = 1;
    constexpr std::size_t fieldCount = 9;
    std::uint32_t hints[fieldCount] = {};
    const auto cookie =
        xcb_get_property(c, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, fieldCount);
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr)) {
        const int length = xcb_get_property_value_length(reply);
        if (reply->format == 32 && length > 0)
            std::memcpy(hints, xcb_get_property_value(reply),
                        std::min<std::size_t>(std::size_t(length), sizeof hints));
        std::free(reply);
    }
    hints[0] |= inputHint;
    hints[1] = acceptsFocus ? 1 : 0;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                        fieldCount, hints);
    xcb_flush(c);
}

namespace {

// _NET_ACTIVE_WINDOW on the root: the first id (xfwm4 writes a second, zero id after it).
xcb_window_t activeWindow(xcb_connection_t* c) {
    const auto cookie =
        xcb_get_property(c, 0, XcbConnection::rootWindow(c),
                         XcbConnection::internAtom(c, "_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 0, 1);
    xcb_window_t active = XCB_NONE;
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr)) {
        if (reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
            std::memcpy(&active, xcb_get_property_value(reply), sizeof active);
        std::free(reply);
    }
    return active;
}

// source: 1 for an application asking for itself, 2 for a pager acting for the user.
void requestActivation(xcb_connection_t* c, xcb_window_t window, std::uint32_t source,
                       std::uint32_t time, xcb_window_t current) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = XcbConnection::internAtom(c, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = source;
    event.data.data32[1] = time;
    event.data.data32[2] = current;
    xcb_send_event(c, 0, XcbConnection::rootWindow(c),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

} // namespace

WId X11WindowHints::takeFocus(QWindow* window, std::uint32_t userTime) {
    xcb_connection_t* c = XcbConnection::qt();
    if (!c || !window)
        return 0;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t previous = activeWindow(c);
    // Focus-stealing prevention compares this time with the focused window's last input: the
    // hot key's press is newer than anything the user did there.
    if (userTime != 0)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id,
                            XcbConnection::internAtom(c, "_NET_WM_USER_TIME"), XCB_ATOM_CARDINAL,
                            32, 1, &userTime);
    requestActivation(c, id, 1, userTime, previous);
    xcb_flush(c);
    return previous == id ? 0 : WId(previous);
}

void X11WindowHints::giveFocusBack(WId previous, std::uint32_t userTime) {
    xcb_connection_t* c = XcbConnection::qt();
    if (!c || !previous)
        return;
    requestActivation(c, static_cast<xcb_window_t>(previous), 2, userTime, XCB_NONE);
    xcb_flush(c);
}
