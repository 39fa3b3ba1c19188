// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QIcon>
#include <QPoint>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QProcess;

// More helpers for tests that drive the real desktop (beside Session::run and waitUntil).
namespace Session {

QByteArray readFile(const QString& path);
// The program's data folder in this session, and the docks file in it.
QString dataFolder();
QString docksFile();
// Writes `content` at `path`, making its folder first; with `permissions`, sets them after.
bool writeFile(const QString& path, const QByteArray& content, QFile::Permissions permissions = {});
// An image file of one colour, for a test to recognise where it shows up.
bool writeImage(const QString& path, QColor colour, int size = 8);
// The colour in the middle of an icon drawn at `size` pixels.
QColor centreColour(const QIcon& icon, int size = 8);

// Runs xdotool; answers whether it succeeded.
bool xdotool(const QStringList& arguments);
// xprop's report of the properties of `window`, or of the root window for 0.
QByteArray xprop(quint32 window, const QStringList& properties);
// The windows that xdotool finds mapped with a class name matching `pattern`.
QStringList visibleWindows(const QString& pattern);
// A window's position on the screen and size, as xwininfo reports them.
QRect windowGeometry(const QString& window);
// The first window found as visibleWindows(pattern) does, once there is one (empty after 10 s).
QString waitForWindow(const QString& pattern);
// The program's visible windows whose size `wanted` accepts (not the tray icon, nor the
// settings window that a session without a tray host gets), once there are `count` (10 s at most).
QStringList moorlineWindows(int count, const std::function<bool(QSize)>& wanted);
// The active window's id ("0x80000c"); xfwm4 writes a second, zero id after a comma.
QString activeWindow();
// Lets the event loop run for a while: our own windows answer the X messages of a step.
void pause(std::chrono::milliseconds time);

// trash-list's lines, "date time /original/path", as the original paths.
QStringList trashedPaths();
// The clipboard as xclip reads it; xclip asks us for the selection, so our event loop runs.
QByteArray readClipboard();
// Expects desktop-file-validate to accept the entry with neither errors nor warnings (hints are
// fine).
void expectValidEntry(const QString& path);

// Programs a test starts; those still running at the end are asked to stop (SIGTERM), then
// killed.
class ChildProcesses {
public:
    ~ChildProcesses();
    // Started with its output discarded, or passed through to ours.
    QProcess&
    start(const QString& program, const QStringList& arguments = {},
          const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
          bool quiet = true);
    // The moorline binary of this build, its errors passed through.
    QProcess& startMoorline(
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    // A tray host at the top edge, as on a desktop (so that no settings window opens at start),
    // answering once its window is up.
    bool startTray();

private:
    std::vector<std::unique_ptr<QProcess>> processes_;
};

// Starts moorline-drag-source (tests/dragsource) with `arguments`, drags from its window to
// `target` with the real pointer, in steps so that the drag passes through its enter and
// positions, and answers what the source was told: "copy", "move" or "ignore" ("no source" when
// it never came up). Waits a moment after, as the target reads the data from the source then.
QString dragFromSource(ChildProcesses& processes, const QStringList& arguments, QPoint target);

// Sends SIGTERM and expects the program to end by itself with exit code 0.
void endPolitely(QProcess& process);

} // namespace Session
