// SPDX-License-Identifier: GPL-3.0-or-later
#include "integration/support/XSession.h"

#include "integration/support/DummyMonitors.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>

namespace {
// A test binary that aborts (a failed sanitizer check) runs no destructors: let the kernel end
// its X server and window manager with it.
void endWithParent(QProcess& process) {
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

const char* nameOf(XSession::WindowManager windowManager) {
    using WindowManager = XSession::WindowManager;
    return windowManager == WindowManager::openbox ? "openbox"
           : windowManager == WindowManager::xfwm4 ? "xfwm4"
                                                   : "no window manager";
}

// One X screen whose dummy outputs (DUMMY0 to DUMMY15) xrandr switches on and places; only the
// first is on at the start. No input devices: xdotool drives the pointer through XTEST.
constexpr char xorgConfig[] = R"(Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1280x800"
    Virtual 4096 4096
  EndSubSection
EndSection
)";
} // namespace

struct XSession::Private {
    QTemporaryDir root;
};

XSession::WindowManager XSession::windowManagerFromEnvironment() {
    return qEnvironmentVariable("MOORLINE_TEST_WM") == QLatin1String("xfwm4")
               ? WindowManager::xfwm4
               : WindowManager::openbox;
}

XSession::XSession() : XSession(Options{}) {}

XSession::XSession(Options options)
    : options_(std::move(options)), d_(std::make_unique<Private>()) {}

XSession::~XSession() {
    stop();
}

QString XSession::home() const {
    return d_->root.path() + QStringLiteral("/home");
}

bool XSession::start() {
    if (!d_->root.isValid())
        return false;
    // Fresh XDG directories: the store, the trash and autostart entries all land here.
    const QString homeDir = home();
    for (const char* sub : {"", "/.local/share", "/.config", "/.cache"})
        QDir().mkpath(homeDir + QLatin1String(sub));
    qputenv("HOME", homeDir.toLocal8Bit());
    qputenv("XDG_DATA_HOME", (homeDir + QStringLiteral("/.local/share")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (homeDir + QStringLiteral("/.config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (homeDir + QStringLiteral("/.cache")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", d_->root.path().toLocal8Bit());
    QFile::setPermissions(d_->root.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // Under a heavy load a server or window manager occasionally fails to come up: try again.
    for (int attempt = 1; attempt <= 3; ++attempt) {
        if (startServer() &&
            (options_.windowManager == WindowManager::none || startWindowManager()))
            return true;
        std::fprintf(stderr, "XSession: attempt %d to start %s failed\n", attempt,
                     display_.isEmpty() ? "the X server" : nameOf(options_.windowManager));
        stop();
    }
    return false;
}

bool XSession::startServer() {
    display_.clear();
    server_ = std::make_unique<QProcess>();
    endWithParent(*server_);
    server_->setProcessChannelMode(QProcess::SeparateChannels);
    server_->setStandardErrorFile(QProcess::nullDevice());
    if (options_.dummyMonitors)
        server_->start(QStringLiteral("Xorg"), xorgArguments());
    else
        server_->start(QStringLiteral("Xvfb"), xvfbArguments());
    if (!server_->waitForStarted(10000))
        return false;
    QByteArray number;
    QElapsedTimer timer;
    timer.start();
    while (!number.contains('\n') && timer.elapsed() < 30000 &&
           server_->state() == QProcess::Running) {
        server_->waitForReadyRead(200);
        number += server_->readAllStandardOutput();
    }
    if (!number.contains('\n'))
        return false;
    display_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    qputenv("DISPLAY", display_.toLocal8Bit());
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (options_.dummyMonitors)
        DummyMonitors::prepareOutputs();
    return true;
}

QStringList XSession::xvfbArguments() const {
    // -displayfd 1: the server picks a free display and writes its number on standard output.
    return {"-displayfd", "1",          "-screen",        "0", options_.screen, "-nolisten",
            "tcp",        "+extension", "XInputExtension"};
}

QStringList XSession::xorgArguments() const {
    const QString config = d_->root.filePath(QStringLiteral("xorg.conf"));
    QFile file(config);
    if (file.open(QIODevice::WriteOnly))
        file.write(xorgConfig);
    // An empty configuration directory keeps the system's snippets (input drivers...) out.
    const QString configDir = d_->root.filePath(QStringLiteral("xorg.conf.d"));
    QDir().mkpath(configDir);
    return {"-displayfd", "1",         "-config",  config,
            "-configdir", configDir,   "-logfile", d_->root.filePath(QStringLiteral("xorg.log")),
            "-noreset",   "-nolisten", "tcp"};
}

bool XSession::startWindowManager() {
    windowManager_ = std::make_unique<QProcess>();
    endWithParent(*windowManager_);
    windowManager_->setStandardOutputFile(QProcess::nullDevice());
    windowManager_->setStandardErrorFile(QProcess::nullDevice());
    if (options_.windowManager == WindowManager::xfwm4) {
        // xfwm4 reads its settings from xfconfd, which the session bus starts on demand with
        // the bus's own environment: point that at the private home first. Without the rest
        // of Xfce there is no session manager; the accessibility bus is not wanted either.
        Session::run(QStringLiteral("dbus-update-activation-environment"),
                     {"DISPLAY", "HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                      "XDG_RUNTIME_DIR"});
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
        windowManager_->setProcessEnvironment(environment);
        windowManager_->start(QStringLiteral("xfwm4"), {"--compositor=off", "--sm-client-disable"});
    } else {
        windowManager_->start(QStringLiteral("openbox"), {"--sm-disable"});
    }
    if (!windowManager_->waitForStarted(10000))
        return false;
    // The window manager announces itself with _NET_SUPPORTING_WM_CHECK on the root window.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 30000 && windowManager_->state() == QProcess::Running) {
        const auto result =
            Session::run(QStringLiteral("xprop"), {"-root", "_NET_SUPPORTING_WM_CHECK"});
        if (result.exitCode == 0 && result.out.contains("window id"))
            return windowManagerMapsWindows();
        QThread::msleep(50);
    }
    return false;
}

bool XSession::windowManagerMapsWindows() {
    // Openbox announces itself before it has finished starting, and a window mapped in that
    // moment can stay unmanaged for good: probe with fresh windows until one is actually shown
    // (xfwm4 too, to be safe).
    for (int probeCount = 0; probeCount < 5; ++probeCount) {
        QProcess probe;
        endWithParent(probe);
        probe.start(QStringLiteral("xclock"),
                    {"-geometry", "8x8+0+0", "-name", "moorline-session-probe"});
        if (!probe.waitForStarted(10000))
            return false;
        QElapsedTimer timer;
        timer.start();
        bool shown = false;
        while (!shown && timer.elapsed() < 4000 && probe.state() == QProcess::Running) {
            shown =
                Session::run(QStringLiteral("xdotool"),
                             {"search", "--onlyvisible", "--classname", "^moorline-session-probe$"})
                    .exitCode == 0;
            if (!shown)
                QThread::msleep(20);
        }
        probe.terminate();
        probe.waitForFinished(3000);
        if (shown)
            return true;
    }
    return false;
}

void XSession::stop() {
    for (auto* process : {windowManager_.get(), server_.get()}) {
        if (process && process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(3000))
                process->kill();
            process->waitForFinished(1000);
        }
    }
}

Session::Result Session::run(const QString& program, const QStringList& arguments,
                             std::chrono::milliseconds timeout, const QByteArray& input) {
    QProcess process;
    process.start(program, arguments);
    Result result;
    if (!process.waitForStarted(5000))
        return result;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(static_cast<int>(timeout.count()))) {
        process.kill();
        process.waitForFinished(1000);
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

bool Session::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeout.count())
            return done();
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}
