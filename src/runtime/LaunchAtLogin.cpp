#include "runtime/LaunchAtLogin.h"

#include "platform/LoginItems.h"
#include "platform/SystemLog.h"

LaunchAtLogin::LaunchAtLogin(LoginItems& loginItems, SystemLog& systemLog)
    : loginItems_(loginItems), systemLog_(systemLog) {}

bool LaunchAtLogin::isEnabled() const {
    return loginItems_.status() == LoginItemStatus::enabled;
}

void LaunchAtLogin::setEnabled(bool enabled) {
    std::optional<QString> failure;
    if (enabled) {
        if (isEnabled())
            return;
        failure = loginItems_.registerMainApp();
    } else {
        // Whatever the status says: an entry the status does not count still goes.
        failure = loginItems_.unregisterMainApp();
    }
    if (failure)
        systemLog_.write(QStringLiteral("LaunchAtLogin: failed to update registration: ") +
                         *failure);
}
