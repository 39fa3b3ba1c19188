// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Signal.h"
#include "platform/SystemStatistics.h"

// Answers what the test put in; counts the queries.
class FakeSystemStatistics final : public SystemStatistics {
public:
    std::optional<CpuTicks> cpuTicks() override {
        ++cpuReads;
        return ticks;
    }
    std::optional<VolumeCapacity> homeVolumeCapacity() override {
        ++diskReads;
        return capacity;
    }
    Subscription onVolumesChanged(std::function<void()> action) override {
        return volumesChanged.connect(std::move(action));
    }

    std::optional<CpuTicks> ticks;          // nothing: the read fails
    std::optional<VolumeCapacity> capacity; // nothing: the query fails
    int cpuReads = 0;
    int diskReads = 0;
    Signal<> volumesChanged; // emit() mounts something
};
