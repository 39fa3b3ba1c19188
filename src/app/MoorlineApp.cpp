#include "app/MoorlineApp.h"

#include "app/AppDelegate.h"
#include "app/QuitSignals.h"
#include "app/SingleInstance.h"
#include "platform/WindowActivation.h"
#include "support/IconResolver.h"

#include <QApplication>
#include <QIcon>
#include <QStandardPaths>
#include <QTimer>

#include <cstdlib>

namespace {

// The delegate, reachable from the exit hook below.
AppDelegate* runningDelegate = nullptr;

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
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    SingleInstance instance(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    if (!instance.claim())
        return instance.signalRunningInstance(startupId, activationToken) ? EXIT_SUCCESS
                                                                          : EXIT_FAILURE;

    AppDelegate delegate;
    runningDelegate = &delegate;
    std::atexit(flushAtExit);
    QObject::connect(&instance, &SingleInstance::showSettingsRequested, &delegate,
                     [&delegate](const QByteArray& startupId, const QByteArray& activationToken) {
                         delegate.showSettingsWindow({startupId, activationToken});
                     });

    // The session manager asks before the session ends.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &delegate,
                     [&delegate](QSessionManager&) { delegate.flushPendingWork(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate,
                     &AppDelegate::flushPendingWork);

    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    const int status = QApplication::exec();
    delegate.flushPendingWork();
    runningDelegate = nullptr;
    return status;
}
