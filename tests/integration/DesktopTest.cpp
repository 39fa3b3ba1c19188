// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/DesktopFileIcons.h"
#include "backends/desktop/GioDesktop.h"
#include "backends/desktop/GioTrash.h"
#include "backends/linux/LocalFileSystem.h"
#include "fakes/FakeClipboard.h"
#include "fakes/FakeLaunchConfirmation.h"
#include "fakes/FakeLaunchFeedback.h"
#include "fakes/FakeProcessScopes.h"
#include "fakes/FakeRunningApplications.h"
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"
#include "models/DockItem.h"
#include "platform/QtScheduler.h"
#include "runtime/ApplicationLauncher.h"
#include "runtime/RunningAppsMonitor.h"
#include "support/DesktopLaunch.h"
#include "support/IconResolver.h"

#include <QDBusConnection>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include <pwd.h>
#include <unistd.h>

using namespace std::chrono_literals;
using Session::writeFile;

namespace {

QString home() {
    return QDir::homePath();
}
QString root() {
    return home() + u"/desktop-test"_qs;
}
QString userApplications() {
    return qEnvironmentVariable("XDG_DATA_HOME") + u"/applications"_qs;
}
QString marker(const char* name) {
    return root() + u"/marker-"_qs + QLatin1String(name);
}
void clearMarker(const char* name) {
    QFile::remove(marker(name));
    QFile::remove(marker(name) + u".env"_qs);
}
// A program that records its arguments in marker-NAME, then its streams and environment in
// marker-NAME.env.
QString recorder() {
    return root() + u"/record"_qs;
}
// The arguments the recorder was started with, once it has finished.
QByteArray waitForMarker(const char* name) {
    Session::waitUntil([&] { return QFile::exists(marker(name) + u".env"_qs); }, 10s);
    return QFile::exists(marker(name)) ? Session::readFile(marker(name)) : "<no marker>";
}

QByteArray entry(const QByteArray& name, const QByteArray& exec, const QByteArray& mime = {}) {
    return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec + "\n" +
           (mime.isEmpty() ? QByteArray() : "MimeType=" + mime + ";\n");
}

// Children of ours that died and were never reaped.
int zombieChildren() {
    int zombies = 0;
    const QByteArray self = QByteArray::number(::getpid());
    for (const QString& pid : QDir(u"/proc"_qs).entryList(QDir::Dirs)) {
        // pid (comm) state ppid ...
        const QByteArray line = Session::readFile(u"/proc/"_qs + pid + u"/stat"_qs);
        const QList<QByteArray> rest = line.mid(line.lastIndexOf(')') + 2).split(' ');
        zombies += rest.size() > 1 && rest[0] == "Z" && rest[1] == self;
    }
    return zombies;
}

constexpr auto executable = QFile::Permissions(0x7555); // 0755
constexpr auto plain = QFile::Permissions(0x6444);      // 0644

// A desktop entry file made for one case: where it lies, its mode, its owner.
struct EntryFile {
    const char* name; // marker name and file name
    QString path;
    QFile::Permissions permissions = plain;
    QByteArray extra = {};
    bool ownedByNobody = false;
};

// An entry that records its start in marker-NAME; false when the case cannot be made here (a
// chown needs root).
bool make(const EntryFile& file) {
    writeFile(file.path,
              entry(QByteArray("Recorded ") + file.name,
                    recorder().toUtf8() + ' ' + file.name + " launched") +
                  file.extra,
              file.permissions);
    clearMarker(file.name);
    if (!file.ownedByNobody)
        return true;
    const passwd* nobody = ::getpwnam("nobody");
    return ::geteuid() == 0 && nobody &&
           ::chown(QFile::encodeName(file.path).constData(), nobody->pw_uid, nobody->pw_gid) == 0;
}

} // namespace

// Stands in for a file manager on the private session bus.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QList<QStringList> shown;

public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString&) { shown.append(uris); }
};

class DesktopTest : public ::testing::Test {
protected:
    // Handlers that record how they were started, installed before GIO first reads the
    // application folders and mimeapps.list.
    static void SetUpTestSuite() {
        writeFile(recorder(),
                  "#!/bin/sh\nout=\"" + root().toUtf8() +
                      "/marker-$1\"\nshift\n"
                      "for arg in \"$@\"; do printf '%s\\n' \"$arg\" >> \"$out\"; done\n"
                      "streams=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2)\n"
                      "{ echo \"$streams\"; env; } > \"$out.tmp\"\nmv \"$out.tmp\" \"$out.env\"\n",
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString apps = root() + u"/share/applications/"_qs;
        const QByteArray exec = recorder().toUtf8();
        writeFile(apps + u"test-launch.desktop"_qs, entry("Launch", exec + " launched"));
        writeFile(apps + u"test-text.desktop"_qs, entry("Text", exec + " text %f", "text/plain"));
        writeFile(apps + u"test-folder.desktop"_qs,
                  entry("Folder", exec + " folder %f", "inode/directory"));
        writeFile(apps + u"test-scheme.desktop"_qs,
                  entry("Scheme", exec + " scheme %u", "x-scheme-handler/moorlinetest"));
        writeFile(apps + u"test-link.desktop"_qs,
                  "[Desktop Entry]\nType=Link\nName=Link\nURL=moorlinetest://link\n");
        // What some systems install for launchers and programs: a handler that runs them.
        writeFile(apps + u"test-runner.desktop"_qs,
                  entry("Runner", exec + " runner %f",
                        "application/x-desktop;application/x-executable;application/x-sharedlib;"
                        "application/x-shellscript;application/x-ms-dos-executable"));
        writeFile(qEnvironmentVariable("XDG_CONFIG_HOME") + u"/mimeapps.list"_qs,
                  "[Default Applications]\n"
                  "text/plain=test-text.desktop\n"
                  "inode/directory=test-folder.desktop\n"
                  "x-scheme-handler/moorlinetest=test-scheme.desktop\n"
                  "application/x-desktop=test-runner.desktop\n"
                  "application/x-executable=test-runner.desktop\n"
                  "application/x-shellscript=test-runner.desktop\n"
                  "application/x-sharedlib=test-runner.desktop\n");
        qputenv("XDG_DATA_DIRS", (root() + u"/share:/usr/share"_qs).toUtf8());
        IconResolver::prepareIconTheme();
    }

    // Clicks the item as a tile would.
    void click(const DockItem& item) { DesktopLaunch::open(item, launcher, desktop, clipboard); }
    void click(const QString& desktopEntry) {
        click(DockItem::makeApplication(desktopEntry, LocalFileSystem()));
    }

    GioDesktop desktop;
    FakeClipboard clipboard;
    FakeLaunchConfirmation confirmation;
    // Nothing runs: every click launches.
    FakeRunningApplications windows;
    QtScheduler scheduler;
    RunningAppsMonitor runningApps{windows, desktop, scheduler};
    FakeLaunchFeedback feedback;
    FakeProcessScopes scopes;
    ApplicationLauncher launcher{
        {desktop, confirmation, runningApps, windows, feedback, scopes, scheduler}};
};

TEST_F(DesktopTest, ADesktopEntryStartsItsProgramWithoutOurStreamsOrStartTokens) {
    const char* tokens[] = {"DESKTOP_STARTUP_ID", "DESKTOP_AUTOSTART_ID", "XDG_ACTIVATION_TOKEN"};
    for (const char* token : tokens)
        qputenv(token, "ours");
    click(root() + u"/share/applications/test-launch.desktop"_qs);
    for (const char* token : tokens)
        qunsetenv(token);

    waitForMarker("launched");
    const QByteArray env = Session::readFile(marker("launched") + u".env"_qs);
    EXPECT_TRUE(env.startsWith("/dev/null\n/dev/null\n/dev/null\n")) << env.left(200).constData();
    for (const char* token : tokens)
        EXPECT_FALSE(env.contains(token + QByteArray("=ours"))) << token;
    // The launch's own id, though the entry says nothing of startup notification.
    EXPECT_TRUE(env.contains("\nDESKTOP_STARTUP_ID=launch-1\n"));
    EXPECT_TRUE(env.contains("DISPLAY=" + qgetenv("DISPLAY")));
    EXPECT_TRUE(Session::waitUntil([] { return zombieChildren() == 0; }));
}

TEST_F(DesktopTest, FilesAndUrlsOpenWithTheUsersDefaultHandler) {
    clearMarker("text");
    const QString file = root() + u"/Notes été & more.txt"_qs;
    writeFile(file, "hello\n");
    desktop.openPath(file);
    EXPECT_EQ(waitForMarker("text"), file.toUtf8() + "\n");
    EXPECT_TRUE(Session::readFile(marker("text") + u".env"_qs)
                    .startsWith("/dev/null\n/dev/null\n/dev/null\n"))
        << "a default handler does not get our streams either";

    desktop.openUrl(QUrl(u"moorlinetest://host/a%20b?c=d"_qs));
    EXPECT_EQ(waitForMarker("scheme"), QByteArray("moorlinetest://host/a%20b?c=d\n"));
}

TEST_F(DesktopTest, RevealWithoutAFileManagerOrWithAHungOneOpensTheContainingFolderAtOnce) {
    clearMarker("folder");
    // What cannot be opened or revealed is let go, folder and all.
    desktop.openPath(QString());
    desktop.openPath(root() + u"/missing.desktop"_qs);
    desktop.openPath(root() + u"/no such file"_qs);
    desktop.openUrl(QUrl(u"nohandler://x"_qs));
    desktop.revealInFileManager(QUrl(u"https://example.com/page"_qs));
    const QString folder = root() + u"/Reveal Me"_qs;
    writeFile(folder + u"/inner/file.txt"_qs, "x");
    desktop.revealInFileManager(QUrl::fromLocalFile(folder + u"/inner/"_qs));
    EXPECT_EQ(waitForMarker("folder"), folder.toUtf8() + "\n");

    // A file manager that owns its name and never answers (hung, or stopped).
    Session::ChildProcesses processes;
    QProcess& hung = processes.start(
        u"/usr/bin/python3"_qs,
        {u"-c"_qs, u"import dbus, time\n"
                   "dbus.SessionBus().request_name('org.freedesktop.FileManager1')\n"
                   "print('ready', flush=True)\ntime.sleep(60)"_qs},
        QProcessEnvironment::systemEnvironment(), false);
    hung.setReadChannel(QProcess::StandardOutput);
    ASSERT_TRUE(hung.waitForReadyRead(10000));
    clearMarker("folder");
    QElapsedTimer call;
    call.start();
    desktop.revealInFileManager(QUrl::fromLocalFile(folder + u"/inner/file.txt"_qs));
    EXPECT_LT(call.elapsed(), 100);
    EXPECT_EQ(waitForMarker("folder"), (folder + u"/inner\n"_qs).toUtf8());
    EXPECT_LT(call.elapsed(), 6000);
}

TEST_F(DesktopTest, RevealAsksTheFileManagerToShowTheItemUnchanged) {
    FakeFileManager fileManager;
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.registerObject(u"/org/freedesktop/FileManager1"_qs, &fileManager,
                                   QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService(u"org.freedesktop.FileManager1"_qs));

    const QString file = root() + u"/Ünï côde.txt"_qs;
    desktop.revealInFileManager(QUrl::fromLocalFile(file));
    desktop.revealInFileManager(QUrl(u"https://example.com/a?b"_qs));
    EXPECT_TRUE(Session::waitUntil([&] { return fileManager.shown.size() == 2; }));
    EXPECT_EQ(fileManager.shown,
              (QList<QStringList>{{QString::fromUtf8(QUrl::fromLocalFile(file).toEncoded())},
                                  {u"https://example.com/a?b"_qs}}));

    bus.unregisterService(u"org.freedesktop.FileManager1"_qs);
    bus.unregisterObject(u"/org/freedesktop/FileManager1"_qs);
}

TEST_F(DesktopTest, OnlyTrustedEntriesLaunchWithoutAskingAndShowTheirOwnNameAndIcon) {
    const QString icon = home() + u"/red.png"_qs;
    ASSERT_TRUE(Session::writeImage(icon, Qt::red));
    const QByteArray iconLine = "Icon=" + icon.toUtf8() + "\n";
    const std::pair<EntryFile, bool> cases[] = {
        {{"in-user-apps", userApplications() + u"/in-user-apps.desktop"_qs}, true},
        {{"in-data-dirs", root() + u"/share/applications/sub/in-data-dirs.desktop"_qs}, true},
        {{"no-display", userApplications() + u"/no-display.desktop"_qs,
          QFile::ReadOwner | QFile::WriteOwner, "NoDisplay=true\n"},
         true},
        {{"own-executable", home() + u"/bin/own-executable.desktop"_qs, executable}, true},
        {{"download", home() + u"/Downloads/invoice.pdf.desktop"_qs}, false},
        {{"group-writable", home() + u"/Desktop/group-writable.desktop"_qs,
          executable | QFile::WriteGroup},
         false},
        {{"world-writable-app", userApplications() + u"/world-writable-app.desktop"_qs,
          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther},
         false},
        {{"hidden", userApplications() + u"/hidden.desktop"_qs, executable, "Hidden=true\n"},
         false},
        {{"others", home() + u"/Desktop/others.desktop"_qs, executable, {}, true}, false},
    };
    const LocalFileSystem fileSystem;
    const DesktopFileIcons icons;
    for (auto [file, trusted] : cases) {
        SCOPED_TRACE(file.name);
        file.extra += iconLine;
        if (!make(file)) {
            ADD_FAILURE() << "cannot make " << file.name << " (needs root)";
            continue;
        }
        click(file.path);
        if (!trusted) {
            EXPECT_EQ(confirmation.questions,
                      QStringList{file.path + u": "_qs + recorder() + u' ' +
                                  QLatin1String(file.name) + u" launched"_qs});
            confirmation.answerAll(false);
            click(file.path);
            confirmation.answerAll(true);
        }
        // Had the "no" run it, it would have been started first and recorded twice.
        EXPECT_EQ(waitForMarker(file.name), QByteArray("launched\n"));
        EXPECT_EQ(confirmation.questions.size(), trusted ? 0 : 2);
        confirmation.questions.clear();
        // An untrusted entry goes by its file name and shows no icon of its own.
        EXPECT_EQ(fileSystem.displayName(file.path),
                  trusted ? u"Recorded "_qs + QLatin1String(file.name)
                          : QFileInfo(file.path).fileName());
        EXPECT_EQ(Session::centreColour(icons.iconForFile(file.path)) == QColor(Qt::red), trusted);
    }
}

TEST_F(DesktopTest, AnEntryIsJudgedWhereItReallyLies) {
    // Through a symlink in the applications folder, or by "..", to a file outside it.
    ASSERT_TRUE(make({"outside", home() + u"/Downloads/outside.desktop"_qs}));
    const QString link = userApplications() + u"/link.desktop"_qs;
    QFile::remove(link);
    ASSERT_TRUE(QFile::link(home() + u"/Downloads/outside.desktop"_qs, link));
    for (const QString& path :
         {link, userApplications() + u"/../../../Downloads/outside.desktop"_qs}) {
        click(path);
        EXPECT_EQ(confirmation.questions.size(), 1) << path.toStdString();
        confirmation.answerAll(false);
        confirmation.questions.clear();
    }
}

TEST_F(DesktopTest, AnEntryChangedWhileTheUserWasAskedDoesNotRun) {
    const EntryFile file{"changed", home() + u"/Downloads/changed.desktop"_qs};
    ASSERT_TRUE(make(file));
    click(file.path);
    ASSERT_EQ(confirmation.pending.size(), 1u);
    writeFile(file.path, entry("Changed", recorder().toUtf8() + " changed swapped"));
    confirmation.answerAll(true);
    // The same entry, unchanged, does run on a yes: the marker of that one shows nothing ran.
    const EntryFile probe{"probe", home() + u"/Downloads/probe.desktop"_qs};
    ASSERT_TRUE(make(probe));
    click(probe.path);
    confirmation.answerAll(true);
    EXPECT_EQ(waitForMarker("probe"), QByteArray("launched\n"));
    EXPECT_FALSE(QFile::exists(marker("changed")));
}

TEST_F(DesktopTest, ALaunchRunsTheEntryAsItWasCheckedEvenIfSwappedRightAfter) {
    // The fault shim renames another entry over the file the moment the launch has read and
    // checked it (its second reading, after the one the user was shown): a launch that read the
    // file once more would run the swapped-in command. MOORLINE_SWAP_TRIES raises the count.
    const QString path = QFileInfo(root()).canonicalFilePath() + u"/Downloads/swap.desktop"_qs;
    const QString swapped = path + u".swapped"_qs;
    const int tries = qEnvironmentVariableIntValue("MOORLINE_SWAP_TRIES");
    int approvedRuns = 0;
    for (int i = 0; i < std::max(tries, 3); ++i) {
        writeFile(path, entry("Approved", recorder().toUtf8() + " approved launched"));
        writeFile(swapped, entry("Swapped", recorder().toUtf8() + " swapped launched"));
        clearMarker("approved");
        clearMarker("swapped");
        const QHash<const char*, QByteArray> environment = {
            {"LD_PRELOAD", MOORLINE_BINARY_DIR "/fault-shim.so"},
            {"ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0"},
            {"MOORLINE_SWAP_FILE", QFile::encodeName(path)},
            {"MOORLINE_SWAP_WITH", QFile::encodeName(swapped)},
            {"MOORLINE_SWAP_AFTER", "2"}};
        for (auto it = environment.begin(); it != environment.end(); ++it)
            qputenv(it.key(), it.value());
        const auto probe =
            Session::run(QStringLiteral(MOORLINE_BINARY_DIR "/moorline-launch-probe"), {path});
        for (auto it = environment.begin(); it != environment.end(); ++it)
            qunsetenv(it.key());
        ASSERT_EQ(probe.exitCode, 0) << probe.err.constData();
        ASSERT_FALSE(QFile::exists(swapped)) << "the shim did not swap the entry";
        Session::waitUntil([] {
            return QFile::exists(marker("approved") + u".env"_qs) ||
                   QFile::exists(marker("swapped") + u".env"_qs);
        });
        approvedRuns += QFile::exists(marker("approved"));
        EXPECT_FALSE(QFile::exists(marker("swapped"))) << "try " << i;
    }
    EXPECT_EQ(approvedRuns, std::max(tries, 3));
    std::printf("launch swap: %d tries, %d approved commands run\n", std::max(tries, 3),
                approvedRuns);
}

TEST_F(DesktopTest, FileFolderAndUrlItemsNeverRunAnEntryOrAProgram) {
    const EntryFile trusted{"as-file", userApplications() + u"/as-file.desktop"_qs};
    const EntryFile untrusted{"as-url", home() + u"/Downloads/as-url.desktop"_qs};
    ASSERT_TRUE(make(trusted));
    ASSERT_TRUE(make(untrusted));
    const QString script = home() + u"/Downloads/setup.sh"_qs;
    writeFile(script, "#!/bin/sh\n" + recorder().toUtf8() + " script launched\n", executable);
    const QString program = home() + u"/Downloads/program"_qs;
    QFile::remove(program);
    ASSERT_TRUE(QFile::copy(u"/bin/true"_qs, program));
    for (const char* name : {"text", "folder", "runner", "script"})
        clearMarker(name);

    DockItem url;
    url.kind = DockItemKind::url;
    url.urlString = QUrl::fromLocalFile(untrusted.path).toString();
    DockItem folder = DockItem::makeFileOrFolder(trusted.path, LocalFileSystem());
    folder.kind = DockItemKind::folder;
    click(DockItem::makeFileOrFolder(trusted.path, LocalFileSystem()));
    click(folder);
    click(url);
    click(DockItem::makeFileOrFolder(script, LocalFileSystem()));
    // Launchers and scripts open as the text they are, in the editor; a program is shown.
    QStringList opened;
    EXPECT_TRUE(Session::waitUntil(
        [&] {
            opened = QString::fromUtf8(waitForMarker("text")).split(u'\n', Qt::SkipEmptyParts);
            return opened.size() >= 4;
        },
        10s));
    opened.sort(); // the four editors ran side by side
    QStringList expected{trusted.path, trusted.path, untrusted.path, script};
    expected.sort();
    EXPECT_EQ(opened, expected);
    click(DockItem::makeFileOrFolder(program, LocalFileSystem()));
    EXPECT_EQ(waitForMarker("folder"), (home() + u"/Downloads\n"_qs).toUtf8());
    for (const char* name : {"as-file", "as-url", "runner", "script"})
        EXPECT_FALSE(QFile::exists(marker(name))) << name;
    EXPECT_TRUE(confirmation.questions.isEmpty());
}

// Under plain X the theme is hicolor; the Adwaita fallback (set up with the suite above) makes
// named icons resolve. (An entry's
// own icon file, and who may show one, is the trust test's above.)
TEST(DesktopIconsTest, FilesFoldersAndDesktopEntriesGetTheDesktopsIcons) {
    const DesktopFileIcons icons;
    const QString home = QDir::homePath();
    ASSERT_TRUE(Session::writeFile(home + u"/notes.txt"_qs, "text\n"));
    EXPECT_FALSE(icons.iconForFile(home + u"/notes.txt"_qs).isNull());
    EXPECT_FALSE(icons.iconForFile(home).isNull());
    // Executable: the user's own launchers, which the desktop trusts to show their own icons.
    ASSERT_TRUE(Session::writeFile(
        home + u"/themed.desktop"_qs,
        "[Desktop Entry]\nType=Application\nName=Themed\nExec=true\nIcon=utilities-terminal\n",
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    EXPECT_FALSE(icons.iconForFile(home + u"/themed.desktop"_qs).isNull());
    EXPECT_FALSE(IconResolver::symbol(u"trash"_qs).isNull());
}

TEST(TrashTest, ItsStateFollowsGioTrashFromTheFirstFrameOnAndEmptyingDeletesOnlyWhatItHolds) {
    GioTrash trash;
    // As at start: observed first, watched only once the first frame is on screen.
    trash.holdWatch();
    int reports = 0;
    const Subscription watch = trash.observe([&] { ++reports; });
    trash.empty();
    ASSERT_TRUE(Session::waitUntil([&] { return !trash.hasItems(); }, 10s));
    // A folder with a link to a file outside the trash, trashed by another program.
    const QString folder = home() + QStringLiteral("/project");
    const QString outside = home() + QStringLiteral("/outside.txt");
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/deep")));
    ASSERT_TRUE(Session::writeFile(folder + QStringLiteral("/deep/a.txt"), "a"));
    ASSERT_TRUE(Session::writeFile(outside, "kept"));
    ASSERT_TRUE(QFile::link(outside, folder + QStringLiteral("/link")));
    reports = 0;
    ASSERT_EQ(Session::run(QStringLiteral("gio"), {QStringLiteral("trash"), folder}).exitCode, 0);
    EXPECT_TRUE(trash.hasItems());
    trash.releaseWatch();
    EXPECT_TRUE(Session::waitUntil([&] { return reports > 0; }, 10s)) << "never told";
    // Watched from now on: the emptying's own deletions are reported.
    reports = 0;
    trash.empty();
    EXPECT_TRUE(Session::waitUntil([&] { return reports > 0 && !trash.hasItems(); }, 10s));
    const QString trashFolder = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash");
    EXPECT_TRUE(QDir(trashFolder + QStringLiteral("/info"))
                    .isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    EXPECT_EQ(Session::readFile(outside), QByteArray("kept"));
}

// GioTrash on its own; which names and folders the trash lists back is ItemsDockTest's, through
// a real drag onto the trash docklet. Last: it removes the data folder.
TEST(TrashTest, AMissingDataFolderIsMadeRatherThanTrashingElsewhereAndTheRestIsRefused) {
    GioTrash trash;
    EXPECT_FALSE(trash.moveToTrash(home() + QStringLiteral("/does not exist")));
    EXPECT_FALSE(trash.moveToTrash(QString()));
    // A kernel file: no trash can take it, not even for root.
    EXPECT_FALSE(trash.moveToTrash(QStringLiteral("/proc/self/status")));
    EXPECT_TRUE(QFile::exists(QStringLiteral("/proc/self/status")));

    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    ASSERT_TRUE(QDir(dataHome).removeRecursively());
    const QString path = home() + QStringLiteral("/lonely.txt");
    ASSERT_TRUE(Session::writeFile(path, "content"));
    EXPECT_TRUE(trash.moveToTrash(path));
    EXPECT_TRUE(QFile::exists(dataHome + QStringLiteral("/Trash/files/lonely.txt")));
    EXPECT_TRUE(Session::trashedPaths().contains(path));
}

#include "DesktopTest.moc"
