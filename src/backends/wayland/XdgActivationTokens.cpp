// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/XdgActivationTokens.h"

#include "backends/wayland/QtWaylandHandles.h"
#include "backends/wayland/WaylandGlobals.h"
#include "backends/wayland/WaylandLog.h"
#include "backends/wayland/WaylandQueue.h"

#include "xdg-activation-v1-client-protocol.h"

#include <QCursor>
#include <QGuiApplication>
#include <QWindow>

#include <wayland-client.h>

#include <optional>

namespace {

void done(void* data, xdg_activation_token_v1*, const char* token) {
    *static_cast<std::optional<QByteArray>*>(data) = QByteArray(token ? token : "");
}

const xdg_activation_token_v1_listener tokenListener{done};

// The window the user's last click went to: ours never take the keyboard, so it is the one
// under the pointer rather than the focused one.
QWindow* windowOfLastInput() {
    if (QWindow* focused = QGuiApplication::focusWindow())
        return focused;
    return QGuiApplication::topLevelAt(QCursor::pos());
}

} // namespace

XdgActivationTokens::XdgActivationTokens() {
    wl_display* display = QtWaylandHandles::display();
    if (!display)
        return;
    globals_ = std::make_unique<WaylandGlobals>(display);
    activation_ = static_cast<xdg_activation_v1*>(globals_->bind(&xdg_activation_v1_interface, 1));
}

XdgActivationTokens::~XdgActivationTokens() {
    if (activation_)
        xdg_activation_v1_destroy(activation_);
}

QByteArray XdgActivationTokens::requestToken() {
    wl_display* display = QtWaylandHandles::display();
    if (!activation_ || !display)
        return {};
    WaylandQueue queue(display);
    xdg_activation_token_v1* token =
        xdg_activation_v1_get_activation_token(queue.wrap(activation_));
    std::optional<QByteArray> answer;
    xdg_activation_token_v1_add_listener(token, &tokenListener, &answer);
    // The serial and surface tell the compositor that the user asked for the launch; without
    // them a compositor may still give a token it honours less.
    if (globals_->has("wl_seat"))
        if (const std::uint32_t serial = QtWaylandHandles::lastInputSerial())
            xdg_activation_token_v1_set_serial(token, serial, QtWaylandHandles::seat());
    if (wl_surface* surface = QtWaylandHandles::surface(windowOfLastInput()))
        xdg_activation_token_v1_set_surface(token, surface);
    xdg_activation_token_v1_commit(token);
    queue.roundtripUntil([&] { return answer.has_value(); });
    xdg_activation_token_v1_destroy(token);
    if (!answer || answer->isEmpty())
        qCWarning(lcWayland) << "the compositor gave no activation token";
    return answer.value_or(QByteArray());
}
