// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDelegate.h"

#include "app/FirstFrame.h"
#include "app/Platform.h"
#include "platform/WindowActivation.h"
#include "runtime/ApplicationLauncher.h"
#include "runtime/BadgeModel.h"
#include "runtime/DockletRuntime.h"
#include "runtime/HotKeyManager.h"
#include "runtime/LaunchAtLogin.h"
#include "runtime/RunningAppsMonitor.h"
#include "store/DockStore.h"
#include "support/DockLookup.h"
#include "support/IconCache.h"
#include "views/DockItemActions.h"
#include "views/LaunchConfirmationDialog.h"
#include "views/OwnPopups.h"
#include "views/SettingsWindow.h"
#include "views/TrayMenu.h"
#include "windows/DockPanelWindowFactory.h"
#include "windows/DockWindowsManager.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QIcon>
#include <QStandardPaths>
#include <QSystemTrayIcon>

using namespace std::chrono_literals;

namespace {

// How long a panel the window manager never exposes may keep the tray from coming.
constexpr auto firstFramePatience = 3s;

} // namespace

QString AppDelegate::dataDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Moorline");
}

AppDelegate::AppDelegate(const SessionChoice& session, WaylandConnection* wayland,
                         DockFileRead* docksFile)
    : platform_(std::make_unique<Platform>(session, wayland)) {
    Platform& p = *platform_;
    // Every panel draws text, and the first use of a font reads the fontconfig setup and the
    // list of fonts: some milliseconds that the first frame needs anyway. Spent before the docks
    // are waited for, they overlap the worker's decoding of a large docks.json.
    QFontMetricsF(QApplication::font()).height();
    // The trash docklet reads whether the trash holds anything for its first frame; watching it
    // for changes waits until that frame is on screen.
    p.trash.holdWatch();
    // The local file system holds no state: the worker writes the saves through it.
    store_ = std::make_unique<DockStore>(DockStore::Dependencies{
        p.fileSystem, p.scheduler, p.defaultApplications, dataDirectory(), docksFile, &p.worker});
    // This process holds the instance lock (taken before we are made), and the store writes only
    // on a later pass: a temporary file beside docks.json is what a kill during a save left.
    p.fileSystem.removeInterruptedWrites(store_->filePath());
    runningAppsMonitor_ =
        std::make_unique<RunningAppsMonitor>(*p.runningApplications, p.desktop, p.scheduler);
    hotKeyManager_ = std::make_unique<HotKeyManager>(*p.hotKeyBackend, p.scheduler);
    // Samples only while a docklet on screen asks it to.
    dockletRuntime_ =
        std::make_unique<DockletRuntime>(p.systemStatistics, p.scheduler, p.wallClock);
    iconCache_ = std::make_unique<IconCache>(p.cacheFiles);
    launchConfirmation_ = std::make_unique<LaunchConfirmationDialog>();
    launchAtLogin_ = std::make_unique<LaunchAtLogin>(p.autostart, p.systemLog);
    launcher_ = std::make_unique<ApplicationLauncher>(ApplicationLauncher::Dependencies{
        p.desktop, *launchConfirmation_, *runningAppsMonitor_, *p.runningApplications,
        p.launchFeedback, p.scopes, p.scheduler});
    badges_ = std::make_unique<BadgeModel>(p.badgeUpdates, p.scheduler);
    itemActions_ = std::make_unique<DockItemActions>(
        DockItemActions::Services{*store_, p.desktop, p.clipboard, *launcher_, p.imageChooser,
                                  p.fileSystem, p.trash, p.defaultApplications});
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::start() {
    if (windowsManager_)
        return;
    Platform& p = *platform_;
    panelFactory_ = std::make_unique<DockPanelWindowFactory>(
        *p.windowHints,
        DockContentView::Services{*store_, p.scheduler, *runningAppsMonitor_, p.fileSystem,
                                  p.fileIcons, *iconCache_, *dockletRuntime_, *itemActions_,
                                  *launcher_, *badges_, p.trash});
    windowsManager_ = std::make_unique<DockWindowsManager>(
        DockWindowDependencies{*store_, *hotKeyManager_, p.scheduler, *panelFactory_, p.screens,
                               *p.pointerMonitor, &OwnPopups::isOpen});
    firstFrame_ =
        std::make_unique<FirstFrame>([this] { startAfterFirstFrame(); }, firstFramePatience);
}

void AppDelegate::startAfterFirstFrame() {
    // The items of large tabs past what the first frame showed.
    store_->finishLoading();
    // For the windows that show it (the settings window, dialogs); the panels have their own.
    // Drawn from its SVG, it is no part of the first frame.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/moorline/moorline.svg")));
    // The tray's menu looks its icon up in the theme (the first lookup reads the theme's whole
    // index), and the tray asks the session bus and the X server who shows icons.
    trayMenu_ = std::make_unique<TrayMenu>(*store_, platform_->scheduler, platform_->notifications);
    connect(trayMenu_.get(), &TrayMenu::preferencesRequested, this,
            [this] { showSettingsWindow({}); });
    connect(trayMenu_.get(), &TrayMenu::quitRequested, this, &AppDelegate::quitRequested);
    trayMenu_->show();
    // Without a tray host the icon never shows, and the settings window is the only way in.
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        showSettingsWindow({});
    // Every window's properties, and every desktop entry installed to match them with.
    runningAppsMonitor_->start();
    // Counts and progress that programs report over the session bus.
    platform_->badgeUpdates.listen();
    // The trash docklets' changes, and any made meanwhile.
    platform_->trash.releaseWatch();
    // The icons drawn from the cache are made again now, and the cache brought up to date.
    iconCache_->startChecking();
}

void AppDelegate::showSettingsWindow(const LaunchToken& token) {
    if (!settingsWindow_) {
        Platform& p = *platform_;
        settingsWindow_ = std::make_unique<SettingsWindow>(
            PreferencesView::Services{*store_, p.scheduler, *hotKeyManager_, p.keyCodes,
                                      *launchAtLogin_, p.fileSystem, p.defaultApplications,
                                      p.fileIcons, p.pathChooser},
            *p.windowActivation, *p.windowHints);
        // Leaves the event loop as the tray's Quit does: QCoreApplication::quit() would close
        // every panel one by one first.
        connect(
            settingsWindow_.get(), &SettingsWindow::quitRequested, qApp,
            [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    }
    settingsWindow_->present(token);
}

bool AppDelegate::toggleDock(const QString& nameOrId) {
    const std::optional<QUuid> dockId = DockLookup::find(*store_->docks, nameOrId);
    if (!dockId)
        return false;
    // As the dock's hot key does: shown, it takes the keyboard.
    if (DockWindowController* controller =
            windowsManager_ ? windowsManager_->controller(*dockId) : nullptr)
        controller->toggleVisibility(0);
    else if (const Dock* dock = store_->dock(*dockId))
        store_->setVisible(*dockId, !dock->isVisible);
    return true;
}

void AppDelegate::flushPendingWork() {
    // A move still in its delay becomes a store change first, so that the store's save holds it.
    if (windowsManager_)
        windowsManager_->flushPendingFrameSaves();
    store_->flushPendingSave();
}
