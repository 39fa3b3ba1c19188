// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Worker.h"

#include <QObject>
#include <QThreadPool>

// The Worker on a thread of its own from a Qt thread pool, answering through queued invocation.
// The thread ends after a while without work: an idle program keeps no thread waking up.
class QtWorker final : public Worker {
public:
    QtWorker();
    ~QtWorker() override;

    Subscription run(Work work, Work done) override;
    void waitForAll() override;

private:
    // Ends after the pool, which waits for the work still running: its answer finds no one.
    QObject context_;
    QThreadPool pool_;
};
