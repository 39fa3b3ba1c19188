// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/EdgeStripPointerMonitor.h"

#include "backends/wayland/EdgeStripWindow.h"
#include "platform/ScreenSpace.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

Subscription EdgeStripPointerMonitor::watchArea(const QRectF& area, std::function<void()> entered) {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return {};
    const QRect rect = ScreenSpace::toQt(area, primary->geometry()).toAlignedRect();
    QPointer<EdgeStripWindow> strip = new EdgeStripWindow(rect, hints_, std::move(entered));
    strip->show();
    return Subscription([strip] {
        if (!strip)
            return;
        strip->hide();
        // Dropped from inside its own enter event too.
        strip->deleteLater();
    });
}
