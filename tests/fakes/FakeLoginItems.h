#pragma once

#include "platform/LoginItems.h"

#include <QStringList>

// A login item whose status the test sets; records the calls; fails them with `failure` when set.
class FakeLoginItems final : public LoginItems {
public:
    LoginItemStatus status() const override { return currentStatus; }
    std::optional<QString> registerMainApp() override {
        calls.append(QStringLiteral("register"));
        if (!failure)
            currentStatus = LoginItemStatus::enabled;
        return failure;
    }
    std::optional<QString> unregisterMainApp() override {
        calls.append(QStringLiteral("unregister"));
        if (!failure)
            currentStatus = LoginItemStatus::notRegistered;
        return failure;
    }

    LoginItemStatus currentStatus = LoginItemStatus::notRegistered;
    std::optional<QString> failure;
    QStringList calls;
};
