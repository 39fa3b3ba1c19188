// SPDX-License-Identifier: GPL-3.0-or-later
// The real moorline binary by keyboard and through the accessibility bus: a screen reader's view
// of a dock's tiles read with AT-SPI, a tile pressed through it, and a dock called up, walked and
// launched from with keys alone, the keyboard going back where it was.
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"
#include "models/DockCodec.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QUuid>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

class AccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(Session::dataFolder()).removeRecursively();
        // The applications the docks hold, where the desktop finds (and trusts) them; each
        // leaves a file behind when it runs.
        apps = QDir::tempPath() + "/moorline-a11y-" + QUuid::createUuid().toString(QUuid::Id128);
        for (const char* name : {"One", "Two"}) {
            QFile::remove(marker(name));
            const QByteArray entry = "[Desktop Entry]\nType=Application\nName=Marker " +
                                     QByteArray(name) + "\nExec=touch " + marker(name).toUtf8() +
                                     "\n";
            ASSERT_TRUE(Session::writeFile(entryPath(name), entry));
        }
        qputenv("XDG_DATA_DIRS", (apps + "/share").toUtf8());
        processes.startTray();
    }
    void TearDown() override { QDir(apps).removeRecursively(); }

    QString entryPath(const char* name) const {
        return apps + "/share/applications/marker-" + QString::fromLatin1(name).toLower() +
               ".desktop";
    }
    QString marker(const char* name) const {
        return apps + "/ran-" + QString::fromLatin1(name).toLower();
    }
    DockItem application(const char* name) const {
        DockItem item = DockItem::makeDocklet(DockletKind::clock, {});
        item.kind = DockItemKind::application;
        item.docklet.reset();
        item.name = "Marker " + QString::fromLatin1(name);
        item.path = entryPath(name);
        return item;
    }
    // One items dock "Keys", a column of tiles, called up with Ctrl+Super+K.
    void startDock(const std::vector<DockItem>& items, bool visible) {
        Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Keys"));
        dock.position = {100, 200, 200, 360};
        dock.columns = 1;
        dock.hotKey = {40, 0x1100};
        dock.isVisible = visible;
        dock.tabs.front().items = items;
        ASSERT_TRUE(Session::writeFile(Session::docksFile(), *DockCodec::encode({dock})));
        // The accessibility bus, as a desktop session starts it: by activation on the session
        // bus, with this session's display and runtime folder (the session bus started before
        // them, and a launcher without them shares its socket with every other test's).
        QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        QDBusMessage update =
            QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                           "org.freedesktop.DBus", "UpdateActivationEnvironment");
        qDBusRegisterMetaType<QMap<QString, QString>>();
        QMap<QString, QString> variables;
        for (const char* name : {"DISPLAY", "XDG_RUNTIME_DIR"})
            variables.insert(name, qEnvironmentVariable(name));
        update << QVariant::fromValue(variables);
        ASSERT_EQ(QDBusConnection::sessionBus().call(update).type(), QDBusMessage::ReplyMessage);
        ASSERT_TRUE(bus->startService(QStringLiteral("org.a11y.Bus")).isValid());
        // Qt on it from the start.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        processes.startMoorline(environment);
    }
    static Session::Result atspi(const QStringList& arguments) {
        return Session::run(QStringLiteral("/usr/bin/python3"),
                            QStringList{QStringLiteral(
                                MOORLINE_SOURCE_DIR "/tests/integration/support/atspi-tree.py")} +
                                arguments,
                            20s);
    }
    // The tree's lines: depth, role, name, description, actions, extents.
    static QList<QStringList> tree() {
        QList<QStringList> rows;
        for (const QByteArray& line : atspi({"tree", "moorline"}).out.split('\n'))
            if (!line.isEmpty())
                rows.append(QString::fromUtf8(line).split('\t'));
        return rows;
    }
    static std::optional<QStringList> row(const QList<QStringList>& rows, const QString& role,
                                          const QString& namePrefix) {
        for (const QStringList& r : rows)
            if (r.size() >= 6 && r[1] == role && r[2].startsWith(namePrefix))
                return r;
        return std::nullopt;
    }

    Session::ChildProcesses processes;
    QString apps;
};

TEST_F(AccessibilityTest, AScreenReaderReadsTheTilesAndPressesOne) {
    DockItem url = DockItem::makeDocklet(DockletKind::clock, QStringLiteral("Example"));
    url.kind = DockItemKind::url;
    url.docklet.reset();
    url.urlString = QStringLiteral("https://example.org/");
    startDock({application("One"), url,
               DockItem::makeDocklet(DockletKind::clock, QStringLiteral("Clock"))},
              true);
    ASSERT_EQ(
        Session::moorlineWindows(1, [](QSize size) { return size == QSize(200, 360); }).size(), 1);
    QList<QStringList> rows;
    ASSERT_TRUE(Session::waitUntil(
        [&] {
            rows = tree();
            return row(rows, "push button", "Clock").has_value();
        },
        20s))
        << atspi({"tree", "moorline"}).err.toStdString();
    std::string all;
    for (const QStringList& r : rows)
        all += r.join(" | ").toStdString() + "\n";

    // A top-level window is a frame to AT-SPI.
    const auto panel = row(rows, "frame", "Keys");
    ASSERT_TRUE(panel) << all;
    EXPECT_EQ((*panel)[3], "Launcher Dock");
    ASSERT_TRUE(row(rows, "list", "")) << all;
    const auto one = row(rows, "push button", "Marker One");
    const auto link = row(rows, "push button", "Example");
    const auto clock = row(rows, "push button", "Clock, ");
    ASSERT_TRUE(one && link && clock) << all;
    EXPECT_EQ((*one)[3], "Application");
    EXPECT_EQ((*link)[3], "https://example.org/");
    EXPECT_EQ((*clock)[3], "Clock");
    // The clock says the time: "Clock, 14:05".
    EXPECT_TRUE(QRegularExpression(R"(^Clock, \d)").match((*clock)[2]).hasMatch()) << all;
    for (const auto& tile : {one, link, clock}) {
        EXPECT_TRUE((*tile)[4].split(',').contains("Press")) << all;
        EXPECT_TRUE((*tile)[4].split(',').contains("ShowMenu")) << all;
    }
    // Tiles stand where they are drawn, one under the other inside the panel.
    const QRect window = Session::windowGeometry(
        Session::moorlineWindows(1, [](QSize size) { return size == QSize(200, 360); }).first());
    const auto rect = [](const QStringList& r) {
        const QStringList p = r[5].split(',');
        return QRect(p[0].toInt(), p[1].toInt(), p[2].toInt(), p[3].toInt());
    };
    EXPECT_TRUE(window.contains(rect(*one))) << all;
    EXPECT_LT(rect(*one).top(), rect(*link).top()) << all;

    EXPECT_EQ(atspi({"press", "moorline", "Marker One", "Press"}).exitCode, 0);
    EXPECT_TRUE(Session::waitUntil([&] { return QFile::exists(marker("One")); }, 10s));
}

TEST_F(AccessibilityTest, TheHotKeyBringsTheKeyboardAndTakesItBack) {
    startDock({application("One"), application("Two")}, false);
    processes.start(QStringLiteral("xterm"),
                    {"-name", "users-application", "-geometry", "40x10+800+0"});
    const QString users = Session::waitForWindow(QStringLiteral("^users-application$"));
    ASSERT_FALSE(users.isEmpty());
    // Moorline may answer on the accessibility bus before it has grabbed its chords; its tray
    // icon comes once they are in place.
    ASSERT_TRUE(Session::waitUntil([] { return atspi({"tree", "moorline"}).exitCode == 0; }, 20s));
    ASSERT_FALSE(Session::moorlineWindows(1, [](QSize size) {
                     return size.isValid() && size.width() <= 64 && size.height() <= 64;
                 }).isEmpty());
    Session::xdotool({"windowactivate", "--sync", users});
    const QString before = Session::activeWindow();
    const auto panels = [] {
        return Session::moorlineWindows(0, [](QSize size) { return size == QSize(200, 360); });
    };

    Session::xdotool({"key", "ctrl+super+k"});
    ASSERT_TRUE(Session::waitUntil([&] { return panels().size() == 1; }, 10s));
    EXPECT_TRUE(Session::waitUntil([&] { return Session::activeWindow() != before; }, 5s))
        << "the dock did not take the keyboard";
    // The first tile is current: Down goes to the second, Return opens it as a click would.
    Session::xdotool({"key", "Down", "Return"});
    EXPECT_TRUE(Session::waitUntil([&] { return QFile::exists(marker("Two")); }, 10s));
    EXPECT_FALSE(QFile::exists(marker("One")));

    // The hot key hides the dock and gives the keyboard back.
    Session::xdotool({"key", "ctrl+super+k"});
    ASSERT_TRUE(Session::waitUntil([&] { return panels().isEmpty(); }, 10s));
    EXPECT_TRUE(Session::waitUntil([&] { return Session::activeWindow() == before; }, 5s))
        << Session::activeWindow().toStdString() << " instead of " << before.toStdString();

    // Escape gives the keyboard back and leaves the dock on screen.
    Session::xdotool({"key", "ctrl+super+k"});
    ASSERT_TRUE(Session::waitUntil([&] { return panels().size() == 1; }, 10s));
    EXPECT_TRUE(Session::waitUntil([&] { return Session::activeWindow() != before; }, 5s));
    Session::xdotool({"key", "Escape"});
    EXPECT_TRUE(Session::waitUntil([&] { return Session::activeWindow() == before; }, 5s))
        << Session::activeWindow().toStdString() << " instead of " << before.toStdString();
    EXPECT_EQ(panels().size(), 1);

    Session::xdotool({"key", "ctrl+super+k"});
    EXPECT_TRUE(Session::waitUntil([&] { return panels().isEmpty(); }, 10s));
    EXPECT_EQ(Session::activeWindow(), before);
}

} // namespace
