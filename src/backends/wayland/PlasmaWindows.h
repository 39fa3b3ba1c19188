// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backends/wayland/DispatchedChanges.h"
#include "backends/wayland/ToplevelGroups.h"
#include "platform/RunningApplicationsSource.h"

#include <cstdint>
#include <map>
#include <memory>

class WaylandConnection;
struct org_kde_plasma_window;
struct org_kde_plasma_window_management;

// The running applications of KWin, from org_kde_plasma_window_management on our own Wayland
// connection: every window the compositor would show in a task bar, grouped by
// ToplevelGroups. KWin offers the global only to programs whose desktop entry asks for it. It
// wakes only when the compositor reports a change.
class PlasmaWindows final : public RunningApplicationsSource {
public:
    // `wayland` outlives us.
    explicit PlasmaWindows(WaylandConnection& wayland);
    ~PlasmaWindows() override;
    PlasmaWindows(const PlasmaWindows&) = delete;
    PlasmaWindows& operator=(const PlasmaWindows&) = delete;

    Snapshot snapshot() override;
    Subscription onChange(std::function<void()> action) override;
    void activate(const RunningApplication& application) override;
    void activateWindow(std::uint32_t window) override;
    std::vector<std::uint32_t> windowsByRecency() override;
    void hide(const RunningApplication& application) override;
    void terminate(const RunningApplication& application) override;
    bool isAvailable() const override { return manager_ != nullptr; }

    // What one window says about itself. KWin sends each change on its own, with no "done".
    struct Window {
        PlasmaWindows* source = nullptr;
        org_kde_plasma_window* handle = nullptr;
        std::uint32_t number = 0;
        QString title;
        QString appId;
        std::int32_t pid = -1;
        // Bits of org_kde_plasma_window_management.state.
        std::uint32_t state = 0;
        // Listed once the compositor has sent all it knows of it.
        bool ready = false;
        // When it was last activated, to raise an application's windows in their order.
        std::uint64_t activatedAt = 0;
    };

private:
    friend struct PlasmaWindowListeners;
    void announced(org_kde_plasma_window* handle);
    void changed(const Window& window);
    void stateChanged(Window& window, std::uint32_t state);
    void unmapped(Window& window);
    bool listed(const Window& window) const;
    // The application's windows, the one in front most recently last.
    std::vector<org_kde_plasma_window*> handlesOf(const RunningApplication& app) const;
    void setState(const RunningApplication& app, std::uint32_t flags, std::uint32_t state);

    WaylandConnection& wayland_;
    org_kde_plasma_window_management* manager_ = nullptr;
    std::uint32_t version_ = 0;
    // By number, the order the compositor announced them in.
    std::map<std::uint32_t, std::unique_ptr<Window>> windows_;
    std::uint32_t nextNumber_ = 1;
    std::uint64_t activations_ = 0;
    DispatchedChanges changes_;
    ToplevelGroups groups_;
};
