// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SystemStatistics.h"

#include <QString>

// CPU ticks from /proc/stat and free space at home from statvfs (through QStorageInfo).
class LinuxSystemStatistics final : public SystemStatistics {
public:
    std::optional<CpuTicks> cpuTicks() override;
    std::optional<VolumeCapacity> homeVolumeCapacity() override;

    // The host-wide "cpu" line of /proc/stat, folded into four counters; nothing when the line
    // is not one.
    static std::optional<CpuTicks> parseCpuLine(const QByteArray& line);
};
