// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "platform/Subscription.h"

class DockStore;
class LaunchAtLogin;
class QCheckBox;
class QLabel;

// The settings window's general page: why the docks cannot be saved (while they cannot),
// whether Moorline starts at login, what it is, and a way to quit it for a desktop without a
// tray. The switch always shows what the login item really
// is: read again after every change and whenever the page is shown.
class GeneralSettingsView final : public QWidget {
    Q_OBJECT
public:
    GeneralSettingsView(LaunchAtLogin& launchAtLogin, DockStore& store, QWidget* parent = nullptr);

    // Reads the login item again (other tools may change it).
    void reload();
    QCheckBox* launchAtLoginSwitch() const { return switch_; }
    QLabel* saveProblemLabel() const { return saveProblem_; }

Q_SIGNALS:
    void quitRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    LaunchAtLogin& launchAtLogin_;
    QCheckBox* switch_;
    QLabel* saveProblem_;
    Subscription saveProblemSubscription_;
};
