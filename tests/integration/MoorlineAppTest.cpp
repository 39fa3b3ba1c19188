// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InstanceListener.h"
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"
#include "models/DockCodec.h"

#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace std::chrono_literals;
using Session::dataFolder;
using Session::docksFile;
using Session::endPolitely;
using Session::readFile;

// The real moorline binary in the private session: start-up, the docks file, one instance,
// and an orderly end.
namespace {

#ifdef __SANITIZE_ADDRESS__
constexpr bool sanitised = true;
#else
constexpr bool sanitised = false;
#endif

QStringList socketsIn(const QString& folder = qEnvironmentVariable("XDG_RUNTIME_DIR")) {
    return QDir(folder).entryList({u"" MOORLINE_APP_ID "-*.socket"_qs}, QDir::System | QDir::Files);
}

// The socket of the instance listening in `folder`, once there is one.
QString socketIn(const QString& folder = qEnvironmentVariable("XDG_RUNTIME_DIR")) {
    QString found;
    Session::waitUntil(
        [&] {
            found = socketsIn(folder).value(0);
            return !found.isEmpty();
        },
        10s);
    return found.isEmpty() ? found : folder + u'/' + found;
}

// The names our lock and socket have in a folder: the key is the data folder.
QString instanceBase(const QString& folder) {
    const QByteArray key =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toUtf8();
    return folder + u"/" MOORLINE_APP_ID "-"_qs +
           QString::fromLatin1(
               QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}

class MoorlineAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(dataFolder()).removeRecursively();
        // Start with no default browser or terminal: the starter dock is docklets only.
        qputenv("XDG_DATA_DIRS", QByteArray("/nonexistent"));
    }
    // A second launch hands over to the first and leaves; the first keeps running.
    void expectASecondLaunchToLeave(
        const QProcess& first,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        QProcess& second = processes.startMoorline(environment);
        ASSERT_TRUE(second.waitForFinished(10000));
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 0) << "the second launch did not reach the first";
        EXPECT_EQ(first.state(), QProcess::Running);
    }

    // A notification daemon on the private bus (python3-dbusmock's) that logs the calls it
    // gets to the file answered.
    QString startNotificationDaemon() {
        const QString log = QDir::temp().filePath(u"moorline-notifications.log"_qs);
        QFile::remove(log);
        processes.start(u"/usr/bin/python3"_qs, {u"-m"_qs, u"dbusmock"_qs, u"--template"_qs,
                                                 u"notification_daemon"_qs, u"-l"_qs, log});
        EXPECT_TRUE(Session::waitUntil(
            [] {
                return QDBusConnection::sessionBus().interface()->isServiceRegistered(
                    u"org.freedesktop.Notifications"_qs);
            },
            10s));
        return log;
    }

    Session::ChildProcesses processes;
};

} // namespace

TEST_F(MoorlineAppTest, WritesTheStarterDocksAtTheLatestWhenEnded) {
    QProcess& app = processes.startMoorline();
    ASSERT_FALSE(socketIn().isEmpty());
    QElapsedTimer sinceUp;
    sinceUp.start();
    const bool early = QFile::exists(docksFile());
    endPolitely(app);
    const auto decoded = DockCodec::decode(readFile(docksFile()));
    ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
    ASSERT_EQ(decoded.docks.size(), 3u);
    EXPECT_EQ(decoded.docks[0].name, u"Dock"_qs);
    EXPECT_EQ(decoded.docks[0].tabs.at(0).items.size(), 4u); // the docklets
    // The store was made after the instance began to listen, so its save was still waiting.
    if (early || sinceUp.elapsed() >= 350)
        GTEST_SKIP() << "too slow to catch the save in its delay (" << sinceUp.elapsed() << " ms)";
}

TEST_F(MoorlineAppTest, SetsAnUnreadableFileAsideAndRemovesOnlyWhatAKilledSaveLeft) {
    const QByteArray broken = "[{\"name\": \"my dock\", oops}]";
    ASSERT_TRUE(Session::writeFile(docksFile(), broken));
    // A full-size save killed before its rename, a file set aside at an earlier start, and the
    // user's own copy.
    const QString leftover = dataFolder() + u"/.docks.json.moorline-XyZab1"_qs;
    ASSERT_TRUE(Session::writeFile(leftover, QByteArray(10 << 20, ' ')));
    const QString backup = docksFile() + u".backup"_qs;
    ASSERT_TRUE(Session::writeFile(backup, "[]"));
    const QString earlier = docksFile() + u".unreadable-20260101-120000"_qs;
    ASSERT_TRUE(Session::writeFile(earlier, "{"));
    QProcess& app = processes.startMoorline();
    ASSERT_TRUE(
        Session::waitUntil([] { return DockCodec::decode(readFile(docksFile())).ok(); }, 10s));
    EXPECT_TRUE(Session::waitUntil([&] { return !QFile::exists(leftover); }, 10s));
    EXPECT_EQ(readFile(earlier), "{");
    EXPECT_EQ(readFile(backup), "[]");
    QStringList kept = QDir(dataFolder()).entryList({u"docks.json.unreadable-*"_qs});
    kept.removeOne(QFileInfo(earlier).fileName());
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(readFile(dataFolder() + u'/' + kept[0]), broken);
    endPolitely(app);
    EXPECT_EQ(QDir(dataFolder()).entryList(QDir::Files | QDir::Hidden).size(), 4)
        << "nothing else went";
}

TEST_F(MoorlineAppTest, StartsAtOnceWithASessionBusThatDoesNotAnswer) {
    // A bus daemon of its own, stopped: it takes connections and never answers them.
    QProcess& daemon = processes.start(u"dbus-daemon"_qs,
                                       {u"--session"_qs, u"--nofork"_qs, u"--print-address=1"_qs},
                                       QProcessEnvironment::systemEnvironment(), false);
    ASSERT_TRUE(daemon.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(daemon.readLine().trimmed());
    const auto pid = static_cast<pid_t>(daemon.processId());
    ASSERT_EQ(::kill(pid, SIGSTOP), 0);
    const auto resume = qScopeGuard([pid] { ::kill(pid, SIGCONT); });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_qs, address);
    QElapsedTimer clock;
    clock.start();
    QProcess& app = processes.startMoorline(environment);
    // Running its event loop: the starter docks are saved.
    EXPECT_TRUE(Session::waitUntil([] { return QFile::exists(docksFile()); }, 10s));
    EXPECT_LT(clock.elapsed(), 5000);
    endPolitely(app);
}

TEST_F(MoorlineAppTest, WithoutATrayAFailedSaveIsToldThroughADesktopNotification) {
    const QString log = startNotificationDaemon();
    // No save can work: a file stands where the data folder should be.
    ASSERT_TRUE(Session::writeFile(dataFolder(), "in the way"));
    const auto removeFile = qScopeGuard([] { QFile::remove(dataFolder()); });
    QProcess& app = processes.startMoorline();
    EXPECT_TRUE(Session::waitUntil(
        [&] {
            const QByteArray calls = readFile(log);
            return calls.contains("Notify") && calls.contains("Moorline cannot save your docks");
        },
        10s))
        << readFile(log).constData();
    endPolitely(app);
}

TEST_F(MoorlineAppTest, ListensWhereSomethingElseStoodAtItsSocketsName) {
    const QString obstacle = instanceBase(qEnvironmentVariable("XDG_RUNTIME_DIR")) + u".socket"_qs;
    ASSERT_TRUE(QDir().mkpath(obstacle + u"/kept"_qs));
    const auto cleanup = qScopeGuard([&] {
        QDir(obstacle).removeRecursively();
        QDir(obstacle + u".in-the-way-1"_qs).removeRecursively();
    });
    QProcess& first = processes.startMoorline();
    ASSERT_FALSE(socketIn().isEmpty());
    expectASecondLaunchToLeave(first);
    EXPECT_TRUE(QFileInfo(obstacle + u".in-the-way-1/kept"_qs).isDir());
    endPolitely(first);
}

TEST_F(MoorlineAppTest, RefusesASharedCacheFolderSayingSoAndEndsWithAnError) {
    const QString log = startNotificationDaemon();
    // Another user's, or everybody's: writable by all, and not sticky.
    const QString shared = QDir::temp().filePath(u"moorline-shared-cache"_qs);
    QDir(shared).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(shared));
    ASSERT_TRUE(QFile::setPermissions(shared, QFile::Permissions(0x7777)));
    const auto cleanup = qScopeGuard([&] { QDir(shared).removeRecursively(); });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_RUNTIME_DIR"_qs, shared);
    environment.insert(u"XDG_CACHE_HOME"_qs, shared);
    QProcess app;
    app.setProcessEnvironment(environment);
    app.start(QStringLiteral(MOORLINE_BINARY_DIR "/moorline"), {});
    ASSERT_TRUE(app.waitForFinished(10000));
    EXPECT_NE(app.exitCode(), 0);
    const QByteArray said = app.readAllStandardError();
    EXPECT_TRUE(said.contains("moorline: not starting: The folder " + QFile::encodeName(shared) +
                              " is not yours alone"))
        << said.constData();
    EXPECT_TRUE(readFile(log).contains("Moorline cannot start")) << readFile(log).constData();
}

TEST_F(MoorlineAppTest, ShowsItsIconInTheTrayWithItsMenu) {
    ASSERT_TRUE(processes.startTray());
    QProcess& app = processes.startMoorline();
    // The tray host embeds a small window; the panels are larger.
    const QStringList icons = Session::moorlineWindows(
        1, [](QSize size) { return size.isValid() && size.width() <= 64 && size.height() <= 64; });
    // Two small windows of ours have been seen here at once under xfwm4: the icon is the one
    // made last (xdotool lists windows in the order they were made).
    ASSERT_FALSE(icons.isEmpty());
    const QString& icon = icons.last();
    const auto windows = [] { return Session::visibleWindows(u"^moorline$"_qs).size(); };
    const auto before = windows();
    Session::xdotool(
        {u"mousemove"_qs, u"--window"_qs, icon, u"5"_qs, u"5"_qs, u"click"_qs, u"3"_qs});
    EXPECT_TRUE(Session::waitUntil([&] { return windows() > before; }, 5s)) << "no menu opened";
    endPolitely(app);
}

TEST_F(MoorlineAppTest, SigtermWritesAMoveStillWaitingInItsDelay) {
    Dock dock = Dock::makeDefault(DockKind::clippings, u"Moved"_qs);
    dock.position = {100, 100, 200, 300};
    ASSERT_TRUE(Session::writeFile(docksFile(), *DockCodec::encode({dock})));
    QProcess& app = processes.startMoorline();
    // The panel, not the settings window that a session without a tray host gets too.
    const QStringList panels =
        Session::moorlineWindows(1, [](QSize size) { return size == QSize(200, 300); });
    ASSERT_EQ(panels.size(), 1);
    const QString& window = panels.first();
    QElapsedTimer sinceMove;
    sinceMove.start();
    Session::xdotool({u"windowmove"_qs, window, u"400"_qs, u"200"_qs});
    // Once the server has the window there, the program has its notice of the move queued.
    ASSERT_TRUE(Session::waitUntil([&] { return Session::windowGeometry(window).x() == 400; }));
    endPolitely(app);
    // The panel writes a move back 0.3 s after it ends; the quit came before that.
    if (sinceMove.elapsed() >= 250)
        GTEST_SKIP() << "too slow to catch the move in its delay (" << sinceMove.elapsed()
                     << " ms)";
    const auto decoded = DockCodec::decode(readFile(docksFile()));
    ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
    ASSERT_EQ(decoded.docks.size(), 1u);
    EXPECT_EQ(decoded.docks[0].position.x, 400);
}

TEST_F(MoorlineAppTest, WithoutAPrivateRuntimeFolderTheLockGoesToAPrivateCacheFolder) {
    // A squatter in the shared temporary folder: a live "moorline" holding the lock (as
    // QLockFile writes it) and a socket that collects what it is sent.
    const QString squat = QDir::tempPath();
    const QString squatterBinary = squat + u"/moorline-squatter/moorline"_qs;
    const QString shared = squat + u"/moorline-shared-runtime"_qs;
    const QString cacheRuntime = qEnvironmentVariable("XDG_CACHE_HOME") + u"/moorline-runtime"_qs;
    // Whatever happens, nothing of ours stays in the shared folder; Qt makes a runtime folder
    // there itself when the variable is unset.
    const passwd* user = ::getpwuid(::geteuid());
    const QString qtRuntime =
        squat + u"/runtime-"_qs + QString::fromLocal8Bit(user ? user->pw_name : "");
    QProcess squatter;
    const auto cleanup = qScopeGuard([&, qtRuntimeExisted = QFileInfo::exists(qtRuntime)] {
        squatter.kill();
        squatter.waitForFinished();
        QFile::remove(instanceBase(squat) + u".lock"_qs);
        QDir(shared).removeRecursively();
        QDir(QFileInfo(squatterBinary).path()).removeRecursively();
        if (!qtRuntimeExisted)
            QDir().rmdir(qtRuntime);
    });
    QDir().mkpath(QFileInfo(squatterBinary).path());
    QFile::remove(squatterBinary);
    ASSERT_TRUE(QFile::copy(u"/bin/sleep"_qs, squatterBinary));
    squatter.start(squatterBinary, {u"60"_qs});
    ASSERT_TRUE(squatter.waitForStarted());
    ASSERT_TRUE(Session::writeFile(instanceBase(squat) + u".lock"_qs,
                                   QByteArray::number(squatter.processId()) + "\nmoorline\n" +
                                       QSysInfo::machineHostName().toUtf8() + "\n"));
    QLocalServer squatterSocket;
    QLocalServer::removeServer(instanceBase(squat) + u".socket"_qs);
    ASSERT_TRUE(squatterSocket.listen(instanceBase(squat) + u".socket"_qs));

    // Unset, missing, shared with others, or a symlink to a private folder: none will do.
    QDir().mkpath(shared);
    QFile::setPermissions(shared, QFile::Permissions(0x7777));
    const QString linked = QDir::homePath() + u"/runtime-link"_qs;
    QFile::remove(linked);
    ASSERT_TRUE(QFile::link(qEnvironmentVariable("XDG_RUNTIME_DIR"), linked));
    for (const QString& runtime : {QString(), u"/nonexistent/runtime"_qs, shared, linked}) {
        SCOPED_TRACE(runtime.toStdString());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (runtime.isEmpty())
            environment.remove(u"XDG_RUNTIME_DIR"_qs);
        else
            environment.insert(u"XDG_RUNTIME_DIR"_qs, runtime);
        QProcess& first = processes.startMoorline(environment);
        ASSERT_FALSE(socketIn(cacheRuntime).isEmpty());
        struct stat folder {};
        ASSERT_EQ(::lstat(QFile::encodeName(cacheRuntime).constData(), &folder), 0);
        EXPECT_EQ(folder.st_mode & 07777, 0700u);
        expectASecondLaunchToLeave(first, environment);
        EXPECT_FALSE(squatterSocket.hasPendingConnections());
        endPolitely(first);
    }
    EXPECT_TRUE(QDir(shared).isEmpty());
}

// The single-instance channel, against the real program and real sockets.
namespace {

struct Fd {
    int fd = -1;
    Fd() = default;
    explicit Fd(int value) : fd(value) {}
    Fd(Fd&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
    // Whether the server has closed the connection.
    bool closedByServer() const {
        char byte = 0;
        return ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
    }
};

// A raw client. Waiting, it stands in the server's backlog for up to a second; not waiting, a
// full backlog turns it away.
Fd connectTo(const QString& path, bool wait = true) {
    Fd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | (wait ? 0 : SOCK_NONBLOCK), 0));
    const timeval second{1, 0};
    ::setsockopt(socket.fd, SOL_SOCKET, SO_SNDTIMEO, &second, sizeof(second));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(address.sun_path, native.constData(), native.size());
    if (::connect(socket.fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0)
        return Fd();
    ::fcntl(socket.fd, F_SETFL, O_NONBLOCK);
    return socket;
}

qint64 residentKilobytes(qint64 pid) {
    return QRegularExpression(u"VmRSS:\\s+(\\d+) kB"_qs)
        .match(QString::fromLatin1(readFile(u"/proc/%1/status"_qs.arg(pid))))
        .captured(1)
        .toLongLong();
}

int openDescriptors(qint64 pid) {
    return static_cast<int>(QDir(u"/proc/%1/fd"_qs.arg(pid))
                                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                                .size());
}

} // namespace

TEST_F(MoorlineAppTest, TheChannelOutlastsAHugeMessageACrowdAndRunningOutOfDescriptors) {
    QProcess& app = processes.startMoorline();
    const QString socket = socketIn();
    ASSERT_FALSE(socket.isEmpty());
    const auto pid = static_cast<pid_t>(app.processId());
    // Settled once the starter docks are written, without a quit to flush them.
    ASSERT_TRUE(Session::waitUntil([] { return QFile::exists(docksFile()); }, 10s));
    const qint64 memory = residentKilobytes(pid);
    const int settled = openDescriptors(pid);

    // A huge message is cut off without growing the memory.
    {
        const Fd client = connectTo(socket);
        ASSERT_GE(client.fd, 0);
        const QByteArray chunk(1 << 20, 'x');
        qint64 sent = 0;
        QElapsedTimer timer;
        timer.start();
        while (sent < (qint64(512) << 20) && timer.elapsed() < 20000) {
            pollfd writable{client.fd, POLLOUT, 0};
            if (::poll(&writable, 1, 100) <= 0)
                continue;
            const ssize_t written =
                ::send(client.fd, chunk.constData(), chunk.size(), MSG_NOSIGNAL);
            if (written < 0 && errno != EAGAIN && errno != EINTR)
                break; // let go by the server
            sent += std::max<ssize_t>(written, 0);
        }
        const qint64 after = residentKilobytes(pid);
        std::printf("[ figures ] sent %lld KB before the server let go in %lld ms; VmRSS %lld -> "
                    "%lld KB\n",
                    static_cast<long long>(sent >> 10), static_cast<long long>(timer.elapsed()),
                    static_cast<long long>(memory), static_cast<long long>(after));
        EXPECT_LT(sent, qint64(64) << 20);
        EXPECT_LT(after - memory, 32 * 1024);
    }

    // A crowd that keeps its connections: the server keeps a few, lets the rest go.
    std::vector<Fd> clients;
    for (int i = 0; i < 200; ++i)
        clients.push_back(connectTo(socket));
    const auto kept = [&] {
        return std::count_if(clients.begin(), clients.end(),
                             [](const Fd& client) { return !client.closedByServer(); });
    };
    EXPECT_TRUE(Session::waitUntil([&] { return kept() <= InstanceListener::maximumConnections; }))
        << kept() << " connections kept";
    const auto held = kept();
    EXPECT_LE(openDescriptors(pid), settled + InstanceListener::maximumConnections + 1);
    clients.clear();
    expectASecondLaunchToLeave(app);
    EXPECT_EQ(socketsIn().size(), 1);

    if (sanitised) {
        // UBSan checks each virtual call by reading memory through a pipe; with no descriptor
        // left for one, it takes every call for a fault and stops the program.
        endPolitely(app);
        GTEST_SKIP() << "running out of descriptors cannot be tried under the sanitisers";
    }
    // A few descriptors to spare, fewer than connections allowed, then a crowd.
    EXPECT_TRUE(Session::waitUntil([&] { return openDescriptors(pid) <= settled; }));
    const int limit = openDescriptors(pid) + 3;
    const rlimit low{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
    ASSERT_EQ(::prlimit(pid, RLIMIT_NOFILE, &low, nullptr), 0);
    int connected = 0;
    for (int i = 0; i < 1100; ++i)
        if (Fd client = connectTo(socket, false); client.fd >= 0) {
            clients.push_back(std::move(client));
            ++connected;
        }
    EXPECT_TRUE(Session::waitUntil([&] { return openDescriptors(pid) >= limit; }))
        << "the program never ran out of descriptors";
    std::printf("[ figures ] descriptors: %d settled; 200 clients held, %d kept; with a limit of "
                "%d, %d of 1100 clients got in\n",
                settled, static_cast<int>(held), limit, connected);
    clients.clear();
    expectASecondLaunchToLeave(app);
    EXPECT_TRUE(QFileInfo::exists(socket));
    endPolitely(app);
}

TEST_F(MoorlineAppTest, HelpVersionAndToggleAnswerWithOrWithoutADisplayOrAnInstance) {
    struct Case {
        QStringList arguments;
        int status;
        QString says; // on standard output for 0, on standard error otherwise
    };
    const Case cases[] = {
        {{u"--help"_qs}, 0, u"--version"_qs},
        {{u"-h"_qs}, 0, u"--toggle"_qs},
        {{u"--version"_qs}, 0, u"moorline " MOORLINE_VERSION ""_qs},
        {{u"--no-such-option"_qs}, 2, u"Usage: moorline"_qs},
        {{u"stray"_qs}, 2, u"stray"_qs},
    };
    const auto check = [&](bool display) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!display) {
            environment.remove(u"DISPLAY"_qs);
            environment.remove(u"WAYLAND_DISPLAY"_qs);
        }
        for (const Case& c : cases) {
            SCOPED_TRACE(c.arguments.join(u' ').toStdString() + (display ? "" : " (no display)"));
            QProcess command;
            command.setProcessEnvironment(environment);
            command.start(u"" MOORLINE_BINARY_DIR "/moorline"_qs, c.arguments);
            ASSERT_TRUE(command.waitForFinished(10000));
            EXPECT_EQ(command.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(command.exitCode(), c.status);
            const QString said = QString::fromUtf8(c.status == 0 ? command.readAllStandardOutput()
                                                                 : command.readAllStandardError());
            EXPECT_TRUE(said.contains(c.says)) << said.toStdString();
        }
    };
    check(false);
    check(true);

    const auto toggle = [](const QString& dock) {
        QProcess command;
        command.start(u"" MOORLINE_BINARY_DIR "/moorline"_qs, {u"--toggle"_qs, dock});
        command.waitForFinished(10000);
        return std::pair(command.exitCode(), QString::fromUtf8(command.readAllStandardError()));
    };
    const auto firstDockVisible = [] {
        return DockCodec::decode(readFile(docksFile())).docks.at(0).isVisible;
    };
    // No instance: said at once, never waited for.
    QElapsedTimer timer;
    timer.start();
    auto [status, said] = toggle(u"Dock"_qs);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(said.contains(u"not running"_qs)) << said.toStdString();
    EXPECT_LT(timer.elapsed(), 3000);

    QProcess& app = processes.startMoorline();
    ASSERT_FALSE(socketIn().isEmpty());
    check(true); // neither reaching nor disturbing the instance
    ASSERT_TRUE(Session::waitUntil([] { return QFile::exists(docksFile()); }, 10s));
    const QUuid id = DockCodec::decode(readFile(docksFile())).docks.at(0).id;
    // By name, then by id without braces, as the settings window shows the command.
    EXPECT_EQ(toggle(u"Dock"_qs).first, 0);
    EXPECT_TRUE(Session::waitUntil([&] { return !firstDockVisible(); }, 10s));
    EXPECT_EQ(toggle(id.toString(QUuid::WithoutBraces)).first, 0);
    EXPECT_TRUE(Session::waitUntil(firstDockVisible, 10s));
    std::tie(status, said) = toggle(u"No such dock"_qs);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(said.contains(u"No such dock"_qs)) << said.toStdString();
    EXPECT_EQ(app.state(), QProcess::Running);
}
