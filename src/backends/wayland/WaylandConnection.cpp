// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/WaylandConnection.h"

#include "backends/wayland/WaylandLog.h"

#include <QSocketNotifier>

#include <wayland-client.h>

#include <cerrno>
#include <cstring>

std::unique_ptr<WaylandConnection> WaylandConnection::connect() {
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_SOCKET"))
        return nullptr;
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        qCInfo(lcWayland) << "no Wayland compositor answers:" << std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<WaylandConnection>(new WaylandConnection(display));
}

WaylandConnection::WaylandConnection(wl_display* display)
    : display_(display), globals_(std::make_unique<WaylandGlobals>(display)) {}

WaylandConnection::~WaylandConnection() {
    notifier_.reset();
    globals_.reset();
    wl_display_disconnect(display_);
}

void WaylandConnection::startDispatching() {
    if (notifier_ || broken_)
        return;
    notifier_ =
        std::make_unique<QSocketNotifier>(wl_display_get_fd(display_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this,
                     &WaylandConnection::readAndDispatch);
    // Events that arrived with the first round trips are waiting already.
    wl_display_dispatch_pending(display_);
    flush();
    Q_EMIT dispatched();
}

void WaylandConnection::readAndDispatch() {
    // The notifier says there is something to read, so the read does not block.
    while (wl_display_prepare_read(display_) != 0)
        wl_display_dispatch_pending(display_);
    if (wl_display_read_events(display_) != 0) {
        checkError();
        return;
    }
    wl_display_dispatch_pending(display_);
    flush();
    Q_EMIT dispatched();
}

void WaylandConnection::flush() {
    if (broken_)
        return;
    // A full socket leaves the rest for the next flush, after the next read.
    if (wl_display_flush(display_) < 0 && errno != EAGAIN)
        checkError();
}

void WaylandConnection::checkError() {
    if (broken_ || wl_display_get_error(display_) == 0)
        return;
    broken_ = true;
    qCWarning(lcWayland) << "the compositor ended our Wayland connection; error"
                         << wl_display_get_error(display_);
    if (notifier_)
        notifier_->setEnabled(false);
    Q_EMIT broke();
}
