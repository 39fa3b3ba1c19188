// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Signal.h"
#include "platform/SystemStatistics.h"

#include <QString>

#include <memory>

class QSocketNotifier;

// CPU ticks from /proc/stat, free space at home from statvfs (through QStorageInfo), and mounts
// from the kernel's mount table, which wakes a poll on it at each change.
class LinuxSystemStatistics final : public SystemStatistics {
public:
    LinuxSystemStatistics();
    ~LinuxSystemStatistics() override;

    std::optional<CpuTicks> cpuTicks() override;
    std::optional<VolumeCapacity> homeVolumeCapacity() override;
    Subscription onVolumesChanged(std::function<void()> action) override;

    // The host-wide "cpu" line of /proc/stat, folded into four counters; nothing when the line
    // is not one.
    static std::optional<CpuTicks> parseCpuLine(const QByteArray& line);

private:
    void watchMounts();
    void stopWatchingMounts();

    Signal<> volumesChanged_;
    int mountsFd_ = -1;
    std::unique_ptr<QSocketNotifier> mountsNotifier_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
