// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/linux/LinuxSystemStatistics.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QSocketNotifier>
#include <QStorageInfo>

#include <fcntl.h>
#include <unistd.h>

LinuxSystemStatistics::LinuxSystemStatistics() = default;

LinuxSystemStatistics::~LinuxSystemStatistics() {
    *alive_ = false;
    stopWatchingMounts();
}

std::optional<CpuTicks> LinuxSystemStatistics::cpuTicks() {
    // /proc files have no size: read the first line as a stream.
    QFile file(QStringLiteral("/proc/stat"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseCpuLine(file.readLine(4096));
}

std::optional<VolumeCapacity> LinuxSystemStatistics::homeVolumeCapacity() {
    const QStorageInfo volume(QDir::homePath());
    if (!volume.isValid() || !volume.isReady())
        return std::nullopt;
    const qint64 available = volume.bytesAvailable();
    if (available < 0)
        return VolumeCapacity{};
    return VolumeCapacity{available};
}

std::optional<CpuTicks> LinuxSystemStatistics::parseCpuLine(const QByteArray& line) {
    // cpu  user nice system idle iowait irq softirq [steal guest guest_nice]
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() < 8 || fields[0] != "cpu")
        return std::nullopt;
    std::uint64_t values[7] = {};
    for (int i = 0; i < 7; ++i) {
        bool ok = false;
        values[i] = fields[i + 1].toULongLong(&ok);
        if (!ok)
            return std::nullopt;
    }
    const auto [user, nice, system, idle, iowait, irq, softirq] = values;
    // Interrupt time is busy time; waiting for I/O is idle time. Steal is neither: the host took
    // it, not us.
    return CpuTicks{user, system + irq + softirq, idle + iowait, nice};
}

Subscription LinuxSystemStatistics::onVolumesChanged(std::function<void()> action) {
    auto subscription = std::make_shared<Subscription>(volumesChanged_.connect(std::move(action)));
    if (mountsFd_ < 0)
        watchMounts();
    return Subscription([this, alive = std::weak_ptr(alive_), subscription] {
        subscription->cancel();
        if (alive.lock() && volumesChanged_.size() == 0)
            stopWatchingMounts();
    });
}

void LinuxSystemStatistics::watchMounts() {
    // Never read, only polled: the kernel reports a priority event on the open table after each
    // mount or unmount, once (the poll that reports it takes the mark away).
    mountsFd_ = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (mountsFd_ < 0)
        return;
    mountsNotifier_ = std::make_unique<QSocketNotifier>(mountsFd_, QSocketNotifier::Exception);
    QObject::connect(mountsNotifier_.get(), &QSocketNotifier::activated, mountsNotifier_.get(),
                     [this] { volumesChanged_.emit(); });
}

void LinuxSystemStatistics::stopWatchingMounts() {
    // The last listener may leave from within a call: the notifier goes once that is over.
    if (mountsNotifier_) {
        mountsNotifier_->setEnabled(false);
        mountsNotifier_.release()->deleteLater();
    }
    if (mountsFd_ >= 0)
        ::close(mountsFd_);
    mountsFd_ = -1;
}
