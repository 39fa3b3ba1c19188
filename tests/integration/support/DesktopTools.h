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

#include <memory>
#include <vector>

class QProcess;

// More helpers for tests that drive the real desktop (beside Desktop::run and waitUntil).
namespace Desktop {

QByteArray readFile(const QString& path);
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

} // namespace Desktop
