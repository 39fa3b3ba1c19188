// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/DockletRuntime.h"

#include "platform/Scheduler.h"
#include "platform/SystemStatistics.h"
#include "platform/WallClock.h"

#include <bit>
#include <chrono>

namespace {

constexpr std::chrono::milliseconds cpuInterval{1000};
constexpr std::chrono::milliseconds diskInterval{30'000};
constexpr DockletRuntime::Figure allFigures[] = {DockletRuntime::time, DockletRuntime::diskSpace,
                                                 DockletRuntime::cpuLoad};

} // namespace

DockletRuntime::DockletRuntime(SystemStatistics& statistics, Scheduler& scheduler, WallClock& clock)
    : now(*this, clock.now()), statistics_(statistics), scheduler_(scheduler), clock_(clock) {}

DockletRuntime::~DockletRuntime() = default;

std::size_t DockletRuntime::slot(Figure figure) {
    return std::size_t(std::countr_zero(unsigned(figure)));
}

Subscription DockletRuntime::keepSampling(Figures figures) {
    for (const Figure figure : allFigures)
        if ((figures & figure) && demand_[slot(figure)]++ == 0)
            start(figure);
    return Subscription(guard_.guard([this, figures] {
        for (const Figure figure : allFigures)
            if ((figures & figure) && --demand_[slot(figure)] == 0)
                stop(figure);
    }));
}

void DockletRuntime::start(Figure figure) {
    // A cadence only hands the work to the main loop; work that runs after the runtime is gone,
    // or after sampling stopped, does nothing.
    const auto later = [this, figure](void (DockletRuntime::*sample)()) {
        return guard_.guard([this, figure, sample] {
            scheduler_.post(guard_.guard([this, figure, sample] {
                if (isSampling(figure))
                    (this->*sample)();
            }));
        });
    };
    auto& cadence = cadence_[slot(figure)];
    switch (figure) {
    case time:
        refreshTime();
        cadence[0] = clock_.onMinuteChange(later(&DockletRuntime::refreshTime));
        break;
    case diskSpace:
        refreshDisk();
        cadence[0] = scheduler_.repeat(diskInterval, later(&DockletRuntime::refreshDisk));
        cadence[1] = statistics_.onVolumesChanged(later(&DockletRuntime::refreshDisk));
        break;
    case cpuLoad:
        refreshCPU();
        cadence[0] = scheduler_.repeat(cpuInterval, later(&DockletRuntime::refreshCPU));
        break;
    }
}

void DockletRuntime::stop(Figure figure) {
    for (Subscription& subscription : cadence_[slot(figure)])
        subscription.cancel();
    // The next start measures the CPU afresh rather than over the whole pause.
    if (figure == cpuLoad)
        previousCPUTicks_.reset();
}

void DockletRuntime::refreshTime() {
    now.set(clock_.now());
}

void DockletRuntime::refreshDisk() {
    const auto capacity = statistics_.homeVolumeCapacity();
    if (!capacity)
        return;
    diskFreeBytes.set(capacity->availableBytes.value_or(0));
}

void DockletRuntime::refreshCPU() {
    const auto counters = statistics_.cpuTicks();
    if (!counters)
        return;
    // Nice time counts neither as busy nor in the total.
    const Ticks ticks{static_cast<double>(counters->user), static_cast<double>(counters->system),
                      static_cast<double>(counters->idle)};
    if (previousCPUTicks_) {
        const double busy =
            (ticks.user - previousCPUTicks_->user) + (ticks.system - previousCPUTicks_->system);
        const double total = busy + (ticks.idle - previousCPUTicks_->idle);
        if (total > 0)
            cpuUsage.set(busy / total);
    }
    previousCPUTicks_ = ticks;
}
