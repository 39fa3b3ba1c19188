// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/XdgAutostart.h"
#include "fakes/FakeSystemLog.h"
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"
#include "runtime/LaunchAtLogin.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gio/gdesktopappinfo.h>

#include <gtest/gtest.h>

using Session::expectValidEntry;

// Copies of moorline laid out as on a real machine: an installed one, a build, one installed
// elsewhere and reached through a symbolic link, one in a folder whose name needs quoting. Each
// is a script that records the path it was started by, so a launch shows which copy ran.
class AutostartCopies : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        for (const QString& copy :
             {u"usr/bin/moorline"_qs, u"build/moorline"_qs, u"opt/moorline-0.1/bin/moorline"_qs,
              odd + u"/moorline"_qs, u"50% off/moorline"_qs})
            makeProgram(copy);
        ASSERT_TRUE(QDir().mkpath(path(u"links"_qs)));
        ASSERT_TRUE(
            QFile::link(path(u"opt/moorline-0.1/bin/moorline"_qs), path(u"links/moorline"_qs)));
    }

    QString path(const QString& relative) const {
        return relative.isEmpty() ? QString() : root_.path() + u'/' + relative;
    }
    QStringList paths(const QStringList& relatives) const {
        QStringList result;
        for (const QString& relative : relatives)
            result.append(relative.startsWith(u'.') ? relative : path(relative));
        return result;
    }
    QString autostart(int row) const { return path(u"autostart-%1"_qs.arg(row)); }

    void makeProgram(const QString& relative) {
        ASSERT_TRUE(Session::writeFile(
            path(relative), "#!/bin/sh\nprintf %s \"$0\" > '" + marker().toUtf8() + "'\n",
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    QString marker() const { return path(u"started"_qs); }

    // Launches the entry as a session manager does (GIO) and answers the path that ran.
    QString launched(const QString& entry) {
        QFile::remove(marker());
        GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(QFile::encodeName(entry));
        if (!info)
            return u"(GIO cannot read the entry)"_qs;
        GError* error = nullptr;
        const bool started = g_app_info_launch(G_APP_INFO(info), nullptr, nullptr, &error);
        g_object_unref(info);
        g_clear_error(&error);
        if (!started || !Session::waitUntil([this] { return QFile(marker()).size() > 0; }))
            return u"(nothing started)"_qs;
        return QString::fromUtf8(Session::readFile(marker()));
    }

    // A folder name with every character the Desktop Entry format reserves.
    const QString odd = u"My Apps $HOME (1) \\ `x` \"é\" ;~|&<>*?#'"_qs;

private:
    QTemporaryDir root_;
};

TEST_F(AutostartCopies, TheEntryStartsTheInstalledCopyWhenThatRunsAndTheRunningOneOtherwise) {
    struct Row {
        const char* what;
        QString running;
        QStringList searchPath;
        QString started;
        // GLib checks an entry's program before undoing "%%", so it refuses a path with "%" that
        // other session managers start.
        bool gioStarts = true;
    };
    const Row rows[] = {
        {"installed, on PATH", u"usr/bin/moorline"_qs, {u"usr/bin"_qs}, u"usr/bin/moorline"_qs},
        {"a build, another copy installed",
         u"build/moorline"_qs,
         {u"usr/bin"_qs},
         u"build/moorline"_qs},
        {"installed, on PATH through a link",
         u"opt/moorline-0.1/bin/moorline"_qs,
         {u"usr/bin/none"_qs, u"links"_qs},
         u"links/moorline"_qs},
        {"installed off PATH",
         u"opt/moorline-0.1/bin/moorline"_qs,
         {u"usr/bin"_qs},
         u"opt/moorline-0.1/bin/moorline"_qs},
        {"a relative PATH folder",
         u"opt/moorline-0.1/bin/moorline"_qs,
         {u"."_qs},
         u"opt/moorline-0.1/bin/moorline"_qs},
        {"reserved characters, on PATH", odd + u"/moorline"_qs, {odd}, odd + u"/moorline"_qs},
        {"reserved characters, a build", odd + u"/moorline"_qs, {}, odd + u"/moorline"_qs},
        {"a percent sign", u"50% off/moorline"_qs, {}, u"50% off/moorline"_qs, false},
        {"replaced while running", QString(), {u"usr/bin"_qs}, u"usr/bin/moorline"_qs},
    };
    // "." would find the link, were relative folders taken.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(path(u"links"_qs));
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        XdgAutostart items(path(row.running), autostart(++index), paths(row.searchPath));
        EXPECT_EQ(items.programPath().toStdString(), path(row.started).toStdString());
        EXPECT_EQ(items.status(), AutostartStatus::notRegistered);
        ASSERT_EQ(items.enable(), std::nullopt);
        expectValidEntry(items.entryPath());
        EXPECT_EQ(items.status(), AutostartStatus::enabled);
        if (row.gioStarts) {
            EXPECT_EQ(launched(items.entryPath()).toStdString(), path(row.started).toStdString());
        }
    }
    QDir::setCurrent(previous);
}

TEST_F(AutostartCopies, AnEntryOffOrForAnotherCopyIsNotThisOnesAndRegisteringTakesItOver) {
    XdgAutostart items(path(u"usr/bin/moorline"_qs), autostart(0), {path(u"usr/bin"_qs)});
    FakeSystemLog log;
    LaunchAtLogin launch(items, log);
    // The session that reads the entry at login finds a bare name on its own PATH.
    const QByteArray previousPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(path(u"usr/bin"_qs)) + ':' + previousPath);
    const auto entry = [](const QByteArray& exec) {
        return "[Desktop Entry]\nType=Application\nName=M\nExec=" + exec + '\n';
    };
    const QByteArray installed = path(u"usr/bin/moorline"_qs).toUtf8();
    const std::pair<QByteArray, AutostartStatus> rows[] = {
        {entry("moorline"), AutostartStatus::enabled},
        {entry(installed), AutostartStatus::enabled},
        {entry("\"" + installed + "\" --flag"), AutostartStatus::enabled},
        {entry(path(u"build/moorline"_qs).toUtf8()), AutostartStatus::notFound},
        {entry(path(u"links/moorline"_qs).toUtf8()), AutostartStatus::notFound},
        {entry(path(u"usr/bin/gone"_qs).toUtf8()), AutostartStatus::notFound},
        {entry("moorline-gone"), AutostartStatus::notFound},
        {entry("moorline") + "Hidden=true\n", AutostartStatus::notRegistered},
        {entry("moorline") + "X-GNOME-Autostart-enabled=false\n", AutostartStatus::notRegistered},
        {"not a desktop entry", AutostartStatus::notRegistered},
    };
    for (const auto& [content, status] : rows) {
        SCOPED_TRACE(content.constData());
        ASSERT_TRUE(Session::writeFile(items.entryPath(), content));
        EXPECT_EQ(items.status(), status);
        launch.setEnabled(true);
        EXPECT_TRUE(launch.isEnabled());
        if (status == AutostartStatus::enabled) { // ours already: left as it is
            EXPECT_EQ(Session::readFile(items.entryPath()), content);
        }
        EXPECT_EQ(launched(items.entryPath()), QString::fromUtf8(installed));
        // Switching off removes whatever entry is there, counted as ours or not.
        ASSERT_TRUE(Session::writeFile(items.entryPath(), content));
        launch.setEnabled(false);
        EXPECT_FALSE(QFile::exists(items.entryPath()));
        EXPECT_FALSE(launch.isEnabled());
    }
    qputenv("PATH", previousPath);
    EXPECT_TRUE(log.lines.isEmpty());

    // A file where the folder should be stops everyone, root included: the system's reason is
    // logged, and the switch stays off.
    ASSERT_TRUE(Session::writeFile(path(u"blocked"_qs), "in the way"));
    XdgAutostart blocked(u"/bin/true"_qs, path(u"blocked"_qs));
    LaunchAtLogin blockedLaunch(blocked, log);
    blockedLaunch.setEnabled(true);
    blockedLaunch.setEnabled(false);
    const QString line = u"LaunchAtLogin: failed to update registration: Not a directory"_qs;
    EXPECT_EQ(log.lines, (QStringList{line, line}));
    EXPECT_FALSE(blockedLaunch.isEnabled());
}
