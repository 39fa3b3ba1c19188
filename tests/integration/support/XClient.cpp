// SPDX-License-Identifier: GPL-3.0-or-later
#include "integration/support/XClient.h"

#include <cstdlib>
#include <cstring>

XClient::XClient() : connection_(xcb_connect(nullptr, nullptr)) {
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
}

XClient::~XClient() {
    xcb_disconnect(connection_);
}

xcb_atom_t XClient::atom(const char* name) {
    auto* reply = xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

xcb_window_t XClient::createWindow() {
    const xcb_window_t window = xcb_generate_id(connection_);
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, root_, 0, 0, 50, 50, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    return window;
}

void XClient::set(xcb_window_t window, const char* property, xcb_atom_t type, std::uint8_t format,
                  const void* data, std::uint32_t count) {
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, atom(property), type, format,
                        count, data);
}

void XClient::map(xcb_window_t window) {
    xcb_map_window(connection_, window);
    xcb_flush(connection_);
}

void XClient::destroy(xcb_window_t window) {
    xcb_destroy_window(connection_, window);
    xcb_flush(connection_);
}

void XClient::changeState(xcb_window_t window, bool add, const char* flag) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom("_NET_WM_STATE");
    event.data.data32[0] = add ? 1 : 0;
    event.data.data32[1] = atom(flag);
    event.data.data32[3] = 2;
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection_);
}

bool XClient::grab(xcb_keycode_t keycode, std::uint16_t modifiers) {
    const auto cookie = xcb_grab_key_checked(connection_, 0, root_, modifiers, keycode,
                                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_generic_error_t* error = xcb_request_check(connection_, cookie);
    std::free(error);
    return error == nullptr;
}

void XClient::ungrab(xcb_keycode_t keycode, std::uint16_t modifiers) {
    std::free(xcb_request_check(connection_,
                                xcb_ungrab_key_checked(connection_, keycode, root_, modifiers)));
}

std::vector<xcb_keysym_t> XClient::keysyms(xcb_keycode_t keycode) {
    auto* reply = xcb_get_keyboard_mapping_reply(
        connection_, xcb_get_keyboard_mapping(connection_, keycode, 1), nullptr);
    std::vector<xcb_keysym_t> result;
    if (reply) {
        const auto* syms = xcb_get_keyboard_mapping_keysyms(reply);
        result.assign(syms, syms + xcb_get_keyboard_mapping_keysyms_length(reply));
        std::free(reply);
    }
    return result;
}
