// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtScheduler.h"

#include <QPointer>
#include <QTimer>

QtScheduler::QtScheduler() {
    clock_.start();
}

QtScheduler::~QtScheduler() = default;

void QtScheduler::post(Action action) {
    QMetaObject::invokeMethod(&context_, std::move(action), Qt::QueuedConnection);
}

Subscription QtScheduler::schedule(Duration delay, Action action) {
    return startTimer(delay, true, std::move(action));
}

Subscription QtScheduler::repeat(Duration interval, Action action) {
    return startTimer(interval, false, std::move(action));
}

Scheduler::TimePoint QtScheduler::now() const {
    return TimePoint(Duration(clock_.elapsed()));
}

Subscription QtScheduler::startTimer(Duration interval, bool singleShot, Action action) {
    auto* timer = new QTimer(&context_);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(singleShot);
    timer->setInterval(interval);
    QObject::connect(timer, &QTimer::timeout, timer,
                     [timer, singleShot, action = std::move(action)] {
                         // The action may drop its own handle, which deletes the timer later, never
                         // under us.
                         const auto keep = action;
                         if (singleShot)
                             timer->deleteLater();
                         keep();
                     });
    timer->start();
    QPointer<QTimer> weak(timer);
    return Subscription([weak] {
        if (weak) {
            weak->stop();
            weak->deleteLater();
        }
    });
}
