#pragma once

#include "platform/LoginItems.h"

// This program's login item as an XDG autostart entry, $XDG_CONFIG_HOME/autostart/moorline.desktop,
// which every freedesktop session starts at login.
class XdgAutostartLoginItems final : public LoginItems {
public:
    // The running binary, in the user's autostart folder.
    XdgAutostartLoginItems();
    XdgAutostartLoginItems(QString programPath, QString autostartDirectory);

    // Enabled: the entry exists, is neither hidden nor switched off, and its program exists.
    LoginItemStatus status() const override;
    // Writes the entry whole, replacing whatever was there (a hidden one included).
    std::optional<QString> registerMainApp() override;
    // Removes the entry file; there being none is success.
    std::optional<QString> unregisterMainApp() override;

    QString entryPath() const;
    // The Exec value for a program path, quoted as the Desktop Entry format asks (before the key
    // file's own escaping, which GLib adds on writing).
    static QString execLine(const QString& programPath);

private:
    QString programPath_;
    QString autostartDirectory_;
};
