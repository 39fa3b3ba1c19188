// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backends/wayland/DispatchedChanges.h"
#include "backends/wayland/ToplevelGroups.h"
#include "platform/RunningApplicationsSource.h"

#include <cstdint>
#include <map>
#include <memory>

class WaylandConnection;
struct wl_seat;
struct zwlr_foreign_toplevel_handle_v1;
struct zwlr_foreign_toplevel_manager_v1;

// The running applications of a wlroots compositor (sway, Hyprland, wayfire, labwc), from
// zwlr_foreign_toplevel_manager_v1 on our own Wayland connection: every toplevel window of
// every client, grouped by ToplevelGroups. It wakes only when the compositor reports a change.
class WlrToplevels final : public RunningApplicationsSource {
public:
    // `wayland` outlives us.
    explicit WlrToplevels(WaylandConnection& wayland);
    ~WlrToplevels() override;
    WlrToplevels(const WlrToplevels&) = delete;
    WlrToplevels& operator=(const WlrToplevels&) = delete;

    Snapshot snapshot() override;
    Subscription onChange(std::function<void()> action) override;
    void activate(const RunningApplication& application) override;
    void activateWindow(std::uint32_t window) override;
    std::vector<std::uint32_t> windowsByRecency() override;
    void hide(const RunningApplication& application) override;
    void terminate(const RunningApplication& application) override;
    bool isAvailable() const override { return manager_ != nullptr; }

    // What one window says about itself; its changes apply at the compositor's "done".
    struct Toplevel {
        WlrToplevels* source = nullptr;
        zwlr_foreign_toplevel_handle_v1* handle = nullptr;
        std::uint32_t number = 0;
        QString title;
        QString appId;
        bool activated = false;
        bool minimized = false;
        // When it was last activated, to raise an application's windows in their order.
        std::uint64_t activatedAt = 0;
        bool pendingActivated = false;
        bool pendingMinimized = false;
    };

private:
    friend struct WlrToplevelListeners;
    void added(zwlr_foreign_toplevel_handle_v1* handle);
    void closed(Toplevel& toplevel);
    // The application's windows, the one in front most recently last.
    std::vector<zwlr_foreign_toplevel_handle_v1*> handlesOf(const RunningApplication& app) const;

    WaylandConnection& wayland_;
    zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
    wl_seat* seat_ = nullptr;
    // By number, the order the compositor announced them in.
    std::map<std::uint32_t, std::unique_ptr<Toplevel>> toplevels_;
    std::uint32_t nextNumber_ = 1;
    std::uint64_t activations_ = 0;
    DispatchedChanges changes_;
    ToplevelGroups groups_;
};
