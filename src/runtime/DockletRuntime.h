// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LifetimeGuard.h"
#include "platform/Published.h"
#include "platform/Subscription.h"
#include "runtime/DockletFigures.h"

#include <QtGlobal>

#include <array>
#include <cstdint>
#include <optional>

class Scheduler;
class SystemStatistics;
class WallClock;

// The one sampler behind the live docklets: the time, the free space of the home volume and the
// CPU load over the last second. Each figure is sampled only while a docklet on screen shows it,
// and only when it can change: the time at each new minute (the clock shows minutes), the disk
// every 30 seconds and at each mount, the load every second. A desktop without docklets has no
// timer at all, and one with a clock and a disk figure wakes the program three times a minute.
class DockletRuntime final : public ObservableObject {
public:
    // What a docklet shows.
    enum Figure : unsigned { time = 1, diskSpace = 2, cpuLoad = 4 };
    using Figures = unsigned;

    DockletRuntime(SystemStatistics& statistics, Scheduler& scheduler, WallClock& clock);
    ~DockletRuntime() override;

    // The figures are sampled while at least one handle asks for them. The first handle of a
    // figure samples it at once (the load: its baseline) and starts its cadence; dropping the
    // last one stops it and keeps the last value.
    [[nodiscard]] Subscription keepSampling(Figures figures);
    bool isSampling(Figure figure) const { return demand_[slot(figure)] > 0; }

    // Read only for everyone but the runtime: the time of the last sample, the home volume's
    // available bytes, and the busy share (1.0 = all CPUs busy) of the last interval.
    Published<double, DockletRuntime> now;
    Published<qint64, DockletRuntime> diskFreeBytes{*this, 0};
    Published<double, DockletRuntime> cpuUsage{*this, 0.0};

    DockletFigures figures() const { return {*now, *diskFreeBytes, *cpuUsage}; }

private:
    struct Ticks {
        double user = 0;
        double system = 0;
        double idle = 0;
    };

    static std::size_t slot(Figure figure);
    void start(Figure figure);
    void stop(Figure figure);
    void refreshTime();
    void refreshDisk();
    void refreshCPU();

    SystemStatistics& statistics_;
    Scheduler& scheduler_;
    WallClock& clock_;
    std::optional<Ticks> previousCPUTicks_;
    std::array<int, 3> demand_{};
    std::array<std::array<Subscription, 2>, 3> cadence_;
    LifetimeGuard guard_;
};
