#include "integration/support/XSession.h"
#include "models/DockCodec.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSize>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <csignal>

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
        .entryList({QStringLiteral("moorline-*.socket")}, QDir::System | QDir::Files);
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

    QProcess& launch() {
        auto& process = *processes.emplace_back(std::make_unique<QProcess>());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
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
