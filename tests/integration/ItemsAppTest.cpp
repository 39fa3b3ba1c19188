// SPDX-License-Identifier: GPL-3.0-or-later
// The real moorline binary with its items docks: a tab renamed by typing reaches docks.json and
// the keyboard goes back to the user's application; the starter docks fit common screens.
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"
#include "models/DockCodec.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

using Session::activeWindow;

class ItemsAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(Session::dataFolder()).removeRecursively();
        processes.startTray();
    }

    Session::ChildProcesses processes;
};

TEST_F(ItemsAppTest, ATabRenamedByTypingIsSavedAndTheKeyboardGoesBack) {
    Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Typed"));
    dock.position = {100, 300, 240, 300};
    ASSERT_TRUE(Session::writeFile(Session::docksFile(), *DockCodec::encode({dock})));

    // Away from the dock, whose tab the test clicks.
    processes.start(QStringLiteral("xterm"),
                    {"-name", "users-application", "-geometry", "40x10+800+0"});
    const QString users = Session::waitForWindow(QStringLiteral("^users-application$"));
    ASSERT_FALSE(users.isEmpty());
    processes.startMoorline();
    const QStringList shown =
        Session::moorlineWindows(1, [](QSize size) { return size == QSize(240, 300); });
    ASSERT_EQ(shown.size(), 1);
    Session::xdotool({"windowactivate", "--sync", users});
    const QString before = activeWindow();

    // The tab button sits under the header, at the leading edge.
    const QRect panel = Session::windowGeometry(shown.first());
    const auto windows = [] { return Session::visibleWindows(QStringLiteral("^moorline$")); };
    const qsizetype withoutMenu = windows().size();
    Session::xdotool({"mousemove", QString::number(panel.x() + 26), QString::number(panel.y() + 36),
                      "click", "3"});
    ASSERT_TRUE(Session::waitUntil([&] { return windows().size() > withoutMenu; }, 5s))
        << "no menu";
    Session::xdotool({"key", "Down", "Return"});
    // The field has the keyboard: the panel asked for it.
    EXPECT_TRUE(Session::waitUntil([&] { return activeWindow() != before; }, 5s));
    Session::xdotool({"type", "--delay", "30", "Renamed & typed"});
    Session::xdotool({"key", "Return"});
    EXPECT_TRUE(Session::waitUntil(
        [&] {
            const auto decoded = DockCodec::decode(Session::readFile(Session::docksFile()));
            return decoded.ok() && decoded.docks.size() == 1 &&
                   decoded.docks[0].tabs.at(0).name == QStringLiteral("Renamed & typed");
        },
        5s))
        << Session::readFile(Session::docksFile()).toStdString();
    EXPECT_TRUE(Session::waitUntil([&] { return activeWindow() == before; }, 5s))
        << activeWindow().toStdString() << " instead of " << before.toStdString();
}

// A desktop's applications of our own, whatever the machine has installed: a browser, a file
// manager and a terminal under ids the starter docks know, each with an icon of one pure colour.
struct OwnApplications {
    struct Entry {
        const char* id;
        const char* name;
        QRgb colour;
    };
    static constexpr Entry entries[] = {{"firefox.desktop", "Web Browser", qRgb(255, 0, 0)},
                                        {"pcmanfm.desktop", "Files", qRgb(0, 0, 255)},
                                        {"xfce4-terminal.desktop", "Terminal", qRgb(0, 200, 0)}};

    OwnApplications() {
        QDir(dir.path()).mkpath(QStringLiteral("applications"));
        for (const Entry& entry : entries) {
            QImage icon(64, 64, QImage::Format_RGB32);
            icon.fill(entry.colour);
            const QString iconPath = dir.filePath(QLatin1String(entry.id) + u".png"_s);
            icon.save(iconPath);
            Session::writeFile(dir.filePath(u"applications/"_s + QLatin1String(entry.id)),
                               QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\n"
                                              "Exec=true\nIcon=%2\n")
                                   .arg(QLatin1String(entry.name), iconPath)
                                   .toUtf8());
        }
    }
    QTemporaryDir dir;
};

// The box of the pixels of one colour, give or take the edge's blending.
QRect boxOf(const QImage& image, QRgb colour) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::abs(qRed(p) - qRed(colour)) + std::abs(qGreen(p) - qGreen(colour)) +
                    std::abs(qBlue(p) - qBlue(colour)) <
                40)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

// Light grey pixels of an area: text.
int lightPixels(const QImage& image, const QRect& area) {
    int light = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c(image.pixel(x, y));
            light += c.hsvSaturation() < 40 && c.value() > 200 ? 1 : 0;
        }
    return light;
}

// A fresh desktop of the given size (with a home of its own, so that this is a first start)
// for as long as it lives; the test's own session comes back after it.
struct ScreenOfSize {
    explicit ScreenOfSize(const char* size)
        : saved(QProcessEnvironment::systemEnvironment()),
          session(XSession::Options{QLatin1String(size)}) {}
    ~ScreenOfSize() {
        for (const char* name : {"DISPLAY", "HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME",
                                 "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "XDG_DATA_DIRS"})
            qputenv(name, saved.value(QLatin1String(name)).toLocal8Bit());
    }
    QProcessEnvironment saved;
    XSession session;
};

TEST_F(ItemsAppTest, TheStarterDocksNeitherOverlapNorClipOnCommonScreens) {
    const OwnApplications applications;
    for (const QSize screenSize : {QSize(1280, 720), QSize(1366, 768), QSize(1920, 1080)}) {
        const QByteArray size = QByteArray::number(screenSize.width()) + 'x' +
                                QByteArray::number(screenSize.height()) + "x24";
        SCOPED_TRACE(size.constData());
        ScreenOfSize screenOfSize(size.constData());
        ASSERT_TRUE(screenOfSize.session.start());
        qputenv("XDG_DATA_DIRS", applications.dir.path().toLocal8Bit());
        Session::ChildProcesses here;
        here.startTray();
        here.start(QStringLiteral("xcompmgr"));
        here.startMoorline();
        const QStringList shown = Session::moorlineWindows(
            3, [](QSize size) { return size.width() > 64 && size.height() > 64; });
        ASSERT_EQ(shown.size(), 3);
        std::vector<QRect> panels;
        for (const QString& window : shown)
            panels.push_back(Session::windowGeometry(window));
        for (std::size_t i = 0; i < panels.size(); ++i) {
            EXPECT_TRUE(QRect(QPoint(), screenSize).contains(panels[i])) << i;
            for (std::size_t j = i + 1; j < panels.size(); ++j)
                EXPECT_FALSE(panels[i].intersects(panels[j])) << i << " and " << j;
        }
        Session::pause(1s);
        const QString path = QStringLiteral(MOORLINE_BINARY_DIR "/items-starter-docks.png");
        QFile::remove(path);
        ASSERT_EQ(Session::run(QStringLiteral("import"), {"-window", "root", path}, 20s).exitCode,
                  0);
        const QImage screen(path);
        ASSERT_FALSE(screen.isNull());
        // The launcher dock, the tallest, holds the three applications: each icon whole, inside.
        const QRect launcher =
            *std::max_element(panels.begin(), panels.end(), [](const QRect& a, const QRect& b) {
                return a.height() < b.height();
            });
        for (const auto& entry : OwnApplications::entries) {
            const QRect icon = boxOf(screen, entry.colour);
            EXPECT_TRUE(launcher.contains(icon)) << entry.name << " in " << path.toStdString();
            EXPECT_GE(std::min(icon.width(), icon.height()), 44) << entry.name;
        }
        EXPECT_GT(lightPixels(screen, launcher.adjusted(8, 60, -8, -8)), 100)
            << "no labels in " << path.toStdString();
        // The compositor shows the desktop through the rounded corner.
        const QPoint outside = launcher.topLeft() - QPoint(3, 3);
        EXPECT_EQ(screen.pixel(launcher.topLeft()), screen.pixel(outside));
        EXPECT_NE(screen.pixel(launcher.center()), screen.pixel(outside));
    }
}

} // namespace
