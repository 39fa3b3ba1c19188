// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>

// A private desktop for one test binary: an X server on a free display, a window manager
// managing it, and fresh XDG directories, so that nothing the tests do reaches the developer's
// own session. The server is Xvfb with one screen, or Xorg with the dummy video driver, whose
// outputs xrandr turns on, off and around like real monitors (see DummyMonitors).
class XSession {
public:
    enum class WindowManager { none, openbox, xfwm4 };

    struct Options {
        QString screen = QStringLiteral("1280x800x24");
        WindowManager windowManager = windowManagerFromEnvironment();
        bool dummyMonitors = false;
    };

    // MOORLINE_TEST_WM=openbox (the default) or xfwm4.
    static WindowManager windowManagerFromEnvironment();

    XSession();
    explicit XSession(Options options);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // Starts the server and window manager and points DISPLAY and the XDG variables at them.
    bool start();
    QString display() const { return display_; }
    QString home() const;

private:
    bool startServer();
    QStringList xvfbArguments() const;
    QStringList xorgArguments() const;
    bool startWindowManager();
    bool windowManagerMapsWindows();
    void stop();

    Options options_;
    QString display_;
    std::unique_ptr<QProcess> server_;
    std::unique_ptr<QProcess> windowManager_;
    struct Private;
    std::unique_ptr<Private> d_;
};

// Starts a session with `options`, then Qt and every test of the binary in it.
int runIntegrationTests(int argc, char** argv, const XSession::Options& options = {});

// Helpers for tests that drive the real desktop.
namespace Session {
struct Result {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};
// Runs a program to its end (never through a shell).
Result run(const QString& program, const QStringList& arguments,
           std::chrono::milliseconds timeout = std::chrono::seconds(10),
           const QByteArray& input = {});
// Processes events until `done` answers true or the timeout passes; answers `done()`.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));
} // namespace Session
