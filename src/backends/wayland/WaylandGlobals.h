// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

struct wl_display;
struct wl_interface;
struct wl_registry;

// One global a Wayland compositor offers: its name in the registry, its interface and version.
struct WaylandGlobal {
    std::uint32_t name = 0;
    QByteArray interface;
    std::uint32_t version = 0;
};

// The globals of a Wayland display, read with one round trip on a queue of their own, so that
// nothing else on the connection (Qt's own objects, when the display is Qt's) is dispatched
// meanwhile. The registry stays, to bind globals from.
class WaylandGlobals {
public:
    explicit WaylandGlobals(wl_display* display);
    ~WaylandGlobals();
    WaylandGlobals(const WaylandGlobals&) = delete;
    WaylandGlobals& operator=(const WaylandGlobals&) = delete;

    const std::vector<WaylandGlobal>& all() const { return globals_; }
    bool has(const char* interface) const;
    // Binds the global of that interface at the lower of its version and `maximumVersion`, on
    // the display's default queue (whoever dispatches it dispatches the new object); null when
    // it is not offered.
    void* bind(const wl_interface* interface, std::uint32_t maximumVersion) const;
    // The version bound by bind() for that interface (0 when not offered).
    std::uint32_t boundVersion(const wl_interface* interface, std::uint32_t maximumVersion) const;

private:
    const WaylandGlobal* find(const char* interface) const;

    wl_display* display_;
    wl_registry* registry_ = nullptr;
    std::vector<WaylandGlobal> globals_;
};
