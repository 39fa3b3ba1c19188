#pragma once

#include "platform/LifetimeGuard.h"
#include "platform/Published.h"
#include "platform/Subscription.h"

#include <QtGlobal>

#include <cstdint>
#include <functional>
#include <optional>

class Scheduler;
class SystemStatistics;

// The one sampler behind the live docklets: the time every second, the CPU load over the last
// second, and the free space of the home volume every fifth second. It samples from creation to
// the end of the process.
class DockletRuntime final : public ObservableObject {
public:
    // Seconds since 2001-01-01 00:00:00 UTC.
    using WallClock = std::function<double()>;

    // Samples the disk and takes the CPU baseline at once, then starts the one-second timer.
    DockletRuntime(SystemStatistics& statistics, Scheduler& scheduler, WallClock wallClock = {});
    ~DockletRuntime() override;

    // The process-wide instance, made at its first use; never destroyed.
    static DockletRuntime& shared();
    // Names what the shared instance samples with. The application calls this at start-up,
    // before anything reads shared(); both must live as long as the process. Without it the
    // shared instance keeps the time only (the core cannot reach the platform on its own).
    static void setSharedPlatform(SystemStatistics& statistics, Scheduler& scheduler);

    // Read only for everyone but the runtime: the time of the last firing, the home volume's
    // available bytes, and the busy share (1.0 = all CPUs busy) of the last interval.
    Published<double> now;
    Published<qint64> diskFreeBytes{*this, 0};
    Published<double> cpuUsage{*this, 0.0};

    std::int64_t tick() const { return tick_; }

private:
    struct Ticks {
        double user = 0;
        double system = 0;
        double idle = 0;
    };

    void fire();
    void refreshDisk();
    void refreshCPU();

    SystemStatistics& statistics_;
    Scheduler& scheduler_;
    WallClock wallClock_;
    std::optional<Ticks> previousCPUTicks_;
    std::int64_t tick_ = 0;
    Subscription timer_;
    LifetimeGuard guard_;
};
