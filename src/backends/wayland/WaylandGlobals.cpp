// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/WaylandGlobals.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstring>

namespace {

void addGlobal(void* data, wl_registry*, std::uint32_t name, const char* interface,
               std::uint32_t version) {
    static_cast<std::vector<WaylandGlobal>*>(data)->push_back({name, interface, version});
}

void removeGlobal(void* data, wl_registry*, std::uint32_t name) {
    auto* globals = static_cast<std::vector<WaylandGlobal>*>(data);
    std::erase_if(*globals, [name](const WaylandGlobal& g) { return g.name == name; });
}

const wl_registry_listener registryListener{addGlobal, removeGlobal};

} // namespace

WaylandGlobals::WaylandGlobals(wl_display* display) : display_(display) {
    if (!display_)
        return;
    wl_event_queue* queue = wl_display_create_queue(display_);
    auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display_));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), queue);
    registry_ = wl_display_get_registry(wrapper);
    wl_proxy_wrapper_destroy(wrapper);
    wl_registry_add_listener(registry_, &registryListener, &globals_);
    wl_display_roundtrip_queue(display_, queue);
    // Later globals and removals reach whoever dispatches the default queue.
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(registry_), nullptr);
    wl_display_dispatch_queue_pending(display_, queue);
    wl_event_queue_destroy(queue);
}

WaylandGlobals::~WaylandGlobals() {
    if (registry_)
        wl_registry_destroy(registry_);
}

const WaylandGlobal* WaylandGlobals::find(const char* interface) const {
    const auto it = std::find_if(globals_.begin(), globals_.end(),
                                 [interface](const auto& g) { return g.interface == interface; });
    return it == globals_.end() ? nullptr : &*it;
}

bool WaylandGlobals::has(const char* interface) const {
    return find(interface) != nullptr;
}

std::uint32_t WaylandGlobals::boundVersion(const wl_interface* interface,
                                           std::uint32_t maximumVersion) const {
    const WaylandGlobal* global = find(interface->name);
    return global ? std::min({global->version, maximumVersion, std::uint32_t(interface->version)})
                  : 0;
}

void* WaylandGlobals::bind(const wl_interface* interface, std::uint32_t maximumVersion) const {
    const WaylandGlobal* global = find(interface->name);
    if (!global || !registry_)
        return nullptr;
    return wl_registry_bind(registry_, global->name, interface,
                            boundVersion(interface, maximumVersion));
}
