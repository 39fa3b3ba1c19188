// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Scheduler.h"

#include <QElapsedTimer>
#include <QObject>

// The Scheduler on Qt's event loop: posted work through queued invocation, delays and
// intervals through QTimer.
class QtScheduler final : public Scheduler {
public:
    QtScheduler();
    ~QtScheduler() override;

    void post(Action action) override;
    Subscription schedule(Duration delay, Action action) override;
    Subscription repeat(Duration interval, Action action) override;
    TimePoint now() const override;

private:
    Subscription startTimer(Duration interval, bool singleShot, Action action);

    QObject context_;
    QElapsedTimer clock_;
};
