#include "runtime/DockletRuntime.h"

#include "models/ReferenceDate.h"
#include "platform/QtScheduler.h"
#include "platform/SystemStatistics.h"

#include <QLoggingCategory>

#include <chrono>

namespace {

Q_LOGGING_CATEGORY(lcDocklets, "moorline.docklets", QtCriticalMsg)

constexpr std::chrono::milliseconds samplingInterval{1000};
constexpr std::int64_t diskEveryNthTick = 5;

// What the shared runtime samples with when the application named nothing: every query fails,
// so the clock runs and the figures stay at zero.
class NoStatistics final : public SystemStatistics {
public:
    std::optional<CpuTicks> cpuTicks() override { return std::nullopt; }
    std::optional<VolumeCapacity> homeVolumeCapacity() override { return std::nullopt; }
};

SystemStatistics* sharedStatistics = nullptr;
Scheduler* sharedScheduler = nullptr;

} // namespace

DockletRuntime::DockletRuntime(SystemStatistics& statistics, Scheduler& scheduler,
                               WallClock wallClock)
    : now(*this, wallClock ? wallClock() : ReferenceDate::now()), statistics_(statistics),
      scheduler_(scheduler),
      wallClock_(wallClock ? std::move(wallClock) : WallClock(&ReferenceDate::now)) {
    refreshDisk();
    refreshCPU();
    // The timer only hands the work to the main loop; a firing that runs after the runtime is
    // gone does nothing.
    timer_ = scheduler_.repeat(samplingInterval, guard_.guard([this] {
        scheduler_.post(guard_.guard([this] { fire(); }));
    }));
}

DockletRuntime::~DockletRuntime() = default;

void DockletRuntime::setSharedPlatform(SystemStatistics& statistics, Scheduler& scheduler) {
    sharedStatistics = &statistics;
    sharedScheduler = &scheduler;
}

DockletRuntime& DockletRuntime::shared() {
    // Made once, on first use, and kept to the end of the process.
    static DockletRuntime* const instance = [] {
        if (!sharedStatistics)
            qCWarning(lcDocklets) << "no system statistics named before first use";
        static NoStatistics none;
        return new DockletRuntime(sharedStatistics ? *sharedStatistics : none,
                                  sharedScheduler ? *sharedScheduler : QtScheduler::shared());
    }();
    return *instance;
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
