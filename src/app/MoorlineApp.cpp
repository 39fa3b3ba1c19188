// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MoorlineApp.h"

#include "app/AppDelegate.h"
#include "app/CommandLine.h"
#include "app/QuitSignals.h"
#include "app/SessionProbe.h"
#include "app/SingleInstance.h"
#include "backends/desktop/DesktopServicesLog.h"
#include "backends/desktop/FreedesktopNotifications.h"
#include "backends/desktop/SessionBusProbe.h"
#include "backends/linux/LocalFileSystem.h"
#include "backends/wayland/WaylandConnection.h"
#include "platform/WindowActivation.h"
#include "store/DockFileRead.h"
#include "support/IconResolver.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

Q_LOGGING_CATEGORY(lcSession, "moorline.session", QtInfoMsg)

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

// A session bus that is stopped or hung holds every D-Bus call of Qt and GIO for 25 s, Qt's
// tray icon alone several times at start: asked first, with a deadline, such a bus is taken for
// none, before anything connects to it. Reveals then open the folder, notices need a tray.
void leaveAHungSessionBusAlone() {
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty() || SessionBusProbe::answers(address, std::chrono::milliseconds(500)))
        return;
    qCWarning(lcDesktopServices) << "the session bus does not answer; going on without it";
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

// Said where a user starting us from a terminal or from the desktop's menu sees it.
void tellWhyNotStarting(const QString& problem) {
    std::fprintf(stderr, "moorline: not starting: %s\n", qPrintable(problem));
    FreedesktopNotifications().notifyAndWait(
        QCoreApplication::translate("MoorlineApp", "Moorline cannot start"), problem,
        std::chrono::seconds(2));
}

extern "C" void flushAtExit() {
    // Qt ends the process with exit() when the X connection breaks at the end of the session;
    // the event loop never returns then, so this is the last chance to write a pending save.
    if (runningDelegate)
        runningDelegate->flushPendingWork();
}

// "moorline --toggle DOCK": shows or hides a dock of the running instance and leaves at once,
// without a display connection (a compositor binding runs it on every key press).
int toggleDock(int argc, char** argv, const QString& nameOrId) {
    QCoreApplication::setApplicationName(QStringLiteral("moorline"));
    QCoreApplication app(argc, argv);
    SingleInstance instance(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    const auto say = [](const QString& text) {
        std::fprintf(stderr, "moorline: %s\n", qPrintable(text));
    };
    switch (instance.toggleInRunningInstance(nameOrId)) {
    case SingleInstance::ToggleResult::toggled:
        return EXIT_SUCCESS;
    case SingleInstance::ToggleResult::unknownDock:
        say(QCoreApplication::translate("MoorlineApp",
                                        "no dock is named \u201c%1\u201d, nor has that id")
                .arg(nameOrId));
        return EXIT_FAILURE;
    case SingleInstance::ToggleResult::notRunning:
        break;
    }
    say(QCoreApplication::translate("MoorlineApp", "Moorline is not running"));
    return EXIT_FAILURE;
}

} // namespace

int MoorlineApp::run(int argc, char** argv) {
    // Before anything needs a display or reaches a running instance.
    QStringList given;
    for (int i = 0; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine = CommandLine::parse(given);
    switch (commandLine.action()) {
    case CommandLine::Action::run:
        break;
    case CommandLine::Action::toggle:
        return toggleDock(argc, argv, commandLine.dock());
    case CommandLine::Action::help:
    case CommandLine::Action::version:
    case CommandLine::Action::usageError:
        return commandLine.answer();
    }
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
    leaveAHungSessionBusAlone();
    QApplication::setApplicationName(QStringLiteral("moorline"));
    QApplication::setApplicationDisplayName(QStringLiteral("Moorline"));
    QApplication::setDesktopFileName(QStringLiteral(MOORLINE_APP_ID));
    // Before the application object: the session decides the Qt platform.
    SessionProbe session(argc, argv);
    std::vector<char*> arguments = session.arguments();
    int argumentCount = int(arguments.size()) - 1;
    QApplication app(argumentCount, arguments.data());
    QApplication::setQuitOnLastWindowClosed(false);
    // Before any icon is looked up: Qt caches theme lookups.
    IconResolver::prepareIconTheme();

    // From here on a termination signal ends the event loop in order (once it runs) instead of
    // killing the process with a save still waiting.
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &app, exitEventLoop,
                     Qt::QueuedConnection);

    auto instance = std::make_unique<SingleInstance>(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    if (!instance->folderProblem().isEmpty()) {
        tellWhyNotStarting(instance->folderProblem());
        return EXIT_FAILURE;
    }
    if (!instance->claim())
        return instance->signalRunningInstance(startupId, activationToken) ? EXIT_SUCCESS
                                                                           : EXIT_FAILURE;

    qCInfo(lcSession).noquote() << session.choice().describe();
    const std::unique_ptr<WaylandConnection> wayland = session.takeWayland();
    if (wayland)
        wayland->startDispatching();
    AppDelegate delegate(session.choice(), wayland.get(), &docksFile);
    runningDelegate = &delegate;
    std::atexit(flushAtExit);
    QObject::connect(instance.get(), &SingleInstance::showSettingsRequested, &delegate,
                     [&delegate](const QByteArray& startupId, const QByteArray& activationToken) {
                         delegate.showSettingsWindow({startupId, activationToken});
                     });
    instance->setToggleHandler(
        [&delegate](const QString& nameOrId) { return delegate.toggleDock(nameOrId); });
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
