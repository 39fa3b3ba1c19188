#include "app/AppDelegate.h"

#include "app/Platform.h"
#include "runtime/DockletRuntime.h"
#include "runtime/HotKeyManager.h"
#include "runtime/RunningAppsMonitor.h"
#include "store/DockStore.h"
#include "views/MenuBarView.h"
#include "windows/DockWindowsEnvironment.h"
#include "windows/DockWindowsManager.h"

#include <QApplication>
#include <QStandardPaths>

namespace {
QString dataDirectory() {
    // $XDG_DATA_HOME (default ~/.local/share), then our own folder.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Moorline");
}
} // namespace

AppDelegate::AppDelegate() : platform_(std::make_unique<Platform>()) {
    store_ = std::make_unique<DockStore>(
        DockStore::Dependencies{platform_->fileSystem, platform_->scheduler,
                                platform_->defaultApplications, dataDirectory()});
    runningAppsMonitor_ = std::make_unique<RunningAppsMonitor>(
        platform_->runningApplications, platform_->workspace, platform_->scheduler);
    // The sampler itself starts with the first docklet view that asks for it.
    DockletRuntime::setSharedPlatform(platform_->systemStatistics, platform_->scheduler);
    menuBar_ = std::make_unique<MenuBarView>(*store_);
    connect(menuBar_.get(), &MenuBarView::preferencesRequested, this,
            &AppDelegate::showSettingsWindow);
    connect(menuBar_.get(), &MenuBarView::quitRequested, qApp, &QCoreApplication::quit,
            Qt::QueuedConnection);
    menuBar_->show();
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching() {
    if (windowsManager_)
        return;
    windowsEnvironment_ = std::make_unique<DockWindowsEnvironment>();
    windowsManager_ = std::make_unique<DockWindowsManager>(
        *store_, runningAppsMonitor_.get(),
        windowsEnvironment_->dependencies(platform_->scheduler, HotKeyManager::shared()));
}

void AppDelegate::showSettingsWindow() {}

void AppDelegate::flushPendingWork() {
    store_->flushPendingSave();
}
