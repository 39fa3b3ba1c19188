#include "integration/support/XSession.h"

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
} // namespace

struct XSession::Private {
    QTemporaryDir root;
};

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
        if (startServer() && (!options_.windowManager || startWindowManager()))
            return true;
        std::fprintf(stderr, "XSession: attempt %d to start %s failed\n", attempt,
                     display_.isEmpty() ? "Xvfb" : "Openbox");
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
    // -displayfd 1: the server picks a free display and writes its number on standard output.
    server_->start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), options_.screen, QStringLiteral("-nolisten"),
                    QStringLiteral("tcp"), QStringLiteral("+extension"),
                    QStringLiteral("XInputExtension")});
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
    return true;
}

bool XSession::startWindowManager() {
    windowManager_ = std::make_unique<QProcess>();
    endWithParent(*windowManager_);
    windowManager_->setStandardOutputFile(QProcess::nullDevice());
    windowManager_->setStandardErrorFile(QProcess::nullDevice());
    windowManager_->start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!windowManager_->waitForStarted(10000))
        return false;
    // Openbox announces itself with _NET_SUPPORTING_WM_CHECK on the root window.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 30000 && windowManager_->state() == QProcess::Running) {
        const auto result =
            Desktop::run(QStringLiteral("xprop"),
                         {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
        if (result.exitCode == 0 && result.out.contains("window id"))
            return windowManagerMapsWindows();
        QThread::msleep(50);
    }
    return false;
}

bool XSession::windowManagerMapsWindows() {
    // Openbox announces itself before it has finished starting, and a window mapped in that
    // moment is sometimes never managed: wait until a probe window is actually shown.
    QProcess probe;
    endWithParent(probe);
    probe.start(QStringLiteral("xclock"),
                {QStringLiteral("-geometry"), QStringLiteral("8x8+0+0"), QStringLiteral("-name"),
                 QStringLiteral("moorline-session-probe")});
    if (!probe.waitForStarted(10000))
        return false;
    QElapsedTimer timer;
    timer.start();
    bool shown = false;
    while (!shown && timer.elapsed() < 30000 && probe.state() == QProcess::Running) {
        shown = Desktop::run(QStringLiteral("xdotool"),
                             {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                              QStringLiteral("--classname"),
                              QStringLiteral("^moorline-session-probe$")})
                    .exitCode == 0;
        if (!shown)
            QThread::msleep(20);
    }
    probe.terminate();
    probe.waitForFinished(3000);
    return shown;
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

Desktop::Result Desktop::run(const QString& program, const QStringList& arguments,
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

bool Desktop::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
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
