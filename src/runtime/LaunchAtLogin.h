#pragma once

class LoginItems;
class SystemLog;

// The "start at login" switch: reads and changes this program's login item, and logs a refusal
// to the system log (the user is never shown an error).
class LaunchAtLogin {
public:
    LaunchAtLogin(LoginItems& loginItems, SystemLog& systemLog);

    bool isEnabled() const;
    // On: registers unless already enabled. Off: always unregisters.
    void setEnabled(bool enabled);

private:
    LoginItems& loginItems_;
    SystemLog& systemLog_;
};
