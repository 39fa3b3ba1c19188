// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/LaunchAtLogin.h"

#include "platform/Autostart.h"
#include "platform/SystemLog.h"

LaunchAtLogin::LaunchAtLogin(Autostart& autostart, SystemLog& systemLog)
    : autostart_(autostart), systemLog_(systemLog) {}

bool LaunchAtLogin::isEnabled() const {
    return autostart_.status() == AutostartStatus::enabled;
}

void LaunchAtLogin::setEnabled(bool enabled) {
    std::optional<QString> failure;
    if (enabled) {
        if (isEnabled())
            return;
        failure = autostart_.enable();
    } else {
        // Whatever the status says: an entry the status does not count still goes.
        failure = autostart_.disable();
    }
    if (failure)
        systemLog_.write(QStringLiteral("LaunchAtLogin: failed to update registration: ") +
                         *failure);
}
