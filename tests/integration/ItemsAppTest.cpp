// The real moorline binary with its items docks: a tab renamed by typing reaches docks.json and
// the keyboard goes back to the user's application; the starter docks drawn under a compositor.
#include "integration/support/XSession.h"
#include "models/DockCodec.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>

namespace {

using namespace std::chrono_literals;

QString docksFile() {
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Moorline/docks.json");
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString xdotool(const QStringList& arguments) {
    return QString::fromLatin1(Desktop::run(QStringLiteral("xdotool"), arguments).out.trimmed());
}

QStringList visibleWindows(const QString& instance) {
    return xdotool({"search", "--onlyvisible", "--classname", u'^' + instance + u'$'})
        .split(u'\n', Qt::SkipEmptyParts);
}

QString activeWindow() {
    return QString::fromLatin1(
        Desktop::run(QStringLiteral("xprop"), {"-root", "_NET_ACTIVE_WINDOW"}).out.trimmed());
}

QRect geometry(const QString& window) {
    const QString info =
        QString::fromLatin1(Desktop::run(QStringLiteral("xwininfo"), {"-id", window}).out);
    const auto field = [&](const char* name) {
        return QRegularExpression(QStringLiteral("%1:\\s*(-?\\d+)").arg(QLatin1String(name)))
            .match(info)
            .captured(1)
            .toInt();
    };
    return {field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
            field("Height")};
}

class ItemsAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(qEnvironmentVariable("XDG_DATA_HOME") + "/Moorline").removeRecursively();
    }
    void TearDown() override {
        for (auto& process : processes)
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(5000))
                    process->kill();
            }
    }

    QProcess& run(const QString& program, const QStringList& arguments = {}) {
        QProcess& process = *processes.emplace_back(std::make_unique<QProcess>());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForStarted(5000));
        return process;
    }
    void launchMoorline() { run(QStringLiteral(MOORLINE_BINARY_DIR "/moorline")); }
    // The panels of the moorline class, once `count` are shown.
    QStringList panels(int count) {
        QStringList found;
        Desktop::waitUntil(
            [&] {
                found = visibleWindows(QStringLiteral("moorline"));
                return found.size() >= count;
            },
            10s);
        return found;
    }

    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(ItemsAppTest, ATabRenamedByTypingIsSavedAndTheKeyboardGoesBack) {
    Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Typed"));
    dock.position = {100, 300, 240, 300};
    QDir().mkpath(QFileInfo(docksFile()).path());
    QFile file(docksFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(*DockCodec::encode({dock}));
    file.close();

    run(QStringLiteral("xterm"), {"-name", "users-application"});
    QStringList users;
    ASSERT_TRUE(Desktop::waitUntil(
        [&] { return !(users = visibleWindows(QStringLiteral("users-application"))).isEmpty(); },
        10s));
    launchMoorline();
    const QStringList shown = panels(1);
    ASSERT_EQ(shown.size(), 1);
    xdotool({"windowactivate", "--sync", users.first()});
    const QString before = activeWindow();

    // The tab button sits under the header, at the leading edge.
    const QRect panel = geometry(shown.first());
    xdotool({"mousemove", QString::number(panel.x() + 26), QString::number(panel.y() + 36), "click",
             "3"});
    ASSERT_TRUE(Desktop::waitUntil(
        [&] { return visibleWindows(QStringLiteral("moorline")).size() > 1; }, 5s))
        << "no menu";
    xdotool({"key", "Down", "Return"});
    // The field has the keyboard: the panel asked for it.
    EXPECT_TRUE(Desktop::waitUntil([&] { return activeWindow() != before; }, 5s));
    xdotool({"type", "--delay", "30", "Renamed & typed"});
    xdotool({"key", "Return"});
    EXPECT_TRUE(Desktop::waitUntil(
        [&] {
            const auto decoded = DockCodec::decode(readFile(docksFile()));
            return decoded.ok() && decoded.docks.size() == 1 &&
                   decoded.docks[0].tabs.at(0).name == QStringLiteral("Renamed & typed");
        },
        5s))
        << readFile(docksFile()).toStdString();
    EXPECT_TRUE(Desktop::waitUntil([&] { return activeWindow() == before; }, 5s))
        << activeWindow().toStdString() << " instead of " << before.toStdString();
}

// Pixels of an area that are strongly coloured (an application's icon), and light and grey (text).
std::pair<int, int> colouredAndLight(const QImage& image, const QRect& area) {
    int coloured = 0;
    int light = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c(image.pixel(x, y));
            coloured += c.hsvSaturation() > 120 && c.value() > 100 ? 1 : 0;
            light += c.hsvSaturation() < 40 && c.value() > 200 ? 1 : 0;
        }
    return {coloured, light};
}

TEST_F(ItemsAppTest, TheStarterDocksShowIconsAndLabelsUnderACompositor) {
    // The system's applications: the starter dock picks the terminal from them.
    qputenv("XDG_DATA_DIRS", QByteArray("/usr/local/share:/usr/share"));
    run(QStringLiteral("xcompmgr"));
    launchMoorline();
    const QStringList shown = panels(3);
    ASSERT_EQ(shown.size(), 3);
    Desktop::waitUntil([] { return false; }, 1s);
    const QString path = QStringLiteral(MOORLINE_BINARY_DIR "/items-starter-docks.png");
    QFile::remove(path);
    ASSERT_EQ(Desktop::run(QStringLiteral("import"), {"-window", "root", path}, 20s).exitCode, 0);
    const QImage screen(path);
    ASSERT_FALSE(screen.isNull());
    // The items dock, 180 x 420 with its top-left corner at 60, 260.
    const QRect dock(60, 260, 180, 420);
    const QRect body = dock.adjusted(8, 60, -8, -8);
    const auto [coloured, light] = colouredAndLight(screen, body);
    EXPECT_GT(coloured, 200) << "no application icon in " << path.toStdString();
    EXPECT_GT(light, 100) << "no labels in " << path.toStdString();
    // The compositor shows the desktop through the rounded corner.
    EXPECT_EQ(screen.pixel(dock.topLeft()), screen.pixel(dock.topLeft() - QPoint(3, 3)));
    EXPECT_NE(screen.pixel(dock.center()), screen.pixel(dock.topLeft() - QPoint(3, 3)));
}

} // namespace
