// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/QtScreens.h"

#include "platform/ScreenSpace.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace {

void watchGeometry(QScreen* screen, QObject* context, const std::function<void()>& handler) {
    QObject::connect(screen, &QScreen::geometryChanged, context, [handler] { handler(); });
}

QRect primaryGeometry() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry() : QRect();
}

} // namespace

std::vector<QRectF> QtScreens::frames() const {
    const QRect primary = primaryGeometry();
    std::vector<QRectF> result;
    for (const QScreen* screen : QGuiApplication::screens())
        result.push_back(ScreenSpace::fromQt(QRectF(screen->geometry()), primary));
    return result;
}

std::optional<QRectF> QtScreens::mainFrame() const {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return std::nullopt;
    return ScreenSpace::fromQt(QRectF(primary->geometry()), primary->geometry());
}

QPointF QtScreens::pointerLocation() const {
    return ScreenSpace::pointFromQt(QCursor::pos(), primaryGeometry());
}

Subscription QtScreens::observeChanges(std::function<void()> handler) {
    if (!qGuiApp)
        return {};
    // One context object per subscription: deleting it ends every connection made for it.
    auto* context = new QObject;
    for (QScreen* screen : QGuiApplication::screens())
        watchGeometry(screen, context, handler);
    QObject::connect(qGuiApp, &QGuiApplication::screenAdded, context,
                     [context, handler](QScreen* screen) {
                         watchGeometry(screen, context, handler);
                         handler();
                     });
    QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, context, [handler] { handler(); });
    QObject::connect(qGuiApp, &QGuiApplication::primaryScreenChanged, context,
                     [handler] { handler(); });
    return Subscription([context] { delete context; });
}
