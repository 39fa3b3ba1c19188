// SPDX-License-Identifier: GPL-3.0-or-later
// A program sending 100 LauncherEntry updates a second over a real session bus to an items dock
// of 20 application tiles drawn offscreen: the CPU the whole path costs us (D-Bus, the badge
// model, the repaints) as a share of one core, and what each update repaints. Run under
// dbus-run-session; needs /usr/bin/python3 with python3-dbus.
#include "backends/desktop/DBusBadgeUpdates.h"
#include "fakes/FakeServices.h"
#include "platform/QtScheduler.h"
#include "views/DockContentView.h"
#include "views/DockItemGridView.h"

#include <QApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>

#include <sys/resource.h>

namespace {

constexpr int tileCount = 20;
constexpr int seconds = 8;

struct PaintedArea : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect& rect : static_cast<QPaintEvent*>(event)->region())
                area += qint64(rect.width()) * rect.height();
        }
        return false;
    }
    int paints = 0;
    qint64 area = 0;
};

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

const char* sender = R"(
import sys, time, dbus, dbus.lowlevel
bus = dbus.SessionBus()
end = time.monotonic() + float(sys.argv[1])
count = 0
while time.monotonic() < end:
    count += 1
    m = dbus.lowlevel.SignalMessage('/mail', 'com.canonical.Unity.LauncherEntry', 'Update')
    m.append('application://app-7.desktop', {'count': dbus.Int64(count), 'count-visible': True,
             'progress': (count % 100) / 100.0, 'progress-visible': True}, signature='sa{sv}')
    bus.send_message(m)
    bus.flush()
    time.sleep(0.01)
print(count)
)";

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!QDBusConnection::sessionBus().isConnected()) {
        std::fprintf(stderr, "BadgeBench: no session bus (run under dbus-run-session)\n");
        return 1;
    }
    Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Apps"));
    dock.position = {0, 0, 400, 400};
    dock.columns = 5;
    for (int i = 0; i < tileCount; ++i) {
        DockItem item = DockItem::makeDocklet(DockletKind::separator, QString());
        item.kind = DockItemKind::application;
        item.docklet.reset();
        item.name = QStringLiteral("App %1").arg(i);
        item.path = QStringLiteral("/apps/app-%1.desktop").arg(i);
        dock.tabs.front().items.push_back(item);
    }
    FakeServicesOn<QtScheduler> fakes({dock});
    for (int i = 0; i < tileCount; ++i)
        fakes.desktop.addLauncher(QStringLiteral("/apps/app-%1.desktop").arg(i),
                                  QStringLiteral("app-%1").arg(i));
    DBusBadgeUpdates updates;
    updates.listen();
    BadgeModel badges(updates, fakes.scheduler);
    DockContentView::Services withBadges = fakes.contentServices();
    DockContentView view(dock.id,
                         {withBadges.store, withBadges.scheduler, withBadges.runningApps,
                          withBadges.fileSystem, withBadges.fileIcons, withBadges.iconCache,
                          withBadges.docklets, withBadges.itemActions, withBadges.launcher, badges,
                          withBadges.trash});
    view.resize(400, 400);
    view.show();
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit);
    settle.exec();

    DockItemGridView& grid = *view.grid();
    PaintedArea painted;
    grid.viewport()->installEventFilter(&painted);
    int heard = 0;
    const Subscription counting = badges.onChange([&](const QString&) { ++heard; });
    // With MOORLINE_BENCH_IDLE set, a sender that sends nothing: what the same time costs idle.
    const bool idle = qEnvironmentVariableIsSet("MOORLINE_BENCH_IDLE");
    QProcess program;
    program.start(QStringLiteral("/usr/bin/python3"),
                  {QStringLiteral("-c"),
                   idle ? QStringLiteral("import time, sys; time.sleep(float(sys.argv[1])); "
                                         "print(0)")
                        : QString::fromLatin1(sender),
                   QString::number(seconds)});
    program.waitForStarted();
    // Measured from the first second on: the first badge's font and the sender's watch are
    // made once.
    double cpuBefore = 0;
    int heardBefore = 0;
    int paintsBefore = 0;
    QElapsedTimer wall;
    QTimer::singleShot(1000, [&] {
        cpuBefore = cpuSeconds();
        heardBefore = heard;
        paintsBefore = painted.paints;
        painted.area = 0;
        wall.start();
    });
    // The event loop waits as the program's does; the last updates arrive after the sender ends.
    QEventLoop loop;
    QObject::connect(&program, &QProcess::finished, &loop,
                     [&loop] { QTimer::singleShot(300, &loop, &QEventLoop::quit); });
    loop.exec();
    const double cpu = cpuSeconds() - cpuBefore;
    const double elapsed = double(wall.elapsed()) / 1000.0;
    const int total = program.readAllStandardOutput().trimmed().toInt();
    // The sender keeps an even pace: its share of the measured time.
    const int sent = int(total * (elapsed - 0.3) / (seconds - 1.0 + 0.0));
    heard -= heardBefore;
    painted.paints -= paintsBefore;
    const QRect cell = grid.cellRect(7);
    std::printf("updates sent: about %d in %.1f s (%.0f a second)\n", sent, elapsed,
                sent / elapsed);
    std::printf("heard by the views: %d; paints: %d\n", heard, painted.paints);
    std::printf("area per paint: %.2f tiles (a tile's cell is %dx%d)\n",
                painted.paints
                    ? double(painted.area) / painted.paints / (double(cell.width()) * cell.height())
                    : 0.0,
                cell.width(), cell.height());
    std::printf("CPU: %.3f s over %.1f s = %.2f %% of one core (%.0f us an update; %.2f %% at 100 "
                "a second)\n",
                cpu, elapsed, 100.0 * cpu / elapsed, 1e6 * cpu / std::max(sent, 1),
                100.0 * 100.0 * cpu / std::max(sent, 1));
    return 0;
}
