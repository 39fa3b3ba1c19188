#include "backends/desktop/DesktopFileIcons.h"
#include "backends/desktop/GioWorkspace.h"
#include "backends/linux/LocalFileSystem.h"
#include "fakes/FakeClipboard.h"
#include "fakes/FakeLaunchConfirmation.h"
#include "integration/support/XSession.h"
#include "models/DockItem.h"
#include "support/WorkspaceLaunch.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QObject>

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

namespace {

QString root() {
    return QDir::homePath() + QStringLiteral("/workspace-test");
}

QString marker(const char* name) {
    return root() + QStringLiteral("/marker-") + QLatin1String(name);
}

void write(const QString& path, const QByteArray& content) {
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

void clearMarker(const char* name) {
    QFile::remove(marker(name));
    QFile::remove(marker(name) + QStringLiteral(".env"));
}

QByteArray entry(const QByteArray& name, const QByteArray& exec, const QByteArray& mime = {}) {
    QByteArray text = "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec + "\n";
    if (!mime.isEmpty())
        text += "MimeType=" + mime + ";\n";
    return text;
}

QString recorder() {
    return root() + QStringLiteral("/record");
}

// An application entry whose program records its start in marker-`name`.
QByteArray recordingEntry(const char* name, const QByteArray& extra = {}) {
    return entry(QByteArray("Recorded ") + name, recorder().toUtf8() + ' ' + name + " launched") +
           extra;
}

QByteArray waitForMarker(const char* name) {
    const QString path = marker(name);
    Desktop::waitUntil([&] { return QFile::exists(path + QStringLiteral(".env")); },
                       std::chrono::seconds(10));
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no marker>");
}

// Children of ours that died and were never reaped.
int zombieChildren() {
    int zombies = 0;
    const QString self = QString::number(::getpid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (comm) state ppid ...
        const QByteArray line = stat.readAll();
        const QList<QByteArray> rest = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (rest.size() > 1 && rest[0] == "Z" && rest[1] == self.toLatin1())
            ++zombies;
    }
    return zombies;
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

class WorkspaceTest : public ::testing::Test {
protected:
    // Handlers that record how they were started, installed before GIO first reads the
    // application folders and mimeapps.list.
    static void SetUpTestSuite() {
        const QString recorder = root() + QStringLiteral("/record");
        write(recorder, "#!/bin/sh\n"
                        "out=\"" +
                            root().toUtf8() +
                            "/marker-$1\"\n"
                            "shift\n"
                            "for arg in \"$@\"; do printf '%s\\n' \"$arg\" >> \"$out\"; done\n"
                            "streams=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2)\n"
                            "{ echo \"$streams\"; env; } > \"$out.tmp\"\n"
                            "mv \"$out.tmp\" \"$out.env\"\n");
        QFile::setPermissions(recorder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString apps = root() + QStringLiteral("/share/applications/");
        const QByteArray exec = recorder.toUtf8();
        write(apps + QStringLiteral("test-launch.desktop"), entry("Launch", exec + " launched"));
        write(apps + QStringLiteral("test-text.desktop"),
              entry("Text", exec + " text %f", "text/plain"));
        write(apps + QStringLiteral("test-folder.desktop"),
              entry("Folder", exec + " folder %f", "inode/directory"));
        write(apps + QStringLiteral("test-scheme.desktop"),
              entry("Scheme", exec + " scheme %u", "x-scheme-handler/moorlinetest"));
        write(apps + QStringLiteral("test-link.desktop"),
              "[Desktop Entry]\nType=Link\nName=Link\nURL=moorlinetest://link\n");
        // What some systems install for launchers and programs: a handler that runs them.
        write(apps + QStringLiteral("test-runner.desktop"),
              entry("Runner", exec + " runner %f",
                    "application/x-desktop;application/x-executable;application/x-sharedlib;"
                    "application/x-shellscript;application/x-ms-dos-executable"));
        write(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/mimeapps.list"),
              "[Default Applications]\n"
              "text/plain=test-text.desktop\n"
              "inode/directory=test-folder.desktop\n"
              "x-scheme-handler/moorlinetest=test-scheme.desktop\n"
              "application/x-desktop=test-runner.desktop\n"
              "application/x-executable=test-runner.desktop\n"
              "application/x-shellscript=test-runner.desktop\n"
              "application/x-sharedlib=test-runner.desktop\n");
        qputenv("XDG_DATA_DIRS", (root() + QStringLiteral("/share:/usr/share")).toUtf8());
    }

    // Clicks the item as a tile would.
    void click(const DockItem& item) {
        WorkspaceLaunch::open(item, workspace, clipboard, confirmation);
    }

    GioWorkspace workspace;
    FakeClipboard clipboard;
    FakeLaunchConfirmation confirmation;
};

TEST_F(WorkspaceTest, ADesktopEntryStartsItsProgramWithoutOurStreamsOrStartTokens) {
    qputenv("DESKTOP_STARTUP_ID", "ours");
    qputenv("DESKTOP_AUTOSTART_ID", "ours");
    qputenv("XDG_ACTIVATION_TOKEN", "ours");
    click(DockItem::makeApplication(
        root() + QStringLiteral("/share/applications/test-launch.desktop"), LocalFileSystem()));
    qunsetenv("DESKTOP_STARTUP_ID");
    qunsetenv("DESKTOP_AUTOSTART_ID");
    qunsetenv("XDG_ACTIVATION_TOKEN");

    const QByteArray env = [] {
        waitForMarker("launched");
        QFile file(marker("launched") + QStringLiteral(".env"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ASSERT_FALSE(env.isEmpty());
    EXPECT_TRUE(env.startsWith("/dev/null\n/dev/null\n/dev/null\n")) << env.left(200).constData();
    EXPECT_FALSE(env.contains("DESKTOP_STARTUP_ID=ours"));
    EXPECT_FALSE(env.contains("DESKTOP_AUTOSTART_ID=ours"));
    EXPECT_FALSE(env.contains("XDG_ACTIVATION_TOKEN=ours"));
    EXPECT_TRUE(env.contains("DISPLAY=" + qgetenv("DISPLAY")));
    EXPECT_TRUE(Desktop::waitUntil([] { return zombieChildren() == 0; }));
}

TEST_F(WorkspaceTest, FilesAndUrlsOpenWithTheUsersDefaultHandler) {
    clearMarker("text");
    const QString file = root() + QStringLiteral("/Notes été & more.txt");
    write(file, "hello\n");
    workspace.openPath(file);
    EXPECT_EQ(waitForMarker("text"), file.toUtf8() + "\n");
    QFile env(marker("text") + QStringLiteral(".env"));
    ASSERT_TRUE(env.open(QIODevice::ReadOnly));
    EXPECT_TRUE(env.readAll().startsWith("/dev/null\n/dev/null\n/dev/null\n"))
        << "a default handler does not get our streams either";

    workspace.openUrl(QUrl(QStringLiteral("moorlinetest://host/a%20b?c=d")));
    EXPECT_EQ(waitForMarker("scheme"), QByteArray("moorlinetest://host/a%20b?c=d\n"));
}

TEST_F(WorkspaceTest, WhatCannotBeOpenedIsIgnored) {
    workspace.openPath(QString());
    workspace.openPath(root() + QStringLiteral("/missing.desktop"));
    workspace.openPath(root() + QStringLiteral("/share/applications/test-link.desktop"));
    workspace.openPath(root() + QStringLiteral("/no such file"));
    workspace.openUrl(QUrl(QStringLiteral("nohandler://x")));
    workspace.revealInFileViewer(QUrl(QStringLiteral("https://example.com/page")));
    SUCCEED();
}

TEST_F(WorkspaceTest, RevealWithoutAFileManagerOpensTheContainingFolder) {
    clearMarker("folder");
    ASSERT_FALSE(GioWorkspace::fileManagerAvailable());
    const QString folder = root() + QStringLiteral("/Reveal Me");
    write(folder + QStringLiteral("/inner/file.txt"), "x");
    workspace.revealInFileViewer(QUrl::fromLocalFile(folder + QStringLiteral("/inner/")));
    EXPECT_EQ(waitForMarker("folder"), folder.toUtf8() + "\n");
}

TEST_F(WorkspaceTest, RevealAsksTheFileManagerToShowTheItemUnchanged) {
    FakeFileManager fileManager;
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fileManager,
                                   QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    ASSERT_TRUE(GioWorkspace::fileManagerAvailable());

    const QString file = root() + QStringLiteral("/Ünï côde.txt");
    workspace.revealInFileViewer(QUrl::fromLocalFile(file));
    workspace.revealInFileViewer(QUrl(QStringLiteral("https://example.com/a?b")));
    EXPECT_TRUE(Desktop::waitUntil([&] { return fileManager.shown.size() == 2; }));
    EXPECT_EQ(fileManager.shown,
              (QList<QStringList>{{QString::fromUtf8(QUrl::fromLocalFile(file).toEncoded())},
                                  {QStringLiteral("https://example.com/a?b")}}));

    bus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    bus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
}

namespace {

QString home() {
    return QDir::homePath();
}
QString userApplications() {
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications");
}

// A desktop entry file made for one case: where it lies, its mode, its owner.
struct EntryFile {
    const char* name; // marker name and file name
    QString path;
    QFile::Permissions permissions =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther; // 0644
    QByteArray extra = {};
    bool ownedByNobody = false;
};

constexpr auto executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                            QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                            QFile::ExeOther; // 0755

// False when the case cannot be made here (a chown needs root).
bool make(const EntryFile& file) {
    write(file.path, recordingEntry(file.name, file.extra));
    QFile::setPermissions(file.path, file.permissions);
    clearMarker(file.name);
    if (!file.ownedByNobody)
        return true;
    const passwd* nobody = ::getpwnam("nobody");
    return ::geteuid() == 0 && nobody &&
           ::chown(QFile::encodeName(file.path).constData(), nobody->pw_uid, nobody->pw_gid) == 0;
}

QString execOf(const char* name) {
    return recorder() + QLatin1Char(' ') + QLatin1String(name) + QStringLiteral(" launched");
}

std::vector<EntryFile> trustedEntries() {
    return {
        {"in-user-apps", userApplications() + QStringLiteral("/in-user-apps.desktop")},
        {"in-data-dirs", root() + QStringLiteral("/share/applications/sub/in-data-dirs.desktop")},
        {"no-display", userApplications() + QStringLiteral("/no-display.desktop"),
         QFile::ReadOwner | QFile::WriteOwner, "NoDisplay=true\n"},
        {"own-executable", home() + QStringLiteral("/bin/own-executable.desktop"), executable},
    };
}

std::vector<EntryFile> untrustedEntries() {
    return {
        {"download", home() + QStringLiteral("/Downloads/invoice.pdf.desktop")},
        {"group-writable", home() + QStringLiteral("/Desktop/group-writable.desktop"),
         executable | QFile::WriteGroup},
        {"world-writable-app", userApplications() + QStringLiteral("/world-writable-app.desktop"),
         QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther},
        {"hidden", userApplications() + QStringLiteral("/hidden.desktop"), executable,
         "Hidden=true\n"},
        {"others", home() + QStringLiteral("/Desktop/others.desktop"), executable, {}, true},
    };
}

} // namespace

TEST_F(WorkspaceTest, TrustedEntriesLaunchWithoutAsking) {
    for (const EntryFile& file : trustedEntries()) {
        ASSERT_TRUE(make(file));
        click(DockItem::makeApplication(file.path, LocalFileSystem()));
        EXPECT_EQ(waitForMarker(file.name), QByteArray("launched\n")) << file.name;
    }
    EXPECT_TRUE(confirmation.questions.isEmpty());
}

TEST_F(WorkspaceTest, UntrustedEntriesLaunchOnlyOnAYes) {
    for (const EntryFile& file : untrustedEntries()) {
        if (!make(file)) {
            ADD_FAILURE() << "cannot make " << file.name << " (needs root)";
            continue;
        }
        const DockItem item = DockItem::makeApplication(file.path, LocalFileSystem());
        click(item);
        EXPECT_EQ(confirmation.questions, QStringList{file.path + ": " + execOf(file.name)});
        confirmation.answerAll(false);
        click(item);
        confirmation.answerAll(true);
        // Had the "no" run it, it would have been started first and recorded twice.
        EXPECT_EQ(waitForMarker(file.name), QByteArray("launched\n")) << file.name;
        confirmation.questions.clear();
    }
}

TEST_F(WorkspaceTest, AnEntryIsJudgedWhereItReallyLies) {
    // Through a symlink in the applications folder, or by "..", to a file outside it.
    const EntryFile outside{"outside", home() + QStringLiteral("/Downloads/outside.desktop")};
    ASSERT_TRUE(make(outside));
    const QString link = userApplications() + QStringLiteral("/link.desktop");
    QFile::remove(link);
    ASSERT_TRUE(QFile::link(outside.path, link));
    for (const QString& path :
         {link, userApplications() + QStringLiteral("/../../../Downloads/outside.desktop")}) {
        click(DockItem::makeApplication(path, LocalFileSystem()));
        EXPECT_EQ(confirmation.questions.size(), 1) << path.toStdString();
        confirmation.answerAll(false);
        confirmation.questions.clear();
    }
}

TEST_F(WorkspaceTest, AnEntryChangedWhileTheUserWasAskedDoesNotRun) {
    const EntryFile file{"changed", home() + QStringLiteral("/Downloads/changed.desktop")};
    ASSERT_TRUE(make(file));
    click(DockItem::makeApplication(file.path, LocalFileSystem()));
    ASSERT_EQ(confirmation.pending.size(), 1u);
    write(file.path, entry("Changed", recorder().toUtf8() + " changed swapped"));
    confirmation.answerAll(true);
    // The same entry, unchanged, does run on a yes: the marker of that one shows nothing ran.
    const EntryFile probe{"probe", home() + QStringLiteral("/Downloads/probe.desktop")};
    ASSERT_TRUE(make(probe));
    click(DockItem::makeApplication(probe.path, LocalFileSystem()));
    confirmation.answerAll(true);
    EXPECT_EQ(waitForMarker("probe"), QByteArray("launched\n"));
    EXPECT_FALSE(QFile::exists(marker("changed")));
}

TEST_F(WorkspaceTest, FileFolderAndUrlItemsNeverRunAnEntryOrAProgram) {
    const EntryFile trusted{"as-file", userApplications() + QStringLiteral("/as-file.desktop")};
    const EntryFile untrusted{"as-url", home() + QStringLiteral("/Downloads/as-url.desktop")};
    ASSERT_TRUE(make(trusted));
    ASSERT_TRUE(make(untrusted));
    const QString script = home() + QStringLiteral("/Downloads/setup.sh");
    write(script, "#!/bin/sh\n" + recorder().toUtf8() + " script launched\n");
    QFile::setPermissions(script, executable);
    const QString program = home() + QStringLiteral("/Downloads/program");
    QFile::remove(program);
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/true"), program));
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
    EXPECT_TRUE(Desktop::waitUntil(
        [&] {
            opened = QString::fromUtf8(waitForMarker("text")).split(u'\n', Qt::SkipEmptyParts);
            return opened.size() >= 4;
        },
        std::chrono::seconds(10)));
    opened.sort(); // the four editors ran side by side
    QStringList expected{trusted.path, trusted.path, untrusted.path, script};
    expected.sort();
    EXPECT_EQ(opened, expected);
    click(DockItem::makeFileOrFolder(program, LocalFileSystem()));
    EXPECT_EQ(waitForMarker("folder"), (home() + QStringLiteral("/Downloads\n")).toUtf8());
    for (const char* name : {"as-file", "as-url", "runner", "script"})
        EXPECT_FALSE(QFile::exists(marker(name))) << name;
    EXPECT_TRUE(confirmation.questions.isEmpty());
}

TEST_F(WorkspaceTest, AnUntrustedEntryGoesByItsFileNameAndShowsNoIconOfItsOwn) {
    QImage red(8, 8, QImage::Format_ARGB32);
    red.fill(Qt::red);
    const QString icon = home() + QStringLiteral("/red.png");
    ASSERT_TRUE(red.save(icon));
    const QByteArray extra = "Icon=" + icon.toUtf8() + "\n";
    struct Case {
        EntryFile file;
        bool trusted;
    };
    std::vector<Case> cases;
    for (EntryFile file : trustedEntries())
        cases.push_back({{file.name, file.path, file.permissions, file.extra + extra}, true});
    for (EntryFile file : untrustedEntries())
        cases.push_back(
            {{file.name, file.path, file.permissions, file.extra + extra, file.ownedByNobody},
             false});
    const LocalFileSystem fileSystem;
    const DesktopFileIcons icons;
    for (const Case& c : cases) {
        if (!make(c.file))
            continue;
        const QString label = c.trusted ? QStringLiteral("Recorded ") + QLatin1String(c.file.name)
                                        : QFileInfo(c.file.path).fileName();
        EXPECT_EQ(fileSystem.displayName(c.file.path), label) << c.file.name;
        const QIcon shown = icons.iconForFile(c.file.path);
        const bool own =
            !shown.isNull() && QColor(shown.pixmap(8, 8).toImage().pixel(4, 4)) == QColor(Qt::red);
        EXPECT_EQ(own, c.trusted) << c.file.name;
    }
}

#include "WorkspaceTest.moc"
