// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Signal.h"
#include "platform/Trash.h"

#include <QObject>

typedef struct _GFileMonitor GFileMonitor;

// The freedesktop Trash through GIO: files go to the home trash or the per-volume one, with the
// original path percent-encoded in the .trashinfo file. Whether it holds anything, its watching
// (a GIO file monitor, which the kernel tells of changes) and its emptying concern the home
// trash, $XDG_DATA_HOME/Trash. Must outlive its observers.
class GioTrash final : public Trash {
public:
    // `folder`: the home trash; by default $XDG_DATA_HOME/Trash.
    explicit GioTrash(QString folder = {});
    ~GioTrash() override;

    bool moveToTrash(const QString& path) override;
    bool hasItems() const override;
    Subscription observe(std::function<void()> changed) override;
    void empty() override;

private:
    friend struct GioTrashMonitor;

    void startWatching();
    void stopWatching();
    void monitorReported();

    QString folder_;
    GFileMonitor* monitor_ = nullptr;
    // The monitor's reports of one pass of the event loop reach the observers once.
    bool reportPending_ = false;
    QObject context_;
    Signal<> changed_;
};
