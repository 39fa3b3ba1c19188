// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "views/PreferencesView.h"

#include <QWidget>

class WindowActivation;
class WindowHints;
struct LaunchToken;

// The settings window: an ordinary top-level window holding the docks' list and editor and the
// general page. Made on first use; "Preferences…", a second launch and a start without a tray
// bring it forward, centred on the screen with the pointer and wholly on it. While it is the
// active window it stays above the docks (which float above ordinary windows). Escape and Ctrl+W
// close it, Ctrl+Q quits.
class SettingsWindow final : public QWidget {
    Q_OBJECT
public:
    // `activation` brings the window forward for a launch that asked for it; `hints` lift it
    // above the docks while it is active.
    SettingsWindow(const PreferencesView::Services& services, WindowActivation& activation,
                   WindowHints& hints, QWidget* parent = nullptr);
    ~SettingsWindow() override;

    // Shows, raises and activates the window; `token` is the launch's, when a launch asked.
    void present(const LaunchToken& token);
    PreferencesView& preferences() const { return *preferences_; }
    // Where a window of `size` opens on a screen with that available area: centred, and wholly
    // on it (smaller when it must be).
    static QRect placement(const QSize& size, const QRect& available);

Q_SIGNALS:
    void quitRequested();

protected:
    void changeEvent(QEvent* event) override;

private:
    void placeOnPointersScreen();

    WindowActivation& activation_;
    WindowHints& hints_;
    PreferencesView* preferences_;
};
