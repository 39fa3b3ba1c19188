// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/WaylandQueue.h"

#include <wayland-client.h>

WaylandQueue::WaylandQueue(wl_display* display)
    : display_(display), queue_(wl_display_create_queue(display)) {}

WaylandQueue::~WaylandQueue() {
    // Whatever arrived for the released objects after the last round trip is theirs to see.
    wl_display_dispatch_queue_pending(display_, queue_);
    for (void* wrapper : wrappers_)
        wl_proxy_wrapper_destroy(wrapper);
    wl_event_queue_destroy(queue_);
}

void* WaylandQueue::wrapProxy(void* proxy) {
    void* wrapper = wl_proxy_create_wrapper(proxy);
    wl_proxy_set_queue(static_cast<wl_proxy*>(wrapper), queue_);
    wrappers_.push_back(wrapper);
    return wrapper;
}

bool WaylandQueue::roundtripUntil(const std::function<bool()>& done) {
    for (int attempt = 0; attempt < 3 && !done(); ++attempt)
        if (wl_display_roundtrip_queue(display_, queue_) < 0)
            return false;
    return done();
}

void WaylandQueue::release(wl_proxy* proxy) {
    // Events already queued here stay here until the destructor dispatches them; later ones go
    // to the default queue.
    wl_proxy_set_queue(proxy, nullptr);
}
