#include "integration/support/XSession.h"
#include "backends/desktop/GioWorkspace.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QObject>

#include <gtest/gtest.h>

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
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray entry(const QByteArray& name, const QByteArray& exec, const QByteArray& mime = {}) {
    QByteArray text = "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec + "\n";
    if (!mime.isEmpty())
        text += "MimeType=" + mime + ";\n";
    return text;
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
        write(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/mimeapps.list"),
              "[Default Applications]\n"
              "text/plain=test-text.desktop\n"
              "inode/directory=test-folder.desktop\n"
              "x-scheme-handler/moorlinetest=test-scheme.desktop\n");
        qputenv("XDG_DATA_DIRS", (root() + QStringLiteral("/share:/usr/share")).toUtf8());
    }

    GioWorkspace workspace;
};

TEST_F(WorkspaceTest, ADesktopEntryStartsItsProgramWithoutOurStreamsOrStartTokens) {
    qputenv("DESKTOP_STARTUP_ID", "ours");
    qputenv("DESKTOP_AUTOSTART_ID", "ours");
    qputenv("XDG_ACTIVATION_TOKEN", "ours");
    workspace.openPath(root() + QStringLiteral("/share/applications/test-launch.desktop"));
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

#include "WorkspaceTest.moc"
