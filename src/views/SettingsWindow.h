// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "views/PreferencesView.h"

#include <QWidget>

class WindowActivation;
struct LaunchToken;

// The settings window: an ordinary top-level window holding the docks' list and editor and the
// general page. Made on first use; "Preferences…", a second launch and a start without a tray
// bring it forward. Ctrl+W closes it, Ctrl+Q quits.
class SettingsWindow final : public QWidget {
    Q_OBJECT
public:
    // `activation` brings the window forward for a launch that asked for it.
    SettingsWindow(const PreferencesView::Services& services, WindowActivation& activation,
                   QWidget* parent = nullptr);
    ~SettingsWindow() override;

    // Shows, raises and activates the window; `token` is the launch's, when a launch asked.
    void present(const LaunchToken& token);
    PreferencesView& preferences() const { return *preferences_; }

Q_SIGNALS:
    void quitRequested();

private:
    WindowActivation& activation_;
    PreferencesView* preferences_;
};
