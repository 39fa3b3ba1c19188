// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <memory>

class ApplicationLauncher;
class BadgeModel;
class DockFileRead;
class DockItemActions;
class DockletRuntime;
class DockPanelWindowFactory;
class FirstFrame;
class DockStore;
class DockWindowsManager;
class HotKeyManager;
class IconCache;
class LaunchConfirmationDialog;
class LaunchAtLogin;
class TrayMenu;
class RunningAppsMonitor;
class SettingsWindow;
struct LaunchToken;
struct Platform;
struct SessionChoice;
class WaylandConnection;

// The one place that makes the program's objects: the platform's real implementations, then in
// order the store, the running-applications monitor, the hot key manager and the docklet
// sampler; it opens the panels once start-up has finished, then, once they are drawn, what the
// first frame does not need (the tray, the running applications), and keeps everything for the
// life of the program.
class AppDelegate final : public QObject {
    Q_OBJECT
public:
    // `wayland`, our own connection to the compositor (null without one), outlives us.
    // `docksFile`: docks.json already being read (see dataDirectory()), or null.
    AppDelegate(const SessionChoice& session, WaylandConnection* wayland,
                DockFileRead* docksFile = nullptr);
    ~AppDelegate() override;

    // $XDG_DATA_HOME/Moorline (default ~/.local/share/Moorline), where docks.json is.
    static QString dataDirectory();

    DockStore& store() const { return *store_; }

    // Opens the panels; once they are drawn, the tray (with no tray to reach the program
    // through, the settings window instead) and the running applications.
    void start();
    // "Preferences…", or a second launch with its launcher's token. Made on first use.
    void showSettingsWindow(const LaunchToken& token);
    // Shows or hides the dock with that name or id ("moorline --toggle"); false when there is
    // no such dock.
    bool toggleDock(const QString& nameOrId);
    // Writes what is still waiting to be saved: the panels' moves, then the store (quit,
    // signals, session end).
    void flushPendingWork();

Q_SIGNALS:
    // "Quit Moorline" in the tray menu.
    void quitRequested();

private:
    void startAfterFirstFrame();

    // Members end in reverse order: the panels go before the services they show, and those
    // before the platform they use.
    std::unique_ptr<Platform> platform_;
    std::unique_ptr<DockStore> store_;
    std::unique_ptr<RunningAppsMonitor> runningAppsMonitor_;
    std::unique_ptr<HotKeyManager> hotKeyManager_;
    std::unique_ptr<DockletRuntime> dockletRuntime_;
    std::unique_ptr<IconCache> iconCache_;
    // Ends before the desktop it answers into; its open questions close unanswered.
    std::unique_ptr<LaunchConfirmationDialog> launchConfirmation_;
    std::unique_ptr<ApplicationLauncher> launcher_;
    std::unique_ptr<BadgeModel> badges_;
    std::unique_ptr<LaunchAtLogin> launchAtLogin_;
    std::unique_ptr<DockItemActions> itemActions_;
    std::unique_ptr<TrayMenu> trayMenu_;
    std::unique_ptr<DockPanelWindowFactory> panelFactory_;
    std::unique_ptr<DockWindowsManager> windowsManager_;
    std::unique_ptr<SettingsWindow> settingsWindow_;
    std::unique_ptr<FirstFrame> firstFrame_;
};
