#include "backends/x11/EwmhRunningApplications.h"
#include "fakes/FakeWorkspace.h"
#include "integration/support/XSession.h"
#include "platform/QtScheduler.h"
#include "runtime/RunningAppsMonitor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstring>
#include <memory>

using namespace std::chrono_literals;

namespace {

// The test's own desktop entries are the only ones installed, so that programs without one are
// known by class. GIO reads XDG_DATA_DIRS once, at its first use, so it is set before the first
// test; not before main, since the window manager needs the system's data directories.
struct EntriesDirectory : ::testing::Environment {
    EntriesDirectory() {
        QDir().mkpath(dir.path() + QStringLiteral("/applications"));
        QImage red(16, 16, QImage::Format_ARGB32);
        red.fill(Qt::red);
        red.save(iconPath());
        writeEntry(entryPath(), QStringLiteral("Probe Terminal"), QStringLiteral("MoorlineProbe"),
                   iconPath());
    }
    void SetUp() override { qputenv("XDG_DATA_DIRS", dir.path().toLocal8Bit()); }
    QString iconPath() const { return dir.path() + QStringLiteral("/probe.png"); }
    QString entryPath() const { return dir.path() + QStringLiteral("/applications/probe.desktop"); }

    static void writeEntry(const QString& path, const QString& name, const QString& wmClass,
                           const QString& icon) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\n"
                                  "Exec=xterm -class %2\nIcon=%3\nStartupWMClass=%2\n")
                       .arg(name, wmClass, icon)
                       .toUtf8());
    }

    QTemporaryDir dir;
};
const EntriesDirectory& entries =
    *static_cast<EntriesDirectory*>(::testing::AddGlobalTestEnvironment(new EntriesDirectory));

QStringList names(const std::vector<RunningApplication>& apps) {
    QStringList out;
    for (const auto& app : apps)
        out << app.localizedName.value_or(QString());
    return out;
}

QByteArray windowState(std::uint32_t window) {
    const auto result = Desktop::run(QStringLiteral("xprop"),
                                     {QStringLiteral("-id"), QString::number(window),
                                      QStringLiteral("_NET_WM_STATE"), QStringLiteral("WM_STATE")});
    return result.out;
}

class RunningAppsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Programs of the test before may take a moment to go.
        ASSERT_TRUE(Desktop::waitUntil([&] { return monitor.apps->empty(); }, 10s))
            << names(*monitor.apps).join(", ").toStdString();
    }

    void TearDown() override {
        for (auto& process : processes) {
            if (process->state() == QProcess::NotRunning)
                continue;
            process->terminate();
            if (!process->waitForFinished(3000))
                process->kill();
            process->waitForFinished(1000);
        }
    }

    QProcess& start(const QString& program, const QStringList& arguments) {
        auto process = std::make_unique<QProcess>();
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->start(program, arguments);
        EXPECT_TRUE(process->waitForStarted(5000)) << program.toStdString();
        processes.push_back(std::move(process));
        return *processes.back();
    }
    QProcess& startXterm(const QStringList& extra = {}) {
        return start(QStringLiteral("xterm"),
                     extra + QStringList{QStringLiteral("-e"), QStringLiteral("sleep"),
                                         QStringLiteral("600")});
    }

    std::optional<RunningApplication> app(const QProcess& process) const {
        for (const auto& app : *monitor.apps)
            if (app.processIdentifier == process.processId())
                return app;
        return std::nullopt;
    }
    bool isFrontmost(const QProcess& process) const {
        return monitor.frontmostApp->has_value() &&
               (*monitor.frontmostApp)->processIdentifier == process.processId();
    }
    bool waitForApp(const QProcess& process) {
        return Desktop::waitUntil([&] { return app(process).has_value(); }, 10s);
    }

    EwmhRunningApplications source;
    FakeWorkspace workspace;
    QtScheduler scheduler;
    RunningAppsMonitor monitor{source, workspace, scheduler};
    std::vector<std::unique_ptr<QProcess>> processes;
};

} // namespace

TEST_F(RunningAppsTest, FollowsProgramsThatStartAndExitSortedByName) {
    const QProcess& xterm = startXterm();
    QProcess& xclock = start(QStringLiteral("xclock"), {});
    ASSERT_TRUE(waitForApp(xterm));
    ASSERT_TRUE(waitForApp(xclock));
    EXPECT_EQ(names(*monitor.apps), (QStringList{"XClock", "XTerm"}));
    // With no desktop entry, the executable stands for the bundle.
    EXPECT_EQ(app(xclock)->bundleLocation, QStringLiteral("/usr/bin/xclock"));
    EXPECT_EQ(app(xterm)->bundleLocation, QStringLiteral("/usr/bin/xterm"));
    EXPECT_EQ(app(xterm)->windows.size(), 1u);
    xclock.terminate();
    EXPECT_TRUE(Desktop::waitUntil([&] { return names(*monitor.apps) == QStringList{"XTerm"}; }));
}

TEST_F(RunningAppsTest, FrontmostFollowsActivation) {
    // xclock takes no keyboard focus, so it never becomes the active window: two terminals.
    const QProcess& first = startXterm();
    const QProcess& second = startXterm();
    ASSERT_TRUE(waitForApp(first));
    ASSERT_TRUE(waitForApp(second));

    monitor.activate(*app(first));
    EXPECT_TRUE(Desktop::waitUntil([&] { return isFrontmost(first); }));
    monitor.activate(*app(second));
    EXPECT_TRUE(Desktop::waitUntil([&] { return isFrontmost(second); }));
    monitor.activate(*app(first));
    EXPECT_TRUE(Desktop::waitUntil([&] { return isFrontmost(first); }));
}

TEST_F(RunningAppsTest, HideIconifiesAndActivationRestores) {
    const QProcess& xterm = startXterm();
    ASSERT_TRUE(waitForApp(xterm));
    const std::uint32_t window = app(xterm)->windows.front();
    int published = 0;
    const auto sink = monitor.apps.sink([&](const auto&) { ++published; });

    monitor.hide(*app(xterm));
    EXPECT_TRUE(Desktop::waitUntil([&] {
        const QByteArray state = windowState(window);
        return state.contains("_NET_WM_STATE_HIDDEN") && state.contains("Iconic");
    }));
    // Hiding republishes the same list.
    EXPECT_TRUE(Desktop::waitUntil([&] { return published > 1; }));
    EXPECT_TRUE(app(xterm).has_value());

    published = 0;
    monitor.activate(*app(xterm));
    EXPECT_TRUE(Desktop::waitUntil([&] {
        const QByteArray state = windowState(window);
        return !state.contains("_NET_WM_STATE_HIDDEN") && state.contains("Normal");
    }));
    EXPECT_TRUE(Desktop::waitUntil([&] { return isFrontmost(xterm); }));
    EXPECT_TRUE(Desktop::waitUntil([&] { return published > 0; }));
}

TEST_F(RunningAppsTest, TerminateClosesPolitely) {
    QProcess& xterm = startXterm();
    ASSERT_TRUE(waitForApp(xterm));
    // xterm may map its window before it has started its command; a close before that leaves
    // it with nothing to hang up, and it stays.
    ASSERT_TRUE(Desktop::waitUntil([&] {
        return Desktop::run(QStringLiteral("pgrep"),
                            {QStringLiteral("-P"), QString::number(xterm.processId())})
                   .exitCode == 0;
    }));
    monitor.terminate(*app(xterm));
    // A close request lets xterm exit by itself; a kill would be a crash exit.
    ASSERT_TRUE(xterm.waitForFinished(10000));
    EXPECT_EQ(xterm.exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(Desktop::waitUntil([&] { return monitor.apps->empty(); }));
}

TEST_F(RunningAppsTest, DesktopEntryGivesNameIconAndLocation) {
    const QProcess& probe = startXterm({QStringLiteral("-class"), QStringLiteral("MoorlineProbe")});
    ASSERT_TRUE(waitForApp(probe));
    const RunningApplication found = *app(probe);
    EXPECT_EQ(found.localizedName, QStringLiteral("Probe Terminal"));
    EXPECT_EQ(found.bundleLocation, entries.entryPath());
    const QImage icon = found.icon.pixmap(16, 16).toImage();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixelColor(8, 8), QColor(Qt::red));

    monitor.reveal(found);
    EXPECT_EQ(workspace.requests,
              QStringList{QStringLiteral("reveal ") +
                          QUrl::fromLocalFile(entries.entryPath()).toString(QUrl::FullyEncoded)});
}

TEST_F(RunningAppsTest, AnEntryInstalledLaterIsFoundWhenItsProgramStarts) {
    const QString applications =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
        QStringLiteral("/applications");
    QDir().mkpath(applications);
    EntriesDirectory::writeEntry(applications + QStringLiteral("/late.desktop"),
                                 QStringLiteral("Late Probe"), QStringLiteral("LateProbe"),
                                 entries.iconPath());
    const QProcess& late = startXterm({QStringLiteral("-class"), QStringLiteral("LateProbe")});
    ASSERT_TRUE(waitForApp(late));
    EXPECT_TRUE(Desktop::waitUntil(
        [&] { return app(late) && app(late)->localizedName == QStringLiteral("Late Probe"); }));
}

TEST_F(RunningAppsTest, OwnToolWindowsAreNotRegular) {
    // Dock panels are frameless tool windows: they must not list the program itself.
    QWidget panel(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    panel.resize(100, 40);
    panel.show();
    const auto own = [&]() -> std::optional<RunningApplication> {
        for (const auto& app : source.snapshot().applications)
            if (app.processIdentifier == QCoreApplication::applicationPid())
                return app;
        return std::nullopt;
    };
    ASSERT_TRUE(Desktop::waitUntil([&] { return own().has_value(); }));
    EXPECT_EQ(own()->activationPolicy, ActivationPolicy::accessory);
    EXPECT_TRUE(monitor.apps->empty());
}

namespace {

// A client of its own, for windows with properties no well-behaved program sets.
class RawClient {
public:
    RawClient() : connection_(xcb_connect(nullptr, nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    ~RawClient() { xcb_disconnect(connection_); }

    xcb_window_t createWindow() {
        const xcb_window_t window = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, root_, 0, 0, 50, 50, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        return window;
    }
    void set(xcb_window_t window, const char* property, xcb_atom_t type, std::uint8_t format,
             const void* data, std::uint32_t count) {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, atom(property), type,
                            format, count, data);
    }
    xcb_atom_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }
    void map(xcb_window_t window) {
        xcb_map_window(connection_, window);
        xcb_flush(connection_);
    }
    // Asks the window manager to add or remove a _NET_WM_STATE flag of the window.
    void changeState(xcb_window_t window, bool add, const char* flag) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom("_NET_WM_STATE");
        event.data.data32[0] = add ? 1 : 0;
        event.data.data32[1] = atom(flag);
        event.data.data32[3] = 2;
        xcb_send_event(connection_, 0, root_,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(connection_);
    }
    void destroy(xcb_window_t window) {
        xcb_destroy_window(connection_, window);
        xcb_flush(connection_);
    }

private:
    xcb_connection_t* connection_;
    xcb_window_t root_;
};

} // namespace

TEST_F(RunningAppsTest, ToleratesMalformedPropertiesAndWindowsThatVanish) {
    RawClient client;
    // A pidless window with a good 2x2 blue icon followed by an image cut short.
    const xcb_window_t good = client.createWindow();
    const char goodClass[] = "strange\0Strange";
    client.set(good, "WM_CLASS", XCB_ATOM_STRING, 8, goodClass, sizeof goodClass);
    const std::uint32_t icon[] = {2,          2,  0xff0000ff, 0xff0000ff, 0xff0000ff,
                                  0xff0000ff, 64, 64,         0xffffffff};
    client.set(good, "_NET_WM_ICON", XCB_ATOM_CARDINAL, 32, icon, std::size(icon));
    // A pid of the wrong type, a class without its terminators, a type nobody knows, a state
    // of the wrong format.
    const xcb_window_t odd = client.createWindow();
    client.set(odd, "_NET_WM_PID", XCB_ATOM_STRING, 8, "1234", 4);
    client.set(odd, "WM_CLASS", XCB_ATOM_STRING, 8, "oddball", 7);
    const xcb_atom_t unknownType = client.atom("_MOORLINE_TEST_UNKNOWN_TYPE");
    client.set(odd, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM, 32, &unknownType, 1);
    client.set(odd, "_NET_WM_ICON", XCB_ATOM_CARDINAL, 32, icon, 1);
    client.map(good);
    client.map(odd);

    const auto named = [&](const QString& name) -> std::optional<RunningApplication> {
        for (const auto& app : *monitor.apps)
            if (app.localizedName == name)
                return app;
        return std::nullopt;
    };
    ASSERT_TRUE(Desktop::waitUntil([&] { return named("Strange") && named("oddball"); }));
    EXPECT_EQ(named("Strange")->key, QStringLiteral("class:Strange"));
    EXPECT_EQ(named("Strange")->icon.pixmap(2, 2).toImage().pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(named("oddball")->processIdentifier, -1);
    EXPECT_FALSE(named("oddball")->bundleLocation.has_value());

    // A window that is gone by the time its properties are read is left out.
    auto* connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const EwmhAtoms atoms = EwmhAtoms::intern(connection);
    const EwmhWindowReader reader(connection, atoms,
                                  xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root);
    const auto windows = reader.readWindows({{good, EwmhWindowReader::allProperties, true},
                                             {0x1fffffff, EwmhWindowReader::allProperties, true},
                                             {odd, 0, true}});
    ASSERT_EQ(windows.size(), 2u);
    ASSERT_TRUE(windows[0].properties.has_value());
    EXPECT_EQ(windows[0].properties->wmClass, QStringLiteral("Strange"));
    EXPECT_EQ(windows[1].window, odd);
    EXPECT_FALSE(windows[1].properties.has_value());
    EXPECT_TRUE(windows[1].icon.has_value());

    // (Openbox puts its own icon on a window whose icon it cannot read, so the cut icons are
    // checked here.)
    const std::uint32_t cut[] = {4, 4, 0, 0, 0};
    EXPECT_TRUE(EwmhWindowReader::decodeIcon(cut, std::size(cut)).isNull());
    const std::uint32_t huge[] = {0xffffffff, 0xffffffff, 0};
    EXPECT_TRUE(EwmhWindowReader::decodeIcon(huge, std::size(huge)).isNull());
    const std::uint32_t empty[] = {0, 5, 1, 1, 0xff00ff00};
    EXPECT_TRUE(EwmhWindowReader::decodeIcon(empty, std::size(empty)).isNull());
    EXPECT_TRUE(EwmhWindowReader::decodeIcon(nullptr, 0).isNull());
    EXPECT_FALSE(EwmhWindowReader::decodeIcon(icon, std::size(icon)).isNull());

    client.destroy(good);
    client.destroy(odd);
    EXPECT_TRUE(Desktop::waitUntil([&] { return monitor.apps->empty(); }));
}

TEST_F(RunningAppsTest, ActivationLeavesTheWindowLastInFrontInFront) {
    RawClient client;
    const std::uint32_t pid = 0x7ffffff0; // no such process: grouped by pid all the same
    const char wmClass[] = "twowin\0TwoWindows";
    std::vector<xcb_window_t> windows;
    for (int i = 0; i < 2; ++i) {
        windows.push_back(client.createWindow());
        client.set(windows.back(), "_NET_WM_PID", XCB_ATOM_CARDINAL, 32, &pid, 1);
        client.set(windows.back(), "WM_CLASS", XCB_ATOM_STRING, 8, wmClass, sizeof wmClass);
        client.map(windows.back());
    }
    const QProcess& xterm = startXterm();
    ASSERT_TRUE(waitForApp(xterm));
    const auto twoWindows = [&]() -> std::optional<RunningApplication> {
        for (const auto& app : *monitor.apps)
            if (app.processIdentifier == std::int32_t(pid) && app.windows.size() == 2)
                return app;
        return std::nullopt;
    };
    ASSERT_TRUE(Desktop::waitUntil([&] { return twoWindows().has_value(); }));
    const auto activeWindow = [] {
        return Desktop::run(QStringLiteral("xprop"),
                            {QStringLiteral("-root"), QStringLiteral("_NET_ACTIVE_WINDOW")})
            .out;
    };
    // Active and at the top of the stacking list: xfwm4 reports the new active window before it
    // has restacked, and the next activation reads the stacking list.
    const auto inFront = [&](xcb_window_t window) {
        const QByteArray id = "0x" + QByteArray::number(window, 16);
        const QByteArray stacking =
            Desktop::run(QStringLiteral("xprop"),
                         {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")})
                .out.trimmed();
        return activeWindow().contains(id) && stacking.endsWith(id);
    };
    const auto activateTerminal = [&] {
        monitor.activate(*app(xterm));
        return Desktop::waitUntil([&] { return inFront(app(xterm)->windows.front()); });
    };

    // The first window is brought to the front by itself, then the terminal over both.
    Desktop::run(QStringLiteral("xdotool"),
                 {QStringLiteral("windowactivate"), QString::number(windows[0])});
    ASSERT_TRUE(Desktop::waitUntil([&] { return inFront(windows[0]); }));
    ASSERT_TRUE(activateTerminal());

    monitor.activate(*twoWindows());
    EXPECT_TRUE(Desktop::waitUntil([&] { return inFront(windows[0]); }))
        << activeWindow().constData();

    Desktop::run(QStringLiteral("xdotool"),
                 {QStringLiteral("windowactivate"), QString::number(windows[1])});
    ASSERT_TRUE(Desktop::waitUntil([&] { return inFront(windows[1]); }));
    ASSERT_TRUE(activateTerminal());
    monitor.activate(*twoWindows());
    EXPECT_TRUE(Desktop::waitUntil([&] { return inFront(windows[1]); }))
        << activeWindow().constData();
}

TEST_F(RunningAppsTest, LeavingTheTaskbarMakesAnApplicationNonRegular) {
    RawClient client;
    const xcb_window_t window = client.createWindow();
    const char wmClass[] = "shy\0Shy";
    client.set(window, "WM_CLASS", XCB_ATOM_STRING, 8, wmClass, sizeof wmClass);
    client.map(window);
    const auto listed = [&] {
        return std::any_of(monitor.apps->begin(), monitor.apps->end(),
                           [](const auto& app) { return app.localizedName == "Shy"; });
    };
    ASSERT_TRUE(Desktop::waitUntil(listed));
    client.changeState(window, true, "_NET_WM_STATE_SKIP_TASKBAR");
    EXPECT_TRUE(Desktop::waitUntil([&] { return !listed(); }));
    client.changeState(window, false, "_NET_WM_STATE_SKIP_TASKBAR");
    EXPECT_TRUE(Desktop::waitUntil(listed));
    client.destroy(window);
}
