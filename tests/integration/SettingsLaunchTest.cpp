// SPDX-License-Identifier: GPL-3.0-or-later
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

// The real moorline binary and the settings window: a second launch brings it forward, and a
// desktop without a tray host gets it at start.
namespace {

// The visible settings window's X id ("0x..." as the active window is given), or empty.
QString settingsWindow() {
    const QString found = Session::run(QStringLiteral("xdotool"),
                                       {"search", "--onlyvisible", "--name", "^Moorline Settings$"})
                              .out.split('\n')
                              .value(0);
    return found.isEmpty() ? found : u"0x"_qs + QString::number(found.toULongLong(), 16);
}

class SettingsLaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(Session::dataFolder()).removeRecursively();
        qputenv("XDG_DATA_DIRS", QByteArray("/nonexistent"));
    }
    QProcess& launch(const QByteArray& startupId = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!startupId.isEmpty())
            environment.insert(QStringLiteral("DESKTOP_STARTUP_ID"),
                               QString::fromLatin1(startupId));
        return processes.startMoorline(environment);
    }
    // Starts an xterm and gives it the focus as a user's click would.
    void focusAnotherWindow() {
        if (other.isEmpty()) {
            processes.start(QStringLiteral("xterm"),
                            {"-name", "other", "-geometry", "60x10+600+400"});
            other = Session::waitForWindow(QStringLiteral("^other$"));
            ASSERT_FALSE(other.isEmpty());
        }
        Session::xdotool({"windowactivate", other});
        ASSERT_TRUE(Session::waitUntil([&] {
            return Session::activeWindow() == u"0x"_qs + QString::number(other.toULongLong(), 16);
        }));
    }

    Session::ChildProcesses processes;
    QString other;
};

} // namespace

TEST_F(SettingsLaunchTest, ASecondLaunchMakesTheSettingsWindowTheActiveOne) {
    ASSERT_TRUE(processes.startTray());
    QProcess& first = launch();
    // Start-up has finished once a panel is mapped beside the tray icon: the settings window
    // would be up by then.
    ASSERT_FALSE(Session::waitForWindow(QStringLiteral("^moorline$")).isEmpty());
    EXPECT_EQ(settingsWindow(), QString()) << "a tray host was there: no window at start";

    for (const QByteArray& startupId : {QByteArray("launcher-7 \"quoted\"_TIME0"), QByteArray()}) {
        SCOPED_TRACE(startupId.constData());
        focusAnotherWindow();
        QProcess& second = launch(startupId);
        ASSERT_TRUE(second.waitForFinished(10000));
        EXPECT_EQ(second.exitCode(), 0);
        QString window;
        EXPECT_TRUE(Session::waitUntil([&] {
            window = settingsWindow();
            return !window.isEmpty() && Session::activeWindow() == window;
        }));
        if (!startupId.isEmpty()) {
            EXPECT_TRUE(QString::fromLatin1(Session::xprop(window.toUInt(nullptr, 0),
                                                           {QStringLiteral("_NET_STARTUP_ID")}))
                            .trimmed()
                            .endsWith(QStringLiteral("\"launcher-7 \\\"quoted\\\"_TIME0\"")));
        }
    }
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(SettingsLaunchTest, WithoutATrayHostTheWindowOpensAtStart) {
    launch();
    EXPECT_TRUE(Session::waitUntil([] { return !settingsWindow().isEmpty(); }, 10s));
}
