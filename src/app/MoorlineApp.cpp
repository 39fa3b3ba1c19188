// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MoorlineApp.h"

#include "app/AppDelegate.h"
#include "app/QuitSignals.h"
#include "app/SingleInstance.h"
#include "backends/linux/LocalFileSystem.h"
#include "platform/WindowActivation.h"
#include "store/DockFileRead.h"
#include "support/IconResolver.h"

#include <QApplication>
#include <QIcon>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// The delegate, reachable from the exit hook below.
AppDelegate* runningDelegate = nullptr;

// Leaves the event loop without QCoreApplication::quit(), which first closes every window one by
// one (each close scans every top-level window again, so thousands of panels took seconds), and
// whose unmaps come back from the window manager as moves of the panels.
void exitEventLoop() {
    QCoreApplication::exit(0);
}

// Ends the process once everything is written. The X server frees every window, grab and
// selection of a client at once when its connection closes; tearing down thousands of panels one
// by one first (each its window and its shared-memory image) kept the user waiting for seconds.
// Only what outlives the process is cleaned up: the instance lock and socket.
[[noreturn]] void endProcess(int status, std::unique_ptr<SingleInstance> instance) {
    instance.reset();
    std::fflush(nullptr);
    std::_Exit(status);
}

extern "C" void flushAtExit() {
    // Qt ends the process with exit() when the X connection breaks at the end of the session;
    // the event loop never returns then, so this is the last chance to write a pending save.
    if (runningDelegate)
        runningDelegate->flushPendingWork();
}

} // namespace

int MoorlineApp::run(int argc, char** argv) {
    // Read before Qt takes the startup id out of the environment: a second launch hands both on
    // to the running instance, whose window the launch is really for.
    const QByteArray startupId = qgetenv("DESKTOP_STARTUP_ID");
    const QByteArray activationToken = qgetenv("XDG_ACTIVATION_TOKEN");
    // A token is good for one activation: the programs the docks start must not inherit it.
    qunsetenv("XDG_ACTIVATION_TOKEN");
    // The docks are decoded on a worker while the application object, the instance lock and
    // the platform are made: a tray of thousands of clippings takes a while to read.
    const QString docksPath = AppDelegate::dataDirectory() + QStringLiteral("/docks.json");
    DockFileRead docksFile(docksPath, [docksPath] { return LocalFileSystem().readAll(docksPath); });
    QApplication::setApplicationName(QStringLiteral("moorline"));
    QApplication::setApplicationDisplayName(QStringLiteral("Moorline"));
    QApplication::setDesktopFileName(QStringLiteral(MOORLINE_APP_ID));
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // Before any icon is looked up: Qt caches theme lookups.
    IconResolver::prepareIconTheme();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/moorline/moorline.svg")));

    // From here on a termination signal ends the event loop in order (once it runs) instead of
    // killing the process with a save still waiting.
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &app, exitEventLoop,
                     Qt::QueuedConnection);

    auto instance = std::make_unique<SingleInstance>(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    if (!instance->claim())
        return instance->signalRunningInstance(startupId, activationToken) ? EXIT_SUCCESS
                                                                           : EXIT_FAILURE;

    AppDelegate delegate(&docksFile);
    runningDelegate = &delegate;
    std::atexit(flushAtExit);
    QObject::connect(instance.get(), &SingleInstance::showSettingsRequested, &delegate,
                     [&delegate](const QByteArray& startupId, const QByteArray& activationToken) {
                         delegate.showSettingsWindow({startupId, activationToken});
                     });
    QObject::connect(&delegate, &AppDelegate::quitRequested, &app, exitEventLoop,
                     Qt::QueuedConnection);

    // The session manager asks before the session ends.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &delegate,
                     [&delegate](QSessionManager&) { delegate.flushPendingWork(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate,
                     &AppDelegate::flushPendingWork);

    QTimer::singleShot(0, &delegate, &AppDelegate::start);
    const int status = QApplication::exec();
    delegate.flushPendingWork();
    runningDelegate = nullptr;
    endProcess(status, std::move(instance));
}
