// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/X11EdgeStrip.h"

#include "backends/x11/XcbConnection.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include <cstring>

namespace {

constexpr std::uint32_t stripEvents = XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_POINTER_MOTION;

xcb_visualid_t alphaVisual(const xcb_screen_t* screen) {
    for (auto depth = xcb_screen_allowed_depths_iterator(screen); depth.rem;
         xcb_depth_next(&depth)) {
        if (depth.data->depth != 32)
            continue;
        for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem;
             xcb_visualtype_next(&visual))
            if (visual.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR)
                return visual.data->visual_id;
    }
    return 0;
}

// Qt's coordinates to the X server's pixels.
QRect nativeRect(const QRect& area) {
    const QScreen* primary = QGuiApplication::primaryScreen();
    const double ratio = primary ? primary->devicePixelRatio() : 1.0;
    return {QPoint(qRound(area.x() * ratio), qRound(area.y() * ratio)),
            QSize(std::max(1, qRound(area.width() * ratio)),
                  std::max(1, qRound(area.height() * ratio)))};
}

} // namespace

X11EdgeStrip::X11EdgeStrip() : connection_(XcbConnection::qt()) {}

X11EdgeStrip::~X11EdgeStrip() {
    if (!window_)
        return;
    if (auto* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
    xcb_destroy_window(connection_, window_);
    if (colormap_)
        xcb_free_colormap(connection_, colormap_);
    xcb_flush(connection_);
}

void X11EdgeStrip::create(const QRect& native) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    window_ = xcb_generate_id(connection_);
    const xcb_visualid_t visual = alphaVisual(screen);
    const auto x = std::int16_t(native.x());
    const auto y = std::int16_t(native.y());
    const auto width = std::uint16_t(native.width());
    const auto height = std::uint16_t(native.height());
    if (visual) {
        colormap_ = xcb_generate_id(connection_);
        xcb_create_colormap(connection_, XCB_COLORMAP_ALLOC_NONE, colormap_, screen->root, visual);
        // Value order follows the mask bits: background, border, override-redirect, events,
        // colormap. A zero pixel in an alpha visual is fully transparent.
        const std::uint32_t values[] = {0, 0, 1, stripEvents, colormap_};
        xcb_create_window(connection_, 32, window_, screen->root, x, y, width, height, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT |
                              XCB_CW_EVENT_MASK | XCB_CW_COLORMAP,
                          values);
    } else {
        // Without one, on an X server of its own, where an input-only window sees the pointer.
        const std::uint32_t values[] = {1, stripEvents};
        xcb_create_window(connection_, 0, window_, screen->root, x, y, width, height, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    }
    static const char name[] = "Moorline edge strip";
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NAME,
                        XCB_ATOM_STRING, 8, std::strlen(name), name);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

void X11EdgeStrip::place(const QRect& area) {
    if (!connection_)
        return;
    const QRect native = nativeRect(area);
    if (!window_) {
        create(native);
    } else if (native != placed_) {
        const std::uint32_t values[] = {std::uint32_t(native.x()), std::uint32_t(native.y()),
                                        std::uint32_t(native.width()),
                                        std::uint32_t(native.height())};
        xcb_configure_window(connection_, window_,
                             XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                                 XCB_CONFIG_WINDOW_HEIGHT,
                             values);
    }
    if (placed_.isNull()) {
        // Mapped last, it is above every window mapped before it.
        xcb_map_window(connection_, window_);
    } else {
        const std::uint32_t above[] = {XCB_STACK_MODE_ABOVE};
        xcb_configure_window(connection_, window_, XCB_CONFIG_WINDOW_STACK_MODE, above);
    }
    placed_ = native;
    xcb_flush(connection_);
}

bool X11EdgeStrip::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    xcb_window_t target = 0;
    if (type == XCB_ENTER_NOTIFY)
        target = reinterpret_cast<const xcb_enter_notify_event_t*>(event)->event;
    else if (type == XCB_MOTION_NOTIFY)
        target = reinterpret_cast<const xcb_motion_notify_event_t*>(event)->event;
    if (target != window_ || !window_)
        return false;
    // A copy: the handler may drop the strip's watch, which clears it.
    if (const auto entered = entered_)
        entered();
    return true;
}
