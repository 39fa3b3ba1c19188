// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/DockletRuntime.h"

#include "models/ReferenceDate.h"
#include "platform/Scheduler.h"
#include "platform/SystemStatistics.h"

#include <chrono>

namespace {

constexpr std::chrono::milliseconds samplingInterval{1000};
constexpr std::int64_t diskEveryNthTick = 5;

} // namespace

DockletRuntime::DockletRuntime(SystemStatistics& statistics, Scheduler& scheduler,
                               WallClock wallClock)
    : now(*this, wallClock ? wallClock() : ReferenceDate::now()), statistics_(statistics),
      scheduler_(scheduler),
      wallClock_(wallClock ? std::move(wallClock) : WallClock(&ReferenceDate::now)) {}

DockletRuntime::~DockletRuntime() = default;

Subscription DockletRuntime::keepSampling() {
    if (demand_++ == 0)
        start();
    return Subscription(guard_.guard([this] {
        if (--demand_ == 0)
            stop();
    }));
}

void DockletRuntime::start() {
    now.set(wallClock_());
    refreshDisk();
    refreshCPU();
    // The timer only hands the work to the main loop; a firing that runs after the runtime is
    // gone, or after sampling stopped, does nothing.
    timer_ = scheduler_.repeat(samplingInterval, guard_.guard([this] {
        scheduler_.post(guard_.guard([this] {
            if (demand_ > 0)
                fire();
        }));
    }));
}

void DockletRuntime::stop() {
    timer_.cancel();
    // The next start measures the CPU afresh rather than over the whole pause.
    previousCPUTicks_.reset();
}

void DockletRuntime::fire() {
    now.set(wallClock_());
    ++tick_;
    if (tick_ % diskEveryNthTick == 0)
        refreshDisk();
    refreshCPU();
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
