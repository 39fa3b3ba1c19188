// SPDX-License-Identifier: GPL-3.0-or-later
#include "integration/support/DummyMonitors.h"

#include "integration/support/XSession.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cstdio>

namespace {

// Outputs the tests may have switched on; more are never used.
constexpr int outputCount = 3;

QString output(int index) {
    return QStringLiteral("DUMMY%1").arg(index);
}

QString mode(const QRect& monitor) {
    return QStringLiteral("%1x%2").arg(monitor.width()).arg(monitor.height());
}

bool qtSees(std::vector<QRect> expected) {
    const QRect primaryGeometry = expected.front();
    std::vector<QRect> seen;
    for (const QScreen* screen : QGuiApplication::screens())
        seen.push_back(screen->geometry());
    const auto byPosition = [](const QRect& a, const QRect& b) {
        return std::pair(a.x(), a.y()) < std::pair(b.x(), b.y());
    };
    std::sort(seen.begin(), seen.end(), byPosition);
    std::sort(expected.begin(), expected.end(), byPosition);
    const QScreen* primary = QGuiApplication::primaryScreen();
    return seen == expected && primary && primary->geometry() == primaryGeometry;
}

} // namespace

void DummyMonitors::prepareOutputs() {
    const auto xrandr = [](const QStringList& arguments) {
        Session::run(QStringLiteral("xrandr"), arguments);
    };
    QStringList allOn, othersOff;
    for (int i = 0; i < outputCount; ++i) {
        for (const char* size : {"1280x800", "1024x768", "1280x1024"})
            xrandr({QStringLiteral("--addmode"), output(i), QLatin1String(size)});
        allOn << QStringLiteral("--output") << output(i) << QStringLiteral("--mode")
              << QStringLiteral("1280x800") << QStringLiteral("--pos")
              << QStringLiteral("%1x0").arg(i * 1280);
        if (i > 0)
            othersOff << QStringLiteral("--output") << output(i) << QStringLiteral("--off");
    }
    xrandr(allOn);
    xrandr(othersOff);
    // A plain query makes the server probe the outputs again.
    xrandr({});
}

bool DummyMonitors::arrange(const std::vector<QRect>& monitors) {
    if (monitors.empty() || int(monitors.size()) > outputCount)
        return false;
    QStringList arguments;
    for (int i = 0; i < outputCount; ++i) {
        if (i >= int(monitors.size())) {
            arguments << QStringLiteral("--output") << output(i) << QStringLiteral("--off");
            continue;
        }
        const QRect& monitor = monitors[i];
        arguments << QStringLiteral("--output") << output(i) << QStringLiteral("--mode")
                  << mode(monitor) << QStringLiteral("--pos")
                  << QStringLiteral("%1x%2").arg(monitor.x()).arg(monitor.y());
        if (i == 0)
            arguments << QStringLiteral("--primary");
    }
    if (Session::run(QStringLiteral("xrandr"), arguments).exitCode != 0)
        return false;
    if (Session::waitUntil([&] { return qtSees(monitors); }, std::chrono::seconds(10)))
        return true;
    std::fprintf(stderr, "DummyMonitors: Qt sees, primary first:\n");
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        std::fprintf(stderr, "  %s%s %d,%d %dx%d\n", qPrintable(screen->name()),
                     screen == QGuiApplication::primaryScreen() ? " (primary)" : "", g.x(), g.y(),
                     g.width(), g.height());
    }
    std::fprintf(
        stderr, "%s\n",
        Session::run(QStringLiteral("xrandr"), {QStringLiteral("--listmonitors")}).out.constData());
    return false;
}
