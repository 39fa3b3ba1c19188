// SPDX-License-Identifier: GPL-3.0-or-later
// The tests' pointer on a wlroots compositor that has no input device: a virtual pointer,
// driven by lines on standard input ("move X Y" in output pixels, "press", "release",
// "click X Y", "rclick X Y" with the right button), each answered "ok" once the compositor has
// handled it.
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t) {
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals->seat)
        globals->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        globals->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}
void globalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener registryListener{global, globalRemove};

constexpr std::uint32_t leftButton = 0x110;  // BTN_LEFT
constexpr std::uint32_t rightButton = 0x111; // BTN_RIGHT
std::uint32_t now = 0;

} // namespace

int main(int argc, char** argv) {
    // The output's size, for absolute motion: "WIDTH HEIGHT" (default 1280 800).
    const std::uint32_t width = argc > 2 ? std::stoul(argv[1]) : 1280;
    const std::uint32_t height = argc > 2 ? std::stoul(argv[2]) : 800;
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "no compositor\n");
        return 1;
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &globals);
    wl_display_roundtrip(display);
    if (!globals.manager) {
        std::fprintf(stderr, "no virtual pointers here\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        unsigned x = 0;
        unsigned y = 0;
        const bool right = std::sscanf(line, "rclick %u %u", &x, &y) == 2;
        const bool click = right || std::sscanf(line, "click %u %u", &x, &y) == 2;
        const std::uint32_t button = right ? rightButton : leftButton;
        if (click || std::sscanf(line, "move %u %u", &x, &y) == 2) {
            zwlr_virtual_pointer_v1_motion_absolute(pointer, now += 10, x, y, width, height);
            zwlr_virtual_pointer_v1_frame(pointer);
        }
        if (click || std::strncmp(line, "press", 5) == 0) {
            zwlr_virtual_pointer_v1_button(pointer, now += 10, button,
                                           WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
        }
        if (click || std::strncmp(line, "release", 7) == 0) {
            zwlr_virtual_pointer_v1_button(pointer, now += 10, button,
                                           WL_POINTER_BUTTON_STATE_RELEASED);
            zwlr_virtual_pointer_v1_frame(pointer);
        }
        if (wl_display_roundtrip(display) < 0)
            return 1;
        std::printf("ok\n");
        std::fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
