#include "app/InstanceListener.h"
#include "integration/support/XSession.h"
#include "models/DockCodec.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSize>
#include <QStandardPaths>

#include <QCryptographicHash>
#include <QLocalServer>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace std::chrono_literals;

// The real moorline binary in the private session: start-up, the docks file, one instance,
// and an orderly end.
namespace {

QString dataDir() {
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Moorline");
}
QString docksFile() {
    return dataDir() + QStringLiteral("/docks.json");
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
}

QStringList runtimeSockets() {
    return QDir(qEnvironmentVariable("XDG_RUNTIME_DIR"))
        .entryList({QStringLiteral(MOORLINE_APP_ID "-*.socket")}, QDir::System | QDir::Files);
}

class MoorlineAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(dataDir()).removeRecursively();
        // Start with no default browser or terminal: the starter dock is docklets only.
        qputenv("XDG_DATA_DIRS", QByteArray("/nonexistent"));
    }
    void TearDown() override {
        for (auto& process : processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(3000);
            }
        }
    }

    QProcess&
    launch(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        auto& process = *processes.emplace_back(std::make_unique<QProcess>());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(MOORLINE_BINARY_DIR "/moorline"), {});
        EXPECT_TRUE(process.waitForStarted(5000));
        return process;
    }

    // The instance is up once it listens for later launches.
    bool waitForInstance() {
        return Desktop::waitUntil([] { return !runtimeSockets().isEmpty(); }, 10s);
    }

    void terminate(QProcess& process) {
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }

    std::vector<std::unique_ptr<QProcess>> processes;
};

} // namespace

TEST_F(MoorlineAppTest, WritesTheStarterDocksShortlyAfterStart) {
    QProcess& app = launch();
    ASSERT_TRUE(waitForInstance());
    ASSERT_TRUE(Desktop::waitUntil([] { return QFile::exists(docksFile()); }, 10s));
    const auto decoded = DockCodec::decode(readFile(docksFile()));
    ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
    ASSERT_EQ(decoded.docks.size(), 3u);
    EXPECT_EQ(decoded.docks[0].name, QStringLiteral("Dock"));
    EXPECT_EQ(decoded.docks[0].tabs.at(0).items.size(), 4u); // the docklets
    terminate(app);
}

TEST_F(MoorlineAppTest, KeepsAnUnreadableFileBesideTheNewOne) {
    const QByteArray broken = "[{\"name\": \"my dock\", oops}]";
    writeFile(docksFile(), broken);
    QProcess& app = launch();
    ASSERT_TRUE(
        Desktop::waitUntil([] { return DockCodec::decode(readFile(docksFile())).ok(); }, 10s));
    const QStringList kept = QDir(dataDir()).entryList({QStringLiteral("docks.json.unreadable-*")});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(readFile(dataDir() + QLatin1Char('/') + kept[0]), broken);
    terminate(app);
}

TEST_F(MoorlineAppTest, SigtermWritesTheSaveStillWaitingInItsDelay) {
    QProcess& app = launch();
    QElapsedTimer sinceUp;
    ASSERT_TRUE(waitForInstance());
    sinceUp.start();
    ASSERT_FALSE(QFile::exists(docksFile()));
    terminate(app);
    // The store was made after the instance began to listen, so its save was still waiting.
    if (sinceUp.elapsed() >= 350)
        GTEST_SKIP() << "too slow to catch the save in its delay (" << sinceUp.elapsed() << " ms)";
    EXPECT_EQ(DockCodec::decode(readFile(docksFile())).docks.size(), 3u);
}

// Visible windows of the moorline class, smallest first.
QStringList visibleWindows() {
    const auto result = Desktop::run(QStringLiteral("xdotool"),
                                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                      QStringLiteral("--classname"), QStringLiteral("^moorline$")});
    return QString::fromLatin1(result.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QSize windowSize(const QString& window) {
    const auto info = Desktop::run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
    const auto match = QRegularExpression(QStringLiteral("Width: (\\d+)\\s+Height: (\\d+)"))
                           .match(QString::fromLatin1(info.out));
    return match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
}

TEST_F(MoorlineAppTest, ShowsItsIconInTheTrayWithItsMenu) {
    QProcess tray;
    tray.start(QStringLiteral("trayer"),
               {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--widthtype"),
                QStringLiteral("request")});
    ASSERT_TRUE(tray.waitForStarted(5000));
    QProcess& app = launch();
    QString icon;
    ASSERT_TRUE(Desktop::waitUntil(
        [&] {
            // The tray host embeds a small window; the panels are larger.
            for (const QString& window : visibleWindows()) {
                const QSize size = windowSize(window);
                if (size.isValid() && size.width() <= 64 && size.height() <= 64)
                    icon = window;
            }
            return !icon.isEmpty();
        },
        10s));
    const int before = static_cast<int>(visibleWindows().size());
    Desktop::run(QStringLiteral("xdotool"),
                 {QStringLiteral("mousemove"), QStringLiteral("--window"), icon,
                  QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("click"),
                  QStringLiteral("3")});
    EXPECT_TRUE(
        Desktop::waitUntil([&] { return static_cast<int>(visibleWindows().size()) > before; }, 5s))
        << "no menu opened";
    terminate(app);
    tray.terminate();
    tray.waitForFinished(3000);
}

TEST_F(MoorlineAppTest, ASecondLaunchLeavesAndTheFirstKeepsRunning) {
    QProcess& first = launch();
    ASSERT_TRUE(waitForInstance());
    QProcess& second = launch();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(runtimeSockets().size(), 1);
    terminate(first);
}

TEST_F(MoorlineAppTest, SigtermWritesAMoveStillWaitingInItsDelay) {
    Dock dock = Dock::makeDefault(DockKind::clippings, QStringLiteral("Moved"));
    dock.position = {100, 100, 200, 300};
    writeFile(docksFile(), *DockCodec::encode({dock}));
    QProcess& app = launch();
    QString window;
    ASSERT_TRUE(Desktop::waitUntil(
        [&] {
            // The panel, not the settings window that a session without a tray host gets too.
            for (const QString& candidate : visibleWindows())
                if (windowSize(candidate) == QSize(200, 300))
                    window = candidate;
            return !window.isEmpty();
        },
        10s));
    QElapsedTimer sinceMove;
    sinceMove.start();
    Desktop::run(QStringLiteral("xdotool"), {QStringLiteral("windowmove"), window,
                                             QStringLiteral("400"), QStringLiteral("200")});
    // Once the server has the window there, the program has its notice of the move queued.
    ASSERT_TRUE(Desktop::waitUntil([&] {
        const auto info = Desktop::run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
        return info.out.contains("Absolute upper-left X:  400");
    }));
    terminate(app);
    // The panel writes a move back 0.3 s after it ends; the quit came before that.
    if (sinceMove.elapsed() >= 250)
        GTEST_SKIP() << "too slow to catch the move in its delay (" << sinceMove.elapsed()
                     << " ms)";
    const auto decoded = DockCodec::decode(readFile(docksFile()));
    ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
    ASSERT_EQ(decoded.docks.size(), 1u);
    EXPECT_EQ(decoded.docks[0].position.x, 400);
}

// The single-instance channel, against the real program and real sockets.
namespace {

#ifdef __SANITIZE_ADDRESS__
constexpr bool sanitised = true;
#else
constexpr bool sanitised = false;
#endif

QString cacheRuntimeFolder() {
    return qEnvironmentVariable("XDG_CACHE_HOME") + QStringLiteral("/moorline-runtime");
}

// The socket of the instance in `folder`, once there is one.
QString socketIn(const QString& folder) {
    QString found;
    Desktop::waitUntil(
        [&] {
            const QStringList names = QDir(folder).entryList(
                {QStringLiteral(MOORLINE_APP_ID "-*.socket")}, QDir::System | QDir::Files);
            found = names.isEmpty() ? QString() : folder + QLatin1Char('/') + names[0];
            return !found.isEmpty();
        },
        10s);
    return found;
}

// The names our lock and socket have in a folder: the key is the data folder.
QString instanceBase(const QString& folder) {
    const QByteArray key =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toUtf8();
    return folder +
           QStringLiteral("/" MOORLINE_APP_ID "-%1")
               .arg(QString::fromLatin1(
                   QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16)));
}

struct Fd {
    int fd = -1;
    Fd() = default;
    explicit Fd(int value) : fd(value) {}
    Fd(Fd&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
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

// Whether the server has closed the connection.
bool closedByServer(const Fd& client) {
    char byte = 0;
    return ::recv(client.fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
}

qint64 residentKilobytes(qint64 pid) {
    const QByteArray status = readFile(QStringLiteral("/proc/%1/status").arg(pid));
    const auto match = QRegularExpression(QStringLiteral("VmRSS:\\s+(\\d+) kB"))
                           .match(QString::fromLatin1(status));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

int openDescriptors(qint64 pid) {
    return static_cast<int>(QDir(QStringLiteral("/proc/%1/fd").arg(pid))
                                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                                .size());
}

} // namespace

TEST_F(MoorlineAppTest, WithoutAPrivateRuntimeFolderTheLockGoesToAPrivateCacheFolder) {
    // A squatter in the shared temporary folder: a live "moorline" holding the lock (as
    // QLockFile writes it) and a socket that collects what it is sent.
    const QString squat = QDir::tempPath();
    const QString squatterBinary = squat + QStringLiteral("/moorline-squatter/moorline");
    QDir().mkpath(QFileInfo(squatterBinary).path());
    QFile::remove(squatterBinary);
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), squatterBinary));
    QFile::setPermissions(squatterBinary, QFile::ReadOwner | QFile::ExeOwner);
    QProcess squatter;
    const QString shared = squat + QStringLiteral("/moorline-shared-runtime");
    // Whatever happens, nothing of ours stays in the shared folder; Qt makes a runtime folder
    // there itself when the variable is unset.
    const passwd* user = ::getpwuid(::geteuid());
    const QString qtRuntime =
        squat + QStringLiteral("/runtime-") + QString::fromLocal8Bit(user ? user->pw_name : "");
    struct Cleanup {
        std::function<void()> run;
        ~Cleanup() { run(); }
    } cleanup{[&, qtRuntimeExisted = QFileInfo::exists(qtRuntime)] {
        squatter.kill();
        squatter.waitForFinished();
        QFile::remove(instanceBase(squat) + QStringLiteral(".lock"));
        QDir(shared).removeRecursively();
        QDir(QFileInfo(squatterBinary).path()).removeRecursively();
        if (!qtRuntimeExisted)
            QDir().rmdir(qtRuntime);
    }};
    squatter.start(squatterBinary, {QStringLiteral("60")});
    ASSERT_TRUE(squatter.waitForStarted());
    writeFile(instanceBase(squat) + QStringLiteral(".lock"),
              QByteArray::number(squatter.processId()) + "\nmoorline\n" +
                  QSysInfo::machineHostName().toUtf8() + "\n");
    QLocalServer squatterSocket;
    QLocalServer::removeServer(instanceBase(squat) + QStringLiteral(".socket"));
    ASSERT_TRUE(squatterSocket.listen(instanceBase(squat) + QStringLiteral(".socket")));

    // Unset, missing, shared with others, or a symlink to a private folder: none will do.
    QDir().mkpath(shared);
    QFile::setPermissions(shared, QFile::Permissions(0x7777));
    const QString linked = QDir::homePath() + QStringLiteral("/runtime-link");
    QFile::remove(linked);
    ASSERT_TRUE(QFile::link(qEnvironmentVariable("XDG_RUNTIME_DIR"), linked));
    for (const QString& runtime :
         {QString(), QStringLiteral("/nonexistent/runtime"), shared, linked}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (runtime.isEmpty())
            environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        else
            environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        QProcess& first = launch(environment);
        const QString socket = socketIn(cacheRuntimeFolder());
        ASSERT_FALSE(socket.isEmpty()) << runtime.toStdString();
        struct stat folder {};
        ASSERT_EQ(::lstat(QFile::encodeName(cacheRuntimeFolder()).constData(), &folder), 0);
        EXPECT_EQ(folder.st_mode & 07777, 0700u);
        QProcess& second = launch(environment);
        ASSERT_TRUE(second.waitForFinished(10000));
        EXPECT_EQ(second.exitCode(), 0);
        EXPECT_EQ(first.state(), QProcess::Running) << runtime.toStdString();
        EXPECT_FALSE(squatterSocket.hasPendingConnections());
        terminate(first);
    }
    EXPECT_TRUE(QDir(shared).isEmpty());
}

TEST_F(MoorlineAppTest, AHugeMessageIsCutOffWithoutGrowingMemory) {
    QProcess& app = launch();
    ASSERT_TRUE(waitForInstance());
    const QString socket = socketIn(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    ASSERT_TRUE(Desktop::waitUntil([] { return QFile::exists(docksFile()); }, 10s)); // settled
    const qint64 before = residentKilobytes(app.processId());

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
        const ssize_t written = ::send(client.fd, chunk.constData(), chunk.size(), MSG_NOSIGNAL);
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            break; // let go by the server
        sent += std::max<ssize_t>(written, 0);
    }
    const qint64 after = residentKilobytes(app.processId());
    std::printf(
        "[ figures ] sent %lld KB before the server let go in %lld ms; VmRSS %lld -> %lld KB\n",
        static_cast<long long>(sent >> 10), static_cast<long long>(timer.elapsed()),
        static_cast<long long>(before), static_cast<long long>(after));
    EXPECT_LT(sent, qint64(64) << 20);
    EXPECT_LT(after - before, 32 * 1024);

    QProcess& second = launch();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    terminate(app);
}

TEST_F(MoorlineAppTest, ACrowdOfClientsOrRunningOutOfDescriptorsDoesNotCloseTheChannel) {
    QProcess& app = launch();
    ASSERT_TRUE(waitForInstance());
    const QString socket = socketIn(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    const auto pid = static_cast<pid_t>(app.processId());
    ASSERT_TRUE(Desktop::waitUntil([] { return QFile::exists(docksFile()); }, 10s)); // settled
    const int settled = openDescriptors(pid);

    // A crowd that keeps its connections: the server keeps a few, lets the rest go.
    std::vector<Fd> clients;
    for (int i = 0; i < 200; ++i)
        clients.push_back(connectTo(socket));
    const auto kept = [&] {
        return std::count_if(clients.begin(), clients.end(),
                             [](const Fd& client) { return !closedByServer(client); });
    };
    EXPECT_TRUE(Desktop::waitUntil([&] { return kept() <= InstanceListener::maximumConnections; }))
        << kept() << " connections kept";
    const auto held = kept();
    EXPECT_LE(openDescriptors(pid), settled + InstanceListener::maximumConnections + 1);
    clients.clear();

    if (sanitised) {
        // UBSan checks each virtual call by reading memory through a pipe; with no descriptor
        // left for one, it takes every call for a fault and stops the program.
        terminate(app);
        GTEST_SKIP() << "running out of descriptors cannot be tried under the sanitisers";
    }

    // A few descriptors to spare, fewer than connections allowed, then a crowd.
    EXPECT_TRUE(Desktop::waitUntil([&] { return openDescriptors(pid) <= settled; }));
    const int limit = openDescriptors(pid) + 3;
    const rlimit low{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
    ASSERT_EQ(::prlimit(pid, RLIMIT_NOFILE, &low, nullptr), 0);
    int connected = 0;
    for (int i = 0; i < 1100; ++i)
        if (Fd client = connectTo(socket, false); client.fd >= 0) {
            clients.push_back(std::move(client));
            ++connected;
        }
    EXPECT_TRUE(Desktop::waitUntil([&] { return openDescriptors(pid) >= limit; }))
        << "the program never ran out of descriptors";
    std::printf("[ figures ] descriptors: %d settled; 200 clients held, %d kept; with a limit of "
                "%d, %d of 1100 clients got in\n",
                settled, static_cast<int>(held), limit, connected);
    clients.clear();

    QProcess& second = launch();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0) << "the second launch did not reach the first";
    EXPECT_EQ(app.state(), QProcess::Running);
    EXPECT_TRUE(QFileInfo::exists(socket));
    terminate(app);
}
