// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Autostart;
class SystemLog;

// The "start at login" switch: reads and changes this program's login item, and logs a refusal
// to the system log (the user is never shown an error).
class LaunchAtLogin {
public:
    LaunchAtLogin(Autostart& autostart, SystemLog& systemLog);

    bool isEnabled() const;
    // On: registers unless already enabled. Off: always unregisters.
    void setEnabled(bool enabled);

private:
    Autostart& autostart_;
    SystemLog& systemLog_;
};
