// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Autostart.h"

#include <QStringList>

// A login item whose status the test sets; records the calls; fails them with `failure` when set.
class FakeAutostart final : public Autostart {
public:
    AutostartStatus status() const override { return currentStatus; }
    std::optional<QString> enable() override {
        calls.append(QStringLiteral("register"));
        if (!failure)
            currentStatus = AutostartStatus::enabled;
        return failure;
    }
    std::optional<QString> disable() override {
        calls.append(QStringLiteral("unregister"));
        if (!failure)
            currentStatus = AutostartStatus::notRegistered;
        return failure;
    }

    AutostartStatus currentStatus = AutostartStatus::notRegistered;
    std::optional<QString> failure;
    QStringList calls;
};
