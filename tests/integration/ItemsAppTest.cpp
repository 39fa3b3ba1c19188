// SPDX-License-Identifier: GPL-3.0-or-later
// The real moorline binary with its items docks: a tab renamed by typing reaches docks.json and
// the keyboard goes back to the user's application; the starter docks drawn under a compositor.
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"
#include "models/DockCodec.h"

#include <QDir>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

QString docksFile() {
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Moorline/docks.json");
}

using Session::activeWindow;

class ItemsAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(qEnvironmentVariable("XDG_DATA_HOME") + "/Moorline").removeRecursively();
        // A tray, as on a desktop, so that no settings window opens over the docks.
        processes.start(QStringLiteral("trayer"), {"--edge", "top", "--widthtype", "request"});
        Session::waitUntil(
            [] { return !Session::visibleWindows(QStringLiteral("^(panel|trayer)$")).isEmpty(); },
            5s);
    }

    Session::ChildProcesses processes;
};

TEST_F(ItemsAppTest, ATabRenamedByTypingIsSavedAndTheKeyboardGoesBack) {
    Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Typed"));
    dock.position = {100, 300, 240, 300};
    ASSERT_TRUE(Session::writeFile(docksFile(), *DockCodec::encode({dock})));

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
            const auto decoded = DockCodec::decode(Session::readFile(docksFile()));
            return decoded.ok() && decoded.docks.size() == 1 &&
                   decoded.docks[0].tabs.at(0).name == QStringLiteral("Renamed & typed");
        },
        5s))
        << Session::readFile(docksFile()).toStdString();
    EXPECT_TRUE(Session::waitUntil([&] { return activeWindow() == before; }, 5s))
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
    processes.start(QStringLiteral("xcompmgr"));
    processes.startMoorline();
    const QStringList shown = Session::moorlineWindows(
        3, [](QSize size) { return size.width() > 64 && size.height() > 64; });
    ASSERT_EQ(shown.size(), 3);
    Session::pause(1s);
    const QString path = QStringLiteral(MOORLINE_BINARY_DIR "/items-starter-docks.png");
    QFile::remove(path);
    ASSERT_EQ(Session::run(QStringLiteral("import"), {"-window", "root", path}, 20s).exitCode, 0);
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
