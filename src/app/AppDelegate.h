#pragma once

#include <QObject>

#include <memory>

class DockStore;
class DockWindowsEnvironment;
class DockWindowsManager;
class MenuBarView;
class RunningAppsMonitor;
struct Platform;

// Makes the long-lived objects in order (the store first) and keeps them for the life of the
// program; opens the panels once start-up has finished.
class AppDelegate final : public QObject {
    Q_OBJECT
public:
    AppDelegate();
    ~AppDelegate() override;

    DockStore& store() const { return *store_; }
    MenuBarView& menuBar() const { return *menuBar_; }

    void applicationDidFinishLaunching();
    // A second launch, or "Preferences…".
    void showSettingsWindow();
    // Writes what is still waiting in the store's save delay (quit, signals, session end).
    void flushPendingWork();

private:
    // Members end in reverse order: the panels go before the store and the monitor they show,
    // and those before the platform they use.
    std::unique_ptr<Platform> platform_;
    std::unique_ptr<DockStore> store_;
    std::unique_ptr<RunningAppsMonitor> runningAppsMonitor_;
    std::unique_ptr<MenuBarView> menuBar_;
    std::unique_ptr<DockWindowsEnvironment> windowsEnvironment_;
    std::unique_ptr<DockWindowsManager> windowsManager_;
};
