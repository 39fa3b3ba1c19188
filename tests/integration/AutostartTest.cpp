#include "fakes/FakeSystemLog.h"
#include "integration/support/XSession.h"
#include "backends/desktop/XdgAutostartLoginItems.h"
#include "runtime/LaunchAtLogin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gio/gdesktopappinfo.h>

#include <gtest/gtest.h>

namespace {

QString configHome() {
    return qEnvironmentVariable("XDG_CONFIG_HOME");
}

// desktop-file-validate prints errors and warnings alike; hints are fine.
void expectValid(const QString& path) {
    const auto result = Desktop::run(QStringLiteral("desktop-file-validate"), {path});
    EXPECT_EQ(result.exitCode, 0) << result.out.constData() << result.err.constData();
    EXPECT_FALSE(result.out.contains("error") || result.out.contains("warning"))
        << result.out.constData();
}

bool writeFile(const QString& path, const QByteArray& content, bool executable = false) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(content);
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner);
    return true;
}

} // namespace

TEST(AutostartTest, LaunchAtLoginRoundTripsThroughTheUsersAutostartFolder) {
    XdgAutostartLoginItems items;
    FakeSystemLog log;
    LaunchAtLogin launch(items, log);
    const QString entry = configHome() + QStringLiteral("/autostart/moorline.desktop");
    ASSERT_EQ(items.entryPath(), entry);
    ASSERT_FALSE(QFile::exists(configHome() + QStringLiteral("/autostart")));
    EXPECT_FALSE(launch.isEnabled());

    launch.setEnabled(true);
    ASSERT_TRUE(QFile::exists(entry));
    expectValid(entry);
    EXPECT_TRUE(launch.isEnabled());

    // GIO, which session managers use, reads the entry back as this very program.
    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(entry.toLocal8Bit().constData());
    ASSERT_TRUE(info);
    EXPECT_EQ(QString::fromLocal8Bit(g_app_info_get_executable(G_APP_INFO(info))),
              QCoreApplication::applicationFilePath());
    EXPECT_STREQ(g_app_info_get_name(G_APP_INFO(info)), "Moorline");
    g_object_unref(info);

    launch.setEnabled(false);
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_FALSE(launch.isEnabled());
    launch.setEnabled(false);
    EXPECT_TRUE(log.lines.isEmpty()) << log.lines.join(u'\n').toStdString();
}

TEST(AutostartTest, AProgramPathWithReservedCharactersIsQuotedAndFoundAgain) {
    QTemporaryDir root;
    const QString folder = root.path() + QStringLiteral("/My Apps $HOME (1) \\ `x` \"é\"");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString program = folder + QStringLiteral("/moor%line's");
    ASSERT_TRUE(writeFile(program, "#!/bin/sh\n", true));

    XdgAutostartLoginItems items(program, root.path() + QStringLiteral("/autostart"));
    EXPECT_EQ(items.registerMainApp(), std::nullopt);
    expectValid(items.entryPath());
    EXPECT_EQ(items.status(), LoginItemStatus::enabled);

    QFile::remove(program);
    EXPECT_EQ(items.status(), LoginItemStatus::notFound);
}

TEST(AutostartTest, AnEntryHiddenOrSwitchedOffIsNotEnabledAndRegisteringRenewsIt) {
    QTemporaryDir root;
    const QString folder = root.path() + QStringLiteral("/autostart");
    ASSERT_TRUE(QDir().mkpath(folder));
    XdgAutostartLoginItems items(QStringLiteral("/bin/true"), folder);
    FakeSystemLog log;
    LaunchAtLogin launch(items, log);
    for (const QByteArray& off :
         {QByteArray("Hidden=true\n"), QByteArray("X-GNOME-Autostart-enabled=false\n")}) {
        ASSERT_TRUE(writeFile(items.entryPath(), "[Desktop Entry]\nType=Application\nName=M\n"
                                                 "Exec=/bin/true\n" +
                                                     off));
        EXPECT_FALSE(launch.isEnabled()) << off.constData();
        launch.setEnabled(true);
        EXPECT_TRUE(launch.isEnabled()) << off.constData();
        expectValid(items.entryPath());
    }
    ASSERT_TRUE(writeFile(items.entryPath(), "not a desktop entry"));
    EXPECT_FALSE(launch.isEnabled());
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST(AutostartTest, AnUnwritableAutostartFolderIsLoggedWithTheSystemsReason) {
    // Tests may run as root, whom permissions do not stop: a file where the folder should be
    // stops everyone.
    QTemporaryDir root;
    const QString notAFolder = root.path() + QStringLiteral("/autostart");
    ASSERT_TRUE(writeFile(notAFolder, "in the way"));
    XdgAutostartLoginItems items(QStringLiteral("/bin/true"), notAFolder);
    FakeSystemLog log;
    LaunchAtLogin launch(items, log);
    launch.setEnabled(true);
    launch.setEnabled(false);
    ASSERT_EQ(log.lines.size(), 2);
    for (const QString& line : log.lines)
        EXPECT_EQ(line, QStringLiteral("LaunchAtLogin: failed to update registration: "
                                       "Not a directory"));
    EXPECT_FALSE(launch.isEnabled());
}
