// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/DockPanelWindow.h"

#include "platform/ScreenSpace.h"
#include "platform/WindowHints.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QMoveEvent>
#include <QPainterPath>
#include <QPixmap>
#include <QResizeEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr Qt::WindowFlags baseFlags = Qt::Tool | Qt::FramelessWindowHint;

QRect primaryGeometry() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry() : QRect();
}

// The union of all screens.
QRect virtualDesktop() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->virtualGeometry() : QRect();
}

// A panel is in no task bar or switcher, where an icon would show: one small size, where the
// application's icon (scalable) would make Qt draw it at four sizes and write them all on every
// panel's window, for the X server, the window manager and the running-windows list to copy; with
// many docks that was megabytes at start. The small size is kept ready as a PNG image, read by
// Qt's own PNG reader alone: drawing the scalable icon before the first frame loaded the SVG
// renderer for it, and a reader left to guess loads every image format plugin to ask them first.
const QIcon& panelIcon() {
    static const QIcon icon = [] {
        QImageReader reader(QStringLiteral(":/moorline/moorline-16.png"), "png");
        reader.setAutoDetectImageFormat(false);
        return QIcon(QPixmap::fromImage(reader.read()));
    }();
    return icon;
}

double orZero(double value) {
    return std::isnan(value) ? 0.0 : value;
}

int clamped(double value, int low, int high) {
    return static_cast<int>(std::lround(std::clamp(orZero(value), double(low), double(high))));
}

} // namespace

DockPanelWindow::DockPanelWindow(const QRectF& frame, WindowHints& hints)
    : QWidget(nullptr, baseFlags), hints_(hints) {
    // Both need to be in place before the native window exists: the second picks a visual
    // with alpha, so the rounded corners are see-through where a compositor runs.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The stored frame rules: the content's own minimum size must not grow the window.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    setGeometry(geometryForFrame(frame, primaryGeometry(), virtualDesktop()));
    setWindowIcon(panelIcon());
    // Create the X window now, so that its properties can be written before the first map and
    // its id stays the same for the panel's whole life.
    winId();
    hints_.setWindowClass(windowHandle(), "moorline", "Moorline");
    hints_.setAcceptsFocus(windowHandle(), false);
    requested_ = geometry();
    windowHandle()->installEventFilter(this);
}

DockPanelWindow::~DockPanelWindow() = default;

void DockPanelWindow::setContent(QWidget* content) {
    content->setParent(this);
    layout()->addWidget(content);
}

QRect DockPanelWindow::geometryForFrame(const QRectF& frame, const QRect& primaryScreen,
                                        const QRect& virtualDesktop) {
    // A panel never smaller than its header (about 28 px, the part it is dragged by) with room
    // to spare, nor than one tile at the default icon size: small enough not to be in the way,
    // large enough to be seen and grabbed. A zero or negative size would otherwise leave a
    // 1 x 1 window nobody finds again.
    constexpr int minSize = 48;
    // X carries sizes and positions as 16-bit numbers; beyond the desktop a window only costs
    // the server memory (a 32767 x 32767 window takes gigabytes).
    constexpr int maxXSize = 32767;
    constexpr int minPosition = -32768;
    constexpr int maxPosition = 32767;
    const bool noScreen = virtualDesktop.isEmpty();
    const int maxWidth = noScreen ? maxXSize : std::max(virtualDesktop.width(), minSize);
    const int maxHeight = noScreen ? maxXSize : std::max(virtualDesktop.height(), minSize);
    // The size is bounded first, so that the frame's lower-left corner stays where it is stored.
    const QRectF bounded(orZero(frame.x()), orZero(frame.y()),
                         clamped(frame.width(), minSize, maxWidth),
                         clamped(frame.height(), minSize, maxHeight));
    QRectF qt = ScreenSpace::toQt(bounded, primaryScreen);
    // A panel cut down to the desktop's height would otherwise reach above it by what was cut
    // below the stored top, header and all: it starts at the desktop's top instead, where it
    // can be grabbed.
    if (!noScreen && frame.height() > maxHeight)
        qt.moveTop(virtualDesktop.top());
    return {clamped(qt.x(), minPosition, maxPosition), clamped(qt.y(), minPosition, maxPosition),
            int(qt.width()), int(qt.height())};
}

void DockPanelWindow::setFrame(const QRectF& frame) {
    const QRect target = geometryForFrame(frame, primaryGeometry(), virtualDesktop());
    requested_ = target;
    if (target != geometry())
        setGeometry(target);
}

QRectF DockPanelWindow::frame() const {
    return ScreenSpace::fromQt(QRectF(geometry()), primaryGeometry());
}

void DockPanelWindow::setTitle(const QString& title) {
    if (title != windowTitle())
        setWindowTitle(title);
}

void DockPanelWindow::setAlwaysOnTop(bool alwaysOnTop) {
    alwaysOnTop_ = alwaysOnTop;
    // Asked again at every apply, not only when the dock's value changes: the window manager's
    // own menu or a rule may have changed the layer meanwhile. One message, no round trip. A
    // hidden panel takes its level with it at the next show.
    if (isVisible())
        hints_.setAbove(windowHandle(), alwaysOnTop_);
}

void DockPanelWindow::showPanel() {
    if (isVisible())
        return;
    hints_.prepareForMap(windowHandle(), alwaysOnTop_);
    placing_ = true;
    reasserted_ = false;
    show();
    // Said again once shown: on a layer surface this ends a keyboard session the panel held when
    // it was hidden. (On X11 the value written before the map is the one the window manager
    // reads; Qt leaves it as it is when it maps the window.)
    hints_.setAcceptsFocus(windowHandle(), acceptsFocus_);
}

void DockPanelWindow::setAcceptsKeyboardFocus(bool accepts) {
    fieldWantsFocus_ = accepts;
    applyAcceptsFocus();
}

void DockPanelWindow::applyAcceptsFocus() {
    const bool accepts = fieldWantsFocus_ || session_;
    if (accepts == acceptsFocus_)
        return;
    acceptsFocus_ = accepts;
    hints_.setAcceptsFocus(windowHandle(), accepts);
    if (accepts && isVisible() && !session_)
        activateWindow();
}

void DockPanelWindow::takeKeyboard(std::uint32_t userTime) {
    if (!isVisible())
        return;
    const bool starts = !session_;
    session_ = true;
    sessionTime_ = userTime;
    if (starts)
        sessionActivated_ = isActiveWindow();
    applyAcceptsFocus();
    // A panel just shown is not mapped yet, and the window manager ignores requests for a
    // window it does not manage: ask once it is exposed.
    const QWindow* handle = windowHandle();
    focusPending_ = !handle || !handle->isExposed();
    if (!focusPending_)
        requestFocus();
    if (starts)
        Q_EMIT keyboardSessionChanged(true);
}

void DockPanelWindow::requestFocus() {
    focusPending_ = false;
    const WId previous = hints_.takeFocus(windowHandle(), sessionTime_);
    if (previous && !returnTo_)
        returnTo_ = previous;
}

void DockPanelWindow::releaseKeyboard(std::uint32_t userTime) {
    if (!session_)
        return;
    session_ = false;
    focusPending_ = false;
    const WId previous = std::exchange(returnTo_, 0);
    // Only from the panel: a user who went to another window meanwhile stays there.
    if (previous && (isActiveWindow() || sessionActivated_))
        hints_.giveFocusBack(previous, userTime);
    // Said again while a field keeps the panel accepting focus: where the panel holds the
    // keyboard by a hint (a layer surface's), that hint is what gives it back.
    if (fieldWantsFocus_ && acceptsFocus_)
        hints_.setAcceptsFocus(windowHandle(), true);
    applyAcceptsFocus();
    Q_EMIT keyboardSessionChanged(false);
}

void DockPanelWindow::returnKeyboard(std::uint32_t userTime) {
    if (session_)
        sessionActivated_ = true;
    releaseKeyboard(userTime);
}

void DockPanelWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !session_)
        return;
    if (isActiveWindow()) {
        sessionActivated_ = true;
    } else if (sessionActivated_ && !QApplication::activePopupWidget()) {
        // The user went elsewhere (a click on another window): the keyboard stays there.
        returnTo_ = 0;
        releaseKeyboard(0);
    }
}

void DockPanelWindow::setCornerRadius(double radius) {
    if (radius == cornerRadius_)
        return;
    cornerRadius_ = radius;
    updateBlurRegion();
}

QRegion DockPanelWindow::blurRegion(const QSize& size, double cornerRadius) {
    const QRectF rect(QPointF(0, 0), QSizeF(size));
    const double limit = std::min(rect.width(), rect.height()) / 2;
    const double radius = std::isnan(cornerRadius) ? 0.0 : std::clamp(cornerRadius, 0.0, limit);
    if (radius <= 0)
        return QRegion(rect.toRect());
    QPainterPath shape;
    shape.addRoundedRect(rect, radius, radius);
    return QRegion(shape.toFillPolygon().toPolygon());
}

void DockPanelWindow::updateBlurRegion() {
    hints_.setBlurRegion(windowHandle(), blurRegion(size(), cornerRadius_));
}

void DockPanelWindow::moveByHand() {
    QWindow* handle = windowHandle();
    if (!handle || handMovePointer_)
        return;
    // The window's own events come before its widgets see them, whichever widget has the
    // pointer grabbed.
    handMovePointer_ = QCursor::pos();
    handMoveOrigin_ = pos();
    setCursor(Qt::ClosedHandCursor);
}

void DockPanelWindow::hidePanel() {
    // Hidden by the hot key, the tray menu or the settings: the keyboard goes back first.
    releaseKeyboard(0);
    hide();
}

bool DockPanelWindow::isOnScreen() const {
    return isVisible();
}

void DockPanelWindow::close() {
    QWidget::close();
}

void DockPanelWindow::setFrameChangedHandler(std::function<void()> handler) {
    frameChangedHandler_ = std::move(handler);
}

void DockPanelWindow::setPointerPresenceHandler(std::function<void(bool inside)> handler) {
    pointerPresenceHandler_ = std::move(handler);
}

bool DockPanelWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != windowHandle())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::Leave:
        // The window's own crossings, not those between the widgets inside it.
        if (pointerPresenceHandler_)
            pointerPresenceHandler_(event->type() == QEvent::Enter);
        break;
    case QEvent::Expose:
        // Mapped, so placed: the window manager places a window before it maps it.
        if (windowHandle()->isExposed()) {
            placing_ = false;
            if (focusPending_)
                requestFocus();
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
        // The user works with the panel where they see it.
        placing_ = false;
        break;
    case QEvent::MouseButtonRelease:
        // A move by hand ends where the button is let go. The panel moves once, there: moved
        // while the pointer moves, it would shift the very positions the pointer is reported
        // in (a layer surface's pointer positions are its own, and the compositor applies each
        // move a moment later), and follow the pointer ever further.
        if (handMovePointer_) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint target =
                handMoveOrigin_ + (mouse->globalPosition() - *handMovePointer_).toPoint();
            handMovePointer_.reset();
            unsetCursor();
            move(target);
            // Our own move, but the user's frame.
            requested_ = geometry();
            if (frameChangedHandler_)
                frameChangedHandler_();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void DockPanelWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // The move Qt replays when a window is first shown changes nothing.
    if (event->pos() != event->oldPos())
        geometryReported(event->spontaneous());
}

void DockPanelWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateBlurRegion();
    if (event->size() != event->oldSize() && event->oldSize().isValid())
        geometryReported(event->spontaneous());
}

void DockPanelWindow::geometryReported(bool fromWindowSystem) {
    // Our own setGeometry: the record already holds it.
    if (!fromWindowSystem || geometry() == requested_)
        return;
    if (placing_) {
        // Reported while the window is being mapped: the window manager's placement, or a
        // position Qt took while the window was being reparented (Qt then reads the window at
        // the desktop's top-left corner, where it is not). Neither is the user's; the panel
        // asks once more for its place, which also puts Qt's idea of it right.
        if (!std::exchange(reasserted_, true))
            setGeometry(requested_);
        return;
    }
    // A move or resize the user made through the window manager (a drag of the header, its
    // keyboard moves, a resize).
    requested_ = geometry();
    if (frameChangedHandler_)
        frameChangedHandler_();
}
