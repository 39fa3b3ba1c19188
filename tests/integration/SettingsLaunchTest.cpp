#include "integration/support/XSession.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <csignal>

using namespace std::chrono_literals;

// The real moorline binary and the settings window: a second launch brings it forward, and a
// desktop without a tray host gets it at start.
namespace {

QString run(const QString& program, const QStringList& arguments) {
    return QString::fromLatin1(Desktop::run(program, arguments).out).trimmed();
}

// The visible settings window's X id, or 0.
qulonglong settingsWindow() {
    return run(QStringLiteral("xdotool"),
               {"search", "--onlyvisible", "--name", "^Moorline Settings$"})
        .section(QLatin1Char('\n'), 0, 0)
        .toULongLong();
}

qulonglong activeWindow() {
    // xfwm4 keeps a second, zero window in the property: "window id # 0x80000c, 0x0".
    const QString line = run(QStringLiteral("xprop"), {"-root", "_NET_ACTIVE_WINDOW"});
    return line.section(QLatin1Char('#'), 1)
        .section(QLatin1Char(','), 0, 0)
        .trimmed()
        .toULongLong(nullptr, 16);
}

class SettingsLaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Moorline"))
            .removeRecursively();
        qputenv("XDG_DATA_DIRS", QByteArray("/nonexistent"));
    }
    void TearDown() override {
        for (auto& process : processes) {
            if (process->state() == QProcess::NotRunning)
                continue;
            ::kill(static_cast<pid_t>(process->processId()), SIGTERM);
            if (!process->waitForFinished(5000))
                process->kill();
        }
    }
    QProcess& start(const QString& program, const QStringList& arguments = {},
                    const QByteArray& startupId = {}) {
        auto& process = *processes.emplace_back(std::make_unique<QProcess>());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!startupId.isEmpty())
            environment.insert(QStringLiteral("DESKTOP_STARTUP_ID"),
                               QString::fromLatin1(startupId));
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForStarted(5000));
        return process;
    }
    QProcess& launch(const QByteArray& startupId = {}) {
        return start(QStringLiteral(MOORLINE_BINARY_DIR "/moorline"), {}, startupId);
    }
    // Starts an xterm and gives it the focus as a user's click would.
    void focusAnotherWindow() {
        if (!xterm)
            xterm =
                &start(QStringLiteral("xterm"), {"-name", "other", "-geometry", "60x10+600+400"});
        qulonglong other = 0;
        ASSERT_TRUE(Desktop::waitUntil([&] {
            other = run(QStringLiteral("xdotool"),
                        {"search", "--onlyvisible", "--classname", "^other$"})
                        .toULongLong();
            return other != 0;
        }));
        Desktop::run(QStringLiteral("xdotool"), {"windowactivate", QString::number(other)});
        ASSERT_TRUE(Desktop::waitUntil([&] { return activeWindow() == other; }));
    }

    std::vector<std::unique_ptr<QProcess>> processes;
    QProcess* xterm = nullptr;
};

} // namespace

TEST_F(SettingsLaunchTest, ASecondLaunchMakesTheSettingsWindowTheActiveOne) {
    QProcess& tray = start(QStringLiteral("trayer"), {"--edge", "top", "--widthtype", "request"});
    ASSERT_TRUE(Desktop::waitUntil([] {
        return !run(QStringLiteral("xdotool"), {"search", "--class", "trayer"}).isEmpty();
    }));
    QProcess& first = launch();
    // Start-up has finished once a panel is mapped beside the tray icon: the settings window
    // would be up by then.
    ASSERT_TRUE(Desktop::waitUntil(
        [] {
            return run(QStringLiteral("xdotool"),
                       {"search", "--onlyvisible", "--classname", "^moorline$"})
                       .count(QLatin1Char('\n')) >= 1;
        },
        10s));
    EXPECT_EQ(settingsWindow(), 0u) << "a tray host was there: no window at start";

    for (const QByteArray& startupId : {QByteArray("launcher-7 \"quoted\"_TIME0"), QByteArray()}) {
        SCOPED_TRACE(startupId.constData());
        focusAnotherWindow();
        QProcess& second = launch(startupId);
        ASSERT_TRUE(second.waitForFinished(10000));
        EXPECT_EQ(second.exitCode(), 0);
        qulonglong window = 0;
        EXPECT_TRUE(Desktop::waitUntil([&] {
            window = settingsWindow();
            return window != 0 && activeWindow() == window;
        }));
        if (!startupId.isEmpty()) {
            EXPECT_TRUE(
                run(QStringLiteral("xprop"), {"-id", QString::number(window), "_NET_STARTUP_ID"})
                    .endsWith(QStringLiteral("\"launcher-7 \\\"quoted\\\"_TIME0\"")));
        }
    }
    EXPECT_EQ(first.state(), QProcess::Running);
    tray.terminate();
}

TEST_F(SettingsLaunchTest, WithoutATrayHostTheWindowOpensAtStart) {
    launch();
    EXPECT_TRUE(Desktop::waitUntil([] { return settingsWindow() != 0; }, 10s));
}
