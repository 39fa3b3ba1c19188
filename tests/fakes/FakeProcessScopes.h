// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProcessScopes.h"

#include <QStringList>

// Records "PID DESKTOP-ID" for each process handed over.
class FakeProcessScopes final : public ProcessScopes {
public:
    void adopt(std::int32_t pid, const QString& desktopId) override {
        adopted << QString::number(pid) + u' ' + desktopId;
    }

    QStringList adopted;
};
