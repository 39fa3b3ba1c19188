// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LifetimeGuard.h"
#include "platform/Published.h"
#include "platform/Subscription.h"
#include "runtime/DockletFigures.h"

#include <QtGlobal>

#include <cstdint>
#include <functional>
#include <optional>

class Scheduler;
class SystemStatistics;

// The one sampler behind the live docklets: the time every second, the CPU load over the last
// second, and the free space of the home volume every fifth second. It samples only while some
// docklet on screen asks it to, so that a desktop without docklets has no timer at all.
class DockletRuntime final : public ObservableObject {
public:
    // Seconds since 2001-01-01 00:00:00 UTC.
    using WallClock = std::function<double()>;

    DockletRuntime(SystemStatistics& statistics, Scheduler& scheduler, WallClock wallClock = {});
    ~DockletRuntime() override;

    // Sampling runs while at least one handle is held. The first handle reads the time and the
    // disk and takes the CPU baseline at once, then starts the one-second timer; dropping the
    // last one stops the timer and keeps the last figures.
    [[nodiscard]] Subscription keepSampling();
    bool isSampling() const { return demand_ > 0; }

    // Read only for everyone but the runtime: the time of the last firing, the home volume's
    // available bytes, and the busy share (1.0 = all CPUs busy) of the last interval.
    Published<double, DockletRuntime> now;
    Published<qint64, DockletRuntime> diskFreeBytes{*this, 0};
    Published<double, DockletRuntime> cpuUsage{*this, 0.0};

    DockletFigures figures() const { return {*now, *diskFreeBytes, *cpuUsage}; }
    std::int64_t tick() const { return tick_; }

private:
    struct Ticks {
        double user = 0;
        double system = 0;
        double idle = 0;
    };

    void start();
    void stop();
    void fire();
    void refreshDisk();
    void refreshCPU();

    SystemStatistics& statistics_;
    Scheduler& scheduler_;
    WallClock wallClock_;
    std::optional<Ticks> previousCPUTicks_;
    std::int64_t tick_ = 0;
    int demand_ = 0;
    Subscription timer_;
    LifetimeGuard guard_;
};
