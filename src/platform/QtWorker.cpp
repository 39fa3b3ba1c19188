// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtWorker.h"

#include <memory>

QtWorker::QtWorker() {
    // One thread: work runs in the order given.
    pool_.setMaxThreadCount(1);
}

QtWorker::~QtWorker() {
    pool_.waitForDone();
}

Subscription QtWorker::run(Work work, Work done) {
    // Read and written on the main thread only.
    auto wanted = std::make_shared<bool>(true);
    pool_.start([this, wanted, work = std::move(work), done = std::move(done)]() mutable {
        work();
        QMetaObject::invokeMethod(
            &context_,
            [wanted, done = std::move(done)] {
                if (*wanted)
                    done();
            },
            Qt::QueuedConnection);
    });
    return Subscription([wanted] { *wanted = false; });
}

void QtWorker::waitForAll() {
    pool_.waitForDone();
}
