// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/XInputPointerMonitor.h"

#include "backends/x11/XcbConnection.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QLoggingCategory>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdint>
#include <map>

namespace {

Q_LOGGING_CATEGORY(lcPointer, "moorline.x11.pointer", QtInfoMsg)

// Selects or deselects raw motion of the master devices on the root window. Device 0 (all
// devices) would replace the selection Qt itself keeps on the root window.
void selectRawMotion(xcb_connection_t* c, bool on) {
    struct {
        xcb_input_event_mask_t header;
        std::uint32_t mask;
    } selection{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
                on ? std::uint32_t(XCB_INPUT_XI_EVENT_MASK_RAW_MOTION) : 0u};
    xcb_input_xi_select_events(c, XcbConnection::rootWindow(c), 1, &selection.header);
    xcb_flush(c);
}

} // namespace

struct XInputPointerMonitor::State final : QAbstractNativeEventFilter {
    using Handler = std::shared_ptr<const std::function<void()>>;
    std::map<std::uint64_t, Handler> handlers;
    std::uint64_t nextId = 1;
    std::uint8_t opcode = 0;
    bool listening = false;

    ~State() override { stop(); }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_GE_GENERIC)
            return false;
        const auto* generic = static_cast<const xcb_ge_generic_event_t*>(message);
        if (generic->extension != opcode || generic->event_type != XCB_INPUT_RAW_MOTION)
            return false;
        dispatch();
        return false;
    }

    // Handlers may remove themselves (or others) while being called.
    void dispatch() {
        std::uint64_t next = 0;
        for (auto it = handlers.lower_bound(next); it != handlers.end();
             it = handlers.lower_bound(next)) {
            next = it->first + 1;
            const Handler handler = it->second;
            (*handler)();
        }
    }

    void start() {
        xcb_connection_t* c = XcbConnection::qt();
        if (!c || listening)
            return;
        const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_input_id);
        if (!extension || !extension->present) {
            qCDebug(lcPointer) << "no XInput extension: no global pointer monitor";
            return;
        }
        opcode = extension->major_opcode;
        QCoreApplication::instance()->installNativeEventFilter(this);
        selectRawMotion(c, true);
        listening = true;
    }

    void stop() {
        if (!listening)
            return;
        listening = false;
        if (auto* app = QCoreApplication::instance())
            app->removeNativeEventFilter(this);
        if (xcb_connection_t* c = XcbConnection::qt())
            selectRawMotion(c, false);
    }
};

XInputPointerMonitor::XInputPointerMonitor() : state_(std::make_shared<State>()) {}

XInputPointerMonitor::~XInputPointerMonitor() = default;

Subscription XInputPointerMonitor::install(std::function<void()> handler) {
    const std::uint64_t id = state_->nextId++;
    state_->handlers.emplace(id, std::make_shared<const std::function<void()>>(std::move(handler)));
    state_->start();
    return Subscription([weak = std::weak_ptr(state_), id] {
        const auto state = weak.lock();
        if (!state)
            return;
        state->handlers.erase(id);
        if (state->handlers.empty())
            state->stop();
    });
}

bool XInputPointerMonitor::isListening() const {
    return state_->listening;
}

std::size_t XInputPointerMonitor::handlerCount() const {
    return state_->handlers.size();
}
