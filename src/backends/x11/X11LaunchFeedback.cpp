// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/X11LaunchFeedback.h"

#include "backends/x11/StartupNotification.h"
#include "backends/x11/XcbConnection.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSysInfo>

#include <unistd.h>

namespace {

// An id travels through environments and messages: keep it to plain characters.
QByteArray plain(const QString& text) {
    static const QRegularExpression other(QStringLiteral("[^A-Za-z0-9._+-]"));
    return QString(text).replace(other, QStringLiteral("_")).toLatin1();
}

} // namespace

X11LaunchFeedback::X11LaunchFeedback() : connection_(XcbConnection::qt()) {
    if (connection_)
        QCoreApplication::instance()->installNativeEventFilter(this);
}

X11LaunchFeedback::~X11LaunchFeedback() {
    if (!connection_)
        return;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    if (window_ != XCB_WINDOW_NONE) {
        xcb_destroy_window(connection_, window_);
        xcb_flush(connection_);
    }
}

bool X11LaunchFeedback::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7f) {
    case XCB_BUTTON_PRESS:
    case XCB_BUTTON_RELEASE:
        userTime_ = reinterpret_cast<const xcb_button_press_event_t*>(event)->time;
        break;
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE:
        userTime_ = reinterpret_cast<const xcb_key_press_event_t*>(event)->time;
        break;
    default:
        break;
    }
    return false;
}

xcb_window_t X11LaunchFeedback::messageWindow() {
    // The messages name a window of the sender's; an input-only one nobody sees will do.
    if (window_ == XCB_WINDOW_NONE) {
        window_ = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_,
                          XcbConnection::rootWindow(connection_), -1, -1, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    }
    return window_;
}

LaunchToken X11LaunchFeedback::begin(const Launch& launch) {
    if (!connection_)
        return {};
    const QByteArray id = "moorline/" + plain(launch.desktopId) + '/' +
                          QByteArray::number(::getpid()) + '-' + QByteArray::number(++sequence_) +
                          '-' + plain(QSysInfo::machineHostName()) + "_TIME" +
                          QByteArray::number(userTime_);
    StartupNotification::send(
        connection_, messageWindow(),
        StartupNotification::message("new", {{"ID", id},
                                             {"NAME", launch.name.toUtf8()},
                                             {"SCREEN", "0"},
                                             {"ICON", launch.icon.toUtf8()},
                                             {"WMCLASS", launch.startupWMClass.toUtf8()},
                                             {"APPLICATION_ID", launch.desktopFile.toUtf8()}}));
    xcb_flush(connection_);
    return {id, {}};
}

void X11LaunchFeedback::end(const LaunchToken& token) {
    if (!connection_ || token.startupId.isEmpty())
        return;
    StartupNotification::send(connection_, messageWindow(),
                              StartupNotification::message("remove", {{"ID", token.startupId}}));
    xcb_flush(connection_);
}
