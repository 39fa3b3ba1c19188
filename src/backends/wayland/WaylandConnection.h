// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backends/wayland/WaylandGlobals.h"

#include <QObject>

#include <memory>

class QSocketNotifier;

// A Wayland connection of Moorline's own, beside Qt's (which may be an X11 one on XWayland):
// made before the application object to learn what the compositor offers, then read in Qt's
// event loop, where it wakes only when the compositor sends something.
class WaylandConnection final : public QObject {
    Q_OBJECT
public:
    // Connects to $WAYLAND_DISPLAY and reads the globals; null when there is no compositor.
    static std::unique_ptr<WaylandConnection> connect();
    ~WaylandConnection() override;

    wl_display* display() const { return display_; }
    const WaylandGlobals& globals() const { return *globals_; }

    // Reads and dispatches from the event loop from now on (needs the application object).
    void startDispatching();
    // Sends what requests are waiting; call after making requests outside an event handler.
    void flush();
    bool isBroken() const { return broken_; }

Q_SIGNALS:
    // After each batch of events from the compositor has been handled.
    void dispatched();
    // The compositor closed the connection or reported a protocol error.
    void broke();

private:
    explicit WaylandConnection(wl_display* display);
    void readAndDispatch();
    void checkError();

    wl_display* display_;
    std::unique_ptr<WaylandGlobals> globals_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool broken_ = false;
};
