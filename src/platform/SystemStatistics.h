// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Subscription.h"

#include <QtGlobal>

#include <cstdint>
#include <functional>
#include <optional>

// Cumulative CPU time of the whole host, in clock ticks since boot.
struct CpuTicks {
    std::uint64_t user = 0;
    std::uint64_t system = 0;
    std::uint64_t idle = 0;
    std::uint64_t nice = 0;

    bool operator==(const CpuTicks&) const = default;
};

// The answer of a volume-capacity query that succeeded; the volume may still not know the figure.
struct VolumeCapacity {
    std::optional<qint64> availableBytes;

    bool operator==(const VolumeCapacity&) const = default;
};

// What the docklet sampler reads from the host: CPU tick counters and free space at home, and
// when the volumes may have changed.
class SystemStatistics {
public:
    virtual ~SystemStatistics() = default;

    // The host's cumulative CPU ticks, or nothing when they cannot be read.
    virtual std::optional<CpuTicks> cpuTicks() = 0;
    // Space available to the user on the volume that holds the home directory, or nothing when
    // the query fails.
    virtual std::optional<VolumeCapacity> homeVolumeCapacity() = 0;
    // Calls `action` after a file system is mounted or unmounted, while the handle is held.
    [[nodiscard]] virtual Subscription onVolumesChanged(std::function<void()> action) = 0;
};
