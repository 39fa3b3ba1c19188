#include "backends/x11/QtScreens.h"

#include "platform/ScreenSpace.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace {

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
