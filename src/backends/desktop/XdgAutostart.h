// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Autostart.h"

#include <QStringList>

// This program's login item as an XDG autostart entry, $XDG_CONFIG_HOME/autostart/moorline.desktop,
// which every freedesktop session starts at login.
class XdgAutostart final : public Autostart {
public:
    // The running binary and the process's PATH, in the user's autostart folder.
    XdgAutostart();
    // `searchPath`: the folders of PATH, where an installed copy is found as `moorline`.
    XdgAutostart(QString runningProgram, QString autostartDirectory, QStringList searchPath = {});

    // Enabled: the entry exists, is neither hidden nor switched off, and starts this very
    // program. An entry whose program is gone, or is another program, is not found.
    AutostartStatus status() const override;
    // Writes the entry whole, replacing whatever was there (a hidden one included).
    std::optional<QString> enable() override;
    // Removes the entry file; there being none is success.
    std::optional<QString> disable() override;

    QString entryPath() const;
    // The program the entry starts: `moorline` as PATH finds it when that is this very program
    // (installed), else the running binary (a build, or a copy outside PATH).
    QString programPath() const { return programPath_; }
    // The Exec value for a program path, quoted as the Desktop Entry format asks (before the key
    // file's own escaping, which GLib adds on writing).
    static QString execLine(const QString& programPath);

private:
    QString resolve(const QByteArray& program) const;

    QStringList searchPath_;
    QString programPath_;
    QString autostartDirectory_;
};
