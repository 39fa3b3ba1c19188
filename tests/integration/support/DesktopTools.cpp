// SPDX-License-Identifier: GPL-3.0-or-later
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>

QByteArray Session::readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Session::dataFolder() {
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Moorline");
}

QString Session::docksFile() {
    return dataFolder() + QStringLiteral("/docks.json");
}

bool Session::writeFile(const QString& path, const QByteArray& content,
                        QFile::Permissions permissions) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size())
        return false;
    file.close();
    return !permissions || file.setPermissions(permissions);
}

bool Session::writeImage(const QString& path, QColor colour, int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    return image.save(path);
}

QColor Session::centreColour(const QIcon& icon, int size) {
    return icon.isNull() ? QColor()
                         : icon.pixmap(size, size).toImage().pixelColor(size / 2, size / 2);
}

bool Session::xdotool(const QStringList& arguments) {
    return run(QStringLiteral("xdotool"), arguments).exitCode == 0;
}

QByteArray Session::xprop(quint32 window, const QStringList& properties) {
    const QStringList target = window ? QStringList{QStringLiteral("-id"), QString::number(window)}
                                      : QStringList{QStringLiteral("-root")};
    return run(QStringLiteral("xprop"), target + properties).out;
}

QStringList Session::visibleWindows(const QString& pattern) {
    const auto found =
        run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                        QStringLiteral("--classname"), pattern});
    return QString::fromLatin1(found.out).split(u'\n', Qt::SkipEmptyParts);
}

QRect Session::windowGeometry(const QString& window) {
    const QString info =
        QString::fromLatin1(run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window}).out);
    const auto field = [&](const char* name) {
        return QRegularExpression(QLatin1String(name) + QStringLiteral(":\\s+(-?\\d+)"))
            .match(info)
            .captured(1)
            .toInt();
    };
    return info.isEmpty() ? QRect()
                          : QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"),
                                  field("Width"), field("Height"));
}

QString Session::waitForWindow(const QString& pattern) {
    QString found;
    waitUntil(
        [&] {
            found = visibleWindows(pattern).value(0);
            return !found.isEmpty();
        },
        std::chrono::seconds(10));
    return found;
}

QStringList Session::moorlineWindows(int count, const std::function<bool(QSize)>& wanted) {
    QStringList found;
    waitUntil(
        [&] {
            found.clear();
            for (const QString& window : visibleWindows(QStringLiteral("^moorline$")))
                if (wanted(windowGeometry(window).size()))
                    found.append(window);
            return found.size() >= count;
        },
        std::chrono::seconds(10));
    return found;
}

QString Session::activeWindow() {
    return QString::fromLatin1(xprop(0, {QStringLiteral("_NET_ACTIVE_WINDOW")}))
        .section(u'#', 1)
        .section(u',', 0, 0)
        .trimmed();
}

void Session::pause(std::chrono::milliseconds time) {
    waitUntil([] { return false; }, time);
}

QStringList Session::trashedPaths() {
    QStringList paths;
    for (const QByteArray& line : run(QStringLiteral("trash-list"), {}).out.split('\n'))
        if (line.size() > 20)
            paths.append(QString::fromUtf8(line.mid(20)));
    return paths;
}

QByteArray Session::readClipboard() {
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
    if (!xclip.waitForStarted(5000))
        return "<no xclip>";
    if (!waitUntil([&] { return xclip.state() == QProcess::NotRunning; },
                   std::chrono::seconds(10))) {
        xclip.kill();
        xclip.waitForFinished(1000);
        return "<timed out>";
    }
    return xclip.readAllStandardOutput();
}

void Session::expectValidEntry(const QString& path) {
    const auto result = run(QStringLiteral("desktop-file-validate"), {path});
    EXPECT_EQ(result.exitCode, 0) << result.out.constData() << result.err.constData();
    EXPECT_FALSE(result.out.contains("error") || result.out.contains("warning"))
        << result.out.constData();
}

Session::ChildProcesses::~ChildProcesses() {
    for (auto& process : processes_) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(3000))
            process->kill();
        process->waitForFinished(1000);
    }
}

QProcess& Session::ChildProcesses::start(const QString& program, const QStringList& arguments,
                                         const QProcessEnvironment& environment, bool quiet) {
    auto& process = *processes_.emplace_back(std::make_unique<QProcess>());
    if (quiet) {
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
    } else {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForStarted(5000)) << program.toStdString();
    return process;
}

QProcess& Session::ChildProcesses::startMoorline(const QProcessEnvironment& environment) {
    return start(QStringLiteral(MOORLINE_BINARY_DIR "/moorline"), {}, environment, false);
}

bool Session::ChildProcesses::startTray() {
    start(QStringLiteral("trayer"), {"--edge", "top", "--widthtype", "request"});
    return waitUntil([] { return !visibleWindows(QStringLiteral("^(panel|trayer)$")).isEmpty(); },
                     std::chrono::seconds(5));
}

void Session::endPolitely(QProcess& process) {
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
}

QString Session::dragFromSource(ChildProcesses& processes, const QStringList& arguments,
                                QPoint target) {
    using namespace std::chrono_literals;
    // Our own windows answer the X messages each step of input causes.
    const auto input = [&](const QStringList& step) {
        xdotool(step);
        pause(30ms);
    };
    QProcess& source = processes.start(QStringLiteral(MOORLINE_BINARY_DIR "/moorline-drag-source"),
                                       arguments + QStringList{"--at", "700,100"},
                                       QProcessEnvironment::systemEnvironment(), false);
    if (!waitUntil([&] { return source.canReadLine(); }, 10s))
        return QStringLiteral("no source");
    source.readLine(); // "ready"
    pause(300ms);
    const QPoint start(740, 130);
    input({"mousemove", QString::number(start.x()), QString::number(start.y())});
    input({"mousedown", "1"});
    const QPoint step = (target - start) / 10;
    for (int i = 0; i < 10; ++i)
        input({"mousemove_relative", "--", QString::number(step.x()), QString::number(step.y())});
    input({"mousemove", QString::number(target.x()), QString::number(target.y())});
    input({"mousemove_relative", "1", "1"});
    input({"mouseup", "1"});
    waitUntil([&] { return source.canReadLine(); }, 10s);
    const QString answer = QString::fromLatin1(source.readLine().trimmed());
    pause(500ms);
    return answer;
}
