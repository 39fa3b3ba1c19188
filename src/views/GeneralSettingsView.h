// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class LaunchAtLogin;
class QCheckBox;

// The settings window's general page: whether Moorline starts at login, what it is, and a way
// to quit it for a desktop without a tray. The switch always shows what the login item really
// is: read again after every change and whenever the page is shown.
class GeneralSettingsView final : public QWidget {
    Q_OBJECT
public:
    explicit GeneralSettingsView(LaunchAtLogin& launchAtLogin, QWidget* parent = nullptr);

    // Reads the login item again (other tools may change it).
    void reload();
    QCheckBox* launchAtLoginSwitch() const { return switch_; }

Q_SIGNALS:
    void quitRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    LaunchAtLogin& launchAtLogin_;
    QCheckBox* switch_;
};
