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

    // Until releaseWatch(), observers are kept but the trash is not watched yet: the first GIO
    // file monitor starts GIO's worker thread and, where gvfs is installed, talks to its daemon
    // over the session bus, none of which the first frame needs (hasItems() reads the folder).
    void holdWatch() { watchHeld_ = true; }
    // Watches from now on, if anyone observes, and tells the observers once, for whatever
    // changed while the watch was held.
    void releaseWatch();

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
    bool watchHeld_ = false;
    QObject context_;
    Signal<> changed_;
};
