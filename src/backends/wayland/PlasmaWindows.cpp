// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/PlasmaWindows.h"

#include "backends/wayland/WaylandConnection.h"
#include "backends/wayland/WaylandLog.h"

#include "plasma-window-management-client-protocol.h"

#include <wayland-client.h>

#include <algorithm>

namespace {

// The newest version whose events we know: a compositor that knows newer ones is bound at this
// one, so it never sends an event we have no handler for. (A newer protocol description adds
// listener slots that the listeners below leave out, which the build reports.)
constexpr std::uint32_t handledVersion = 16;
// Windows named by uuid rather than by a number that may be reused.
constexpr std::uint32_t uuidVersion =
    ORG_KDE_PLASMA_WINDOW_MANAGEMENT_WINDOW_WITH_UUID_SINCE_VERSION;
// The end of a window's first burst of details, and a destructor request.
constexpr std::uint32_t initialStateVersion = ORG_KDE_PLASMA_WINDOW_INITIAL_STATE_SINCE_VERSION;

constexpr std::uint32_t activeState = ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE;
constexpr std::uint32_t minimizedState = ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_MINIMIZED;
constexpr std::uint32_t skipTaskbarState = ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_SKIPTASKBAR;

// A handler for an event we have no use for: libwayland calls every slot of a listener.
template <typename Handler> struct Ignore;
template <typename... Arguments> struct Ignore<void (*)(Arguments...)> {
    static void call(Arguments...) {}
};
#define MOORLINE_IGNORED(listener, slot) Ignore<decltype(listener::slot)>::call

} // namespace

// The protocol's callbacks, forwarding to the source.
struct PlasmaWindowListeners {
    static PlasmaWindows::Window& of(void* data) {
        return *static_cast<PlasmaWindows::Window*>(data);
    }
    static void title(void* data, org_kde_plasma_window*, const char* title) {
        PlasmaWindows::Window& window = of(data);
        window.title = QString::fromUtf8(title);
        window.source->changed(window);
    }
    static void appId(void* data, org_kde_plasma_window*, const char* appId) {
        PlasmaWindows::Window& window = of(data);
        window.appId = QString::fromUtf8(appId);
        window.source->changed(window);
    }
    static void state(void* data, org_kde_plasma_window*, std::uint32_t flags) {
        PlasmaWindows::Window& window = of(data);
        window.source->stateChanged(window, flags);
    }
    static void pid(void* data, org_kde_plasma_window*, std::uint32_t pid) {
        PlasmaWindows::Window& window = of(data);
        window.pid = pid > 0 && pid <= INT32_MAX ? std::int32_t(pid) : -1;
        window.source->changed(window);
    }
    static void unmapped(void* data, org_kde_plasma_window*) {
        PlasmaWindows::Window& window = of(data);
        window.source->unmapped(window);
    }
    static void initialState(void* data, org_kde_plasma_window*) {
        PlasmaWindows::Window& window = of(data);
        window.ready = true;
        window.source->changed(window);
    }

    static void window(void* data, org_kde_plasma_window_management* manager, std::uint32_t id) {
        auto* source = static_cast<PlasmaWindows*>(data);
        // Newer compositors name the same window by uuid as well; one handle per window.
        if (source->version_ < uuidVersion)
            source->announced(org_kde_plasma_window_management_get_window(manager, id));
    }
    static void windowWithUuid(void* data, org_kde_plasma_window_management* manager, std::uint32_t,
                               const char* uuid) {
        static_cast<PlasmaWindows*>(data)->announced(
            org_kde_plasma_window_management_get_window_by_uuid(manager, uuid));
    }
};

namespace {

using WindowListener = org_kde_plasma_window_listener;
const WindowListener windowListener{
    .title_changed = PlasmaWindowListeners::title,
    .app_id_changed = PlasmaWindowListeners::appId,
    .state_changed = PlasmaWindowListeners::state,
    .virtual_desktop_changed = MOORLINE_IGNORED(WindowListener, virtual_desktop_changed),
    .themed_icon_name_changed = MOORLINE_IGNORED(WindowListener, themed_icon_name_changed),
    .unmapped = PlasmaWindowListeners::unmapped,
    .initial_state = PlasmaWindowListeners::initialState,
    .parent_window = MOORLINE_IGNORED(WindowListener, parent_window),
    .geometry = MOORLINE_IGNORED(WindowListener, geometry),
    .icon_changed = MOORLINE_IGNORED(WindowListener, icon_changed),
    .pid_changed = PlasmaWindowListeners::pid,
    .virtual_desktop_entered = MOORLINE_IGNORED(WindowListener, virtual_desktop_entered),
    .virtual_desktop_left = MOORLINE_IGNORED(WindowListener, virtual_desktop_left),
    .application_menu = MOORLINE_IGNORED(WindowListener, application_menu),
    .activity_entered = MOORLINE_IGNORED(WindowListener, activity_entered),
    .activity_left = MOORLINE_IGNORED(WindowListener, activity_left),
    .resource_name_changed = MOORLINE_IGNORED(WindowListener, resource_name_changed),
};

using ManagerListener = org_kde_plasma_window_management_listener;
const ManagerListener managerListener{
    .show_desktop_changed = MOORLINE_IGNORED(ManagerListener, show_desktop_changed),
    .window = PlasmaWindowListeners::window,
    .stacking_order_changed = MOORLINE_IGNORED(ManagerListener, stacking_order_changed),
    .stacking_order_uuid_changed = MOORLINE_IGNORED(ManagerListener, stacking_order_uuid_changed),
    .window_with_uuid = PlasmaWindowListeners::windowWithUuid,
};

void destroyWindow(org_kde_plasma_window* handle) {
    // Older versions have no destructor request: the compositor forgets it when it unmaps.
    if (wl_proxy_get_version(reinterpret_cast<wl_proxy*>(handle)) >= initialStateVersion)
        org_kde_plasma_window_destroy(handle);
    else
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(handle));
}

} // namespace

PlasmaWindows::PlasmaWindows(WaylandConnection& wayland) : wayland_(wayland), changes_(wayland) {
    const WaylandGlobals& globals = wayland_.globals();
    version_ = globals.boundVersion(&org_kde_plasma_window_management_interface, handledVersion);
    manager_ = static_cast<org_kde_plasma_window_management*>(
        globals.bind(&org_kde_plasma_window_management_interface, handledVersion));
    if (!manager_) {
        qCWarning(lcWayland) << "the compositor lists no windows to us";
        return;
    }
    org_kde_plasma_window_management_add_listener(manager_, &managerListener, this);
    wayland_.flush();
}

PlasmaWindows::~PlasmaWindows() {
    for (auto& [number, window] : windows_)
        destroyWindow(window->handle);
    if (manager_)
        org_kde_plasma_window_management_destroy(manager_);
    wayland_.flush();
}

Subscription PlasmaWindows::onChange(std::function<void()> action) {
    return changes_.onChange(std::move(action));
}

void PlasmaWindows::announced(org_kde_plasma_window* handle) {
    auto window = std::make_unique<Window>();
    window->handle = handle;
    window->source = this;
    window->number = nextNumber_++;
    // Before "initial_state" a window is half described; without it, it is listed at once.
    window->ready = wl_proxy_get_version(reinterpret_cast<wl_proxy*>(handle)) < initialStateVersion;
    org_kde_plasma_window_add_listener(handle, &windowListener, window.get());
    windows_.emplace(window->number, std::move(window));
}

void PlasmaWindows::changed(const Window& window) {
    changes_.note(window.ready);
}

void PlasmaWindows::stateChanged(Window& window, std::uint32_t state) {
    if ((state & activeState) && !(window.state & activeState))
        window.activatedAt = ++activations_;
    window.state = state;
    changed(window);
}

void PlasmaWindows::unmapped(Window& window) {
    changes_.note(window.ready);
    destroyWindow(window.handle);
    windows_.erase(window.number);
}

bool PlasmaWindows::listed(const Window& window) const {
    // Panels, desktops and the like ask to stay out of task bars; so do they out of our dock.
    return window.ready && !(window.state & skipTaskbarState);
}

RunningApplicationsSource::Snapshot PlasmaWindows::snapshot() {
    std::vector<ToplevelFacts> windows;
    windows.reserve(windows_.size());
    for (const auto& [number, window] : windows_)
        if (listed(*window))
            windows.push_back({number, window->appId, window->title, window->pid,
                               (window->state & activeState) != 0});
    return groups_.snapshot(windows);
}

std::vector<org_kde_plasma_window*> PlasmaWindows::handlesOf(const RunningApplication& app) const {
    std::vector<const Window*> windows;
    for (const std::uint32_t number : app.windows) {
        const auto it = windows_.find(number);
        if (it != windows_.end())
            windows.push_back(it->second.get());
    }
    std::stable_sort(windows.begin(), windows.end(), [](const Window* a, const Window* b) {
        return a->activatedAt < b->activatedAt;
    });
    std::vector<org_kde_plasma_window*> handles;
    for (const Window* window : windows)
        handles.push_back(window->handle);
    return handles;
}

void PlasmaWindows::setState(const RunningApplication& app, std::uint32_t flags,
                             std::uint32_t state) {
    for (org_kde_plasma_window* handle : handlesOf(app))
        org_kde_plasma_window_set_state(handle, flags, state);
    wayland_.flush();
}

void PlasmaWindows::activate(const RunningApplication& application) {
    // Active and no longer minimised, in one request per window.
    setState(application, activeState | minimizedState, activeState);
}

void PlasmaWindows::activateWindow(std::uint32_t window) {
    const auto it = windows_.find(window);
    if (it == windows_.end())
        return;
    org_kde_plasma_window_set_state(it->second->handle, activeState | minimizedState, activeState);
    wayland_.flush();
}

std::vector<std::uint32_t> PlasmaWindows::windowsByRecency() {
    std::vector<const Window*> windows;
    for (const auto& [number, window] : windows_)
        if (listed(*window))
            windows.push_back(window.get());
    std::stable_sort(windows.begin(), windows.end(), [](const Window* a, const Window* b) {
        return a->activatedAt > b->activatedAt;
    });
    std::vector<std::uint32_t> numbers;
    for (const Window* window : windows)
        numbers.push_back(window->number);
    return numbers;
}

void PlasmaWindows::hide(const RunningApplication& application) {
    setState(application, minimizedState, minimizedState);
}

void PlasmaWindows::terminate(const RunningApplication& application) {
    for (org_kde_plasma_window* handle : handlesOf(application))
        org_kde_plasma_window_close(handle);
    wayland_.flush();
}
