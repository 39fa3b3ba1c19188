// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/WlrToplevels.h"

#include "backends/wayland/WaylandConnection.h"
#include "backends/wayland/WaylandLog.h"

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <algorithm>

// The protocol's callbacks, forwarding to the source.
struct WlrToplevelListeners {
    static WlrToplevels::Toplevel& of(void* data) {
        return *static_cast<WlrToplevels::Toplevel*>(data);
    }
    static void title(void* data, zwlr_foreign_toplevel_handle_v1*, const char* title) {
        of(data).title = QString::fromUtf8(title);
    }
    static void appId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
        of(data).appId = QString::fromUtf8(appId);
    }
    static void output(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void state(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
        WlrToplevels::Toplevel& toplevel = of(data);
        toplevel.pendingActivated = false;
        toplevel.pendingMinimized = false;
        const auto* values = static_cast<const std::uint32_t*>(states->data);
        for (std::size_t i = 0; i < states->size / sizeof(std::uint32_t); ++i) {
            toplevel.pendingActivated |=
                values[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
            toplevel.pendingMinimized |=
                values[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED;
        }
    }
    static void done(void* data, zwlr_foreign_toplevel_handle_v1*);
    static void closed(void* data, zwlr_foreign_toplevel_handle_v1*);
    static void parent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

    static void toplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                         zwlr_foreign_toplevel_handle_v1* handle) {
        static_cast<WlrToplevels*>(data)->added(handle);
    }
    static void finished(void* data, zwlr_foreign_toplevel_manager_v1* manager) {
        auto* source = static_cast<WlrToplevels*>(data);
        if (source->manager_ == manager) {
            zwlr_foreign_toplevel_manager_v1_destroy(manager);
            source->manager_ = nullptr;
        }
    }
};

namespace {

const zwlr_foreign_toplevel_handle_v1_listener handleListener{
    WlrToplevelListeners::title,  WlrToplevelListeners::appId, WlrToplevelListeners::output,
    WlrToplevelListeners::output, WlrToplevelListeners::state, WlrToplevelListeners::done,
    WlrToplevelListeners::closed, WlrToplevelListeners::parent};

const zwlr_foreign_toplevel_manager_v1_listener managerListener{WlrToplevelListeners::toplevel,
                                                                WlrToplevelListeners::finished};

} // namespace

void WlrToplevelListeners::done(void* data, zwlr_foreign_toplevel_handle_v1*) {
    WlrToplevels::Toplevel& toplevel = of(data);
    toplevel.minimized = toplevel.pendingMinimized;
    if (toplevel.pendingActivated && !toplevel.activated)
        toplevel.activatedAt = ++toplevel.source->activations_;
    toplevel.activated = toplevel.pendingActivated;
    toplevel.source->changes_.note();
}

void WlrToplevelListeners::closed(void* data, zwlr_foreign_toplevel_handle_v1*) {
    WlrToplevels::Toplevel& toplevel = of(data);
    toplevel.source->closed(toplevel);
}

WlrToplevels::WlrToplevels(WaylandConnection& wayland) : wayland_(wayland), changes_(wayland) {
    const WaylandGlobals& globals = wayland_.globals();
    seat_ = static_cast<wl_seat*>(globals.bind(&wl_seat_interface, 1));
    manager_ = static_cast<zwlr_foreign_toplevel_manager_v1*>(
        globals.bind(&zwlr_foreign_toplevel_manager_v1_interface, 3));
    if (!manager_) {
        qCWarning(lcWayland) << "the compositor lists no toplevel windows";
        return;
    }
    zwlr_foreign_toplevel_manager_v1_add_listener(manager_, &managerListener, this);
    wayland_.flush();
}

WlrToplevels::~WlrToplevels() {
    for (auto& [number, toplevel] : toplevels_)
        zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
    if (manager_)
        zwlr_foreign_toplevel_manager_v1_stop(manager_);
    if (seat_)
        wl_seat_destroy(seat_);
    wayland_.flush();
}

Subscription WlrToplevels::onChange(std::function<void()> action) {
    return changes_.onChange(std::move(action));
}

void WlrToplevels::added(zwlr_foreign_toplevel_handle_v1* handle) {
    auto toplevel = std::make_unique<Toplevel>();
    toplevel->handle = handle;
    toplevel->source = this;
    toplevel->number = nextNumber_++;
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &handleListener, toplevel.get());
    toplevels_.emplace(toplevel->number, std::move(toplevel));
    // Listed at its first "done", with its details.
}

void WlrToplevels::closed(Toplevel& toplevel) {
    zwlr_foreign_toplevel_handle_v1_destroy(toplevel.handle);
    toplevels_.erase(toplevel.number);
    changes_.note();
}

RunningApplicationsSource::Snapshot WlrToplevels::snapshot() {
    std::vector<ToplevelFacts> windows;
    windows.reserve(toplevels_.size());
    for (const auto& [number, toplevel] : toplevels_)
        windows.push_back({number, toplevel->appId, toplevel->title, -1, toplevel->activated});
    return groups_.snapshot(windows);
}

std::vector<zwlr_foreign_toplevel_handle_v1*>
WlrToplevels::handlesOf(const RunningApplication& app) const {
    std::vector<const Toplevel*> windows;
    for (const std::uint32_t number : app.windows) {
        const auto it = toplevels_.find(number);
        if (it != toplevels_.end())
            windows.push_back(it->second.get());
    }
    std::stable_sort(windows.begin(), windows.end(), [](const Toplevel* a, const Toplevel* b) {
        return a->activatedAt < b->activatedAt;
    });
    std::vector<zwlr_foreign_toplevel_handle_v1*> handles;
    for (const Toplevel* toplevel : windows)
        handles.push_back(toplevel->handle);
    return handles;
}

void WlrToplevels::activate(const RunningApplication& application) {
    if (!seat_)
        return;
    for (zwlr_foreign_toplevel_handle_v1* handle : handlesOf(application))
        zwlr_foreign_toplevel_handle_v1_activate(handle, seat_);
    wayland_.flush();
}

void WlrToplevels::activateWindow(std::uint32_t window) {
    const auto it = toplevels_.find(window);
    if (!seat_ || it == toplevels_.end())
        return;
    zwlr_foreign_toplevel_handle_v1_activate(it->second->handle, seat_);
    wayland_.flush();
}

std::vector<std::uint32_t> WlrToplevels::windowsByRecency() {
    std::vector<const Toplevel*> windows;
    for (const auto& [number, toplevel] : toplevels_)
        windows.push_back(toplevel.get());
    std::stable_sort(windows.begin(), windows.end(), [](const Toplevel* a, const Toplevel* b) {
        return a->activatedAt > b->activatedAt;
    });
    std::vector<std::uint32_t> numbers;
    for (const Toplevel* toplevel : windows)
        numbers.push_back(toplevel->number);
    return numbers;
}

void WlrToplevels::hide(const RunningApplication& application) {
    for (zwlr_foreign_toplevel_handle_v1* handle : handlesOf(application))
        zwlr_foreign_toplevel_handle_v1_set_minimized(handle);
    wayland_.flush();
}

void WlrToplevels::terminate(const RunningApplication& application) {
    for (zwlr_foreign_toplevel_handle_v1* handle : handlesOf(application))
        zwlr_foreign_toplevel_handle_v1_close(handle);
    wayland_.flush();
}
