// SPDX-License-Identifier: GPL-3.0-or-later
// Launches as the desktop makes them, against the real pieces: GIO, the X server's startup
// notification, a systemd manager on the session bus (python3-dbusmock's template).
#include "backends/desktop/DBusBadgeUpdates.h"
#include "backends/desktop/GioDesktop.h"
#include "backends/desktop/SystemdScopes.h"
#include "backends/x11/EwmhRunningApplications.h"
#include "backends/x11/X11LaunchFeedback.h"
#include "fakes/FakeLaunchConfirmation.h"
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"
#include "platform/QtScheduler.h"
#include "runtime/ApplicationLauncher.h"
#include "runtime/BadgeModel.h"
#include "runtime/RunningAppsMonitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>

using namespace std::chrono_literals;

namespace {

QString folder() {
    return QDir::homePath() + u"/launch-test"_qs;
}

// An entry of our own applications folder whose program writes its pid to a marker and waits.
QString sleeperEntry() {
    const QString script = folder() + u"/sleeper"_qs;
    Session::writeFile(script,
                       "#!/bin/sh\necho $$ > \"" + folder().toUtf8() + "/pid\"\nexec sleep 60\n",
                       QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString entry =
        qEnvironmentVariable("XDG_DATA_HOME") + u"/applications/moorline-test.sleeper.desktop"_qs;
    Session::writeFile(
        entry, "[Desktop Entry]\nType=Application\nName=Sleeper\nExec=" + script.toUtf8() + "\n");
    return entry;
}

// The pid the sleeper wrote, once it has.
int startedPid() {
    const QString marker = folder() + u"/pid"_qs;
    Session::waitUntil([&] { return QFile::exists(marker); }, 10s);
    const int pid = Session::readFile(marker).trimmed().toInt();
    QFile::remove(marker);
    return pid;
}

QByteArray environmentOf(int pid) {
    return Session::readFile(u"/proc/"_qs + QString::number(pid) + u"/environ"_qs);
}

// A program that reports a badge over D-Bus and stays on the bus until it is stopped.
const QByteArray badgeSender = R"(
import sys, time, dbus, dbus.lowlevel
bus = dbus.SessionBus()
update = dbus.lowlevel.SignalMessage('/org/example/Mail', 'com.canonical.Unity.LauncherEntry',
                                     'Update')
update.append(sys.argv[1], {'count': dbus.Int64(7), 'count-visible': True, 'progress': 1.5,
                            'progress-visible': dbus.Int32(1)}, signature='sa{sv}')
bus.send_message(update)
bus.flush()
time.sleep(120)
)";

QString ownerOf(const QString& name) {
    return QDBusConnection::sessionBus().interface()->serviceOwner(name).value();
}

class LaunchTest : public ::testing::Test {
protected:
    ~LaunchTest() override {
        for (const int pid : started)
            ::kill(pid, SIGTERM);
    }

    // python3-dbusmock's systemd manager on our private session bus, logging every call.
    bool startSystemd() {
        QFile::remove(callLog);
        processes.start(u"/usr/bin/python3"_qs,
                        {"-m", "dbusmock", "--session", "-t", "systemd", "-l", callLog});
        return Session::waitUntil(
            [] {
                return QDBusConnection::sessionBus().interface()->isServiceRegistered(
                    u"org.freedesktop.systemd1"_qs);
            },
            10s);
    }

    const QString callLog = folder() + u"/systemd-calls"_qs;
    Session::ChildProcesses processes;
    std::vector<int> started;
    GioDesktop desktop;
    FakeLaunchConfirmation confirmation;
    EwmhRunningApplications windows;
    QtScheduler scheduler;
    RunningAppsMonitor runningApps{windows, desktop, scheduler};
    X11LaunchFeedback feedback;
    SystemdScopes scopes;
    ApplicationLauncher launcher{
        {desktop, confirmation, runningApps, windows, feedback, scopes, scheduler}};
};

} // namespace

TEST_F(LaunchTest, EachLaunchGetsAStartupIdAndAScopeOfItsOwnWhereSystemdIsOnTheBus) {
    const QString entry = sleeperEntry();
    // No systemd: the launch goes ahead all the same.
    launcher.openNew(entry);
    const int unscoped = startedPid();
    ASSERT_GT(unscoped, 0);
    started.push_back(unscoped);

    ASSERT_TRUE(startSystemd());
    launcher.openNew(entry);
    const int pid = startedPid();
    ASSERT_GT(pid, 0);
    started.push_back(pid);
    QByteArray calls;
    EXPECT_TRUE(Session::waitUntil(
        [&] { return (calls = Session::readFile(callLog)).contains("StartTransientUnit"); }, 10s));
    // The id escaped as systemd escapes it, a random part, and the launched pid.
    static const QRegularExpression call(
        uR"(StartTransientUnit "app-moorline-moorline\\x2dtest\.sleeper-[0-9a-f]+\.scope" "fail" .*PIDs.*UInt32\((\d+)\))"_qs);
    const auto match = call.match(QString::fromUtf8(calls));
    ASSERT_TRUE(match.hasMatch()) << calls.constData();
    EXPECT_EQ(match.captured(1).toInt(), pid);
    EXPECT_EQ(calls.count("StartTransientUnit"), 1) << "one call, for the second launch only";

    // Each launch its own startup id, with the time of the user's last action.
    const QByteArray environment = environmentOf(pid);
    static const QRegularExpression id(
        uR"(\x00DESKTOP_STARTUP_ID=moorline/moorline-test\.sleeper/\d+-(\d+)-[^\x00]*_TIME\d+\x00)"_qs);
    const auto idMatch = id.match(QString::fromUtf8(environment));
    EXPECT_TRUE(idMatch.hasMatch()) << environment.constData();
    EXPECT_NE(environmentOf(unscoped).indexOf("DESKTOP_STARTUP_ID=moorline/"), -1);
    EXPECT_TRUE(environment.contains(QByteArray(1, '\0') +
                                     "GIO_LAUNCHED_DESKTOP_FILE=" + entry.toUtf8() + '\0'));
}

TEST_F(LaunchTest, ABadgeComesWithItsSenderAndGoesWithIt) {
    // Somebody else showing badges keeps the name programs look for.
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"other"_qs);
    ASSERT_TRUE(other.registerService(u"com.canonical.Unity"_qs));
    {
        DBusBadgeUpdates listener;
        ownerOf(u"com.canonical.Unity"_qs); // a round trip after the listener's request
        EXPECT_EQ(ownerOf(u"com.canonical.Unity"_qs), other.baseService());
    }
    other.unregisterService(u"com.canonical.Unity"_qs);
    QDBusConnection::disconnectFromBus(u"other"_qs);

    DBusBadgeUpdates updates;
    BadgeModel badges(updates, scheduler);
    EXPECT_TRUE(Session::waitUntil([] {
        return ownerOf(u"com.canonical.Unity"_qs) == QDBusConnection::sessionBus().baseService();
    }));
    const AppBadge expected{7, 1.0, false};
    for (const char* uri : {"application://org.example.Mail.desktop", "org.example.Mail.desktop"}) {
        SCOPED_TRACE(uri);
        QProcess& sender = processes.start(u"/usr/bin/python3"_qs, {"-c", badgeSender, uri});
        EXPECT_TRUE(Session::waitUntil(
            [&] { return badges.badge(u"org.example.Mail"_qs) == expected; }, 10s));
        sender.terminate();
        EXPECT_TRUE(
            Session::waitUntil([&] { return badges.badge(u"org.example.Mail"_qs).isEmpty(); }, 10s))
            << "the badge goes with its sender";
    }
}
