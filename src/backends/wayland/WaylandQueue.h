// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

struct wl_display;
struct wl_event_queue;
struct wl_proxy;

// An event queue of our own on a connection someone else dispatches (Qt's): objects made
// through its wrappers deliver their events here, so that a round trip waits for their first
// configure without dispatching anything of Qt's in the middle of Qt's own work. Released
// objects go back to the default queue, which Qt dispatches from then on.
class WaylandQueue {
public:
    explicit WaylandQueue(wl_display* display);
    ~WaylandQueue();
    WaylandQueue(const WaylandQueue&) = delete;
    WaylandQueue& operator=(const WaylandQueue&) = delete;

    // A wrapper of `proxy` whose new objects land on this queue; valid while the queue lives.
    template <typename T> T* wrap(T* proxy) { return static_cast<T*>(wrapProxy(proxy)); }
    // Round trips until `done` holds, three at most; false if it never did.
    bool roundtripUntil(const std::function<bool()>& done);
    // Moves an object made here to the default queue, with what it has received so far.
    void release(wl_proxy* proxy);

private:
    void* wrapProxy(void* proxy);

    wl_display* display_;
    wl_event_queue* queue_;
    std::vector<void*> wrappers_;
};
