// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/LayerShellPopups.h"

#include "backends/wayland/LayerShellPanels.h"
#include "backends/wayland/QtWaylandHandles.h"
#include "backends/wayland/WaylandGlobals.h"
#include "backends/wayland/WaylandQueue.h"

#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <wayland-client.h>

struct LayerShellPopups::Popup {
    QPointer<QWindow> window;
    QPointer<QWindow> parent;
    wl_surface* surface = nullptr;
    xdg_surface* xdg = nullptr;
    xdg_popup* popup = nullptr;
    bool configured = false;

    void forgetRole() {
        if (popup)
            xdg_popup_destroy(popup);
        if (xdg)
            xdg_surface_destroy(xdg);
        popup = nullptr;
        xdg = nullptr;
        surface = nullptr;
        configured = false;
    }
    ~Popup() { forgetRole(); }
};

namespace {

void ping(void*, xdg_wm_base* wm, std::uint32_t serial) {
    xdg_wm_base_pong(wm, serial);
}
const xdg_wm_base_listener wmListener{ping};

void surfaceConfigure(void* data, xdg_surface* surface, std::uint32_t serial) {
    xdg_surface_ack_configure(surface, serial);
    *static_cast<bool*>(data) = true;
}
const xdg_surface_listener surfaceListener{surfaceConfigure};

void popupConfigure(void*, xdg_popup*, std::int32_t, std::int32_t, std::int32_t, std::int32_t) {}

void popupDone(void* data, xdg_popup*) {
    // A click outside: the menu closes as it would on any other window.
    if (QWindow* window = static_cast<QPointer<QWindow>*>(data)->data())
        QMetaObject::invokeMethod(window, &QWindow::close, Qt::QueuedConnection);
}

void popupRepositioned(void*, xdg_popup*, std::uint32_t) {}

const xdg_popup_listener popupListener{popupConfigure, popupDone, popupRepositioned};

bool isPopupKind(const QWindow* window) {
    return window->type() == Qt::Popup || window->type() == Qt::ToolTip;
}

} // namespace

LayerShellPopups::LayerShellPopups(LayerShellPanels& panels, const WaylandGlobals& globals)
    : panels_(panels) {
    wm_ = static_cast<xdg_wm_base*>(globals.bind(&xdg_wm_base_interface, 2));
    if (!wm_)
        return;
    hasSeat_ = globals.has("wl_seat");
    xdg_wm_base_add_listener(wm_, &wmListener, nullptr);
    qApp->installEventFilter(this);
}

LayerShellPopups::~LayerShellPopups() {
    popups_.clear();
    if (wm_)
        xdg_wm_base_destroy(wm_);
}

QWindow* LayerShellPopups::anchorOf(QWindow* window) const {
    for (QWindow* w = window->transientParent(); w;
         w = w->transientParent() ? w->transientParent() : w->parent())
        if (panels_.layerSurfaceOf(w) || popups_.contains(w))
            return w;
    return nullptr;
}

bool LayerShellPopups::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (auto* window = qobject_cast<QWindow*>(watched);
            window && panels_.layerSurfaceOf(window))
            lastPressedPanel_ = window;
        break;
    case QEvent::Show: {
        // A widget's show event comes before Qt shows its native window: the moment to keep Qt
        // from giving the window a role of its own.
        auto* widget = qobject_cast<QWidget*>(watched);
        QWindow* window = widget && widget->isWindow() ? widget->windowHandle() : nullptr;
        if (!window || !isPopupKind(window))
            break;
        QWindow* parent = anchorOf(window);
        if (!parent && !window->transientParent() && window->type() == Qt::Popup)
            parent = lastPressedPanel_;
        if (parent)
            adopt(window, parent);
        break;
    }
    case QEvent::Expose: {
        const auto it = popups_.find(static_cast<QWindow*>(watched));
        if (it != popups_.end() && it->first->isVisible() &&
            QtWaylandHandles::surface(it->first) != it->second->surface)
            giveRole(*it->second);
        break;
    }
    case QEvent::Hide: {
        const auto it = popups_.find(static_cast<QWindow*>(watched));
        if (it != popups_.end())
            it->second->forgetRole();
        break;
    }
    default:
        break;
    }
    return false;
}

void LayerShellPopups::adopt(QWindow* window, QWindow* parent) {
    std::unique_ptr<Popup>& popup = popups_[window];
    if (!popup) {
        popup = std::make_unique<Popup>();
        popup->window = window;
        QObject::connect(window, &QObject::destroyed, this,
                         [this, window] { popups_.erase(window); });
    }
    popup->parent = parent;
    if (!(window->flags() & Qt::BypassWindowManagerHint))
        window->setFlags(window->flags() | Qt::BypassWindowManagerHint);
}

void LayerShellPopups::giveRole(Popup& popup) {
    popup.forgetRole();
    wl_display* display = QtWaylandHandles::display();
    wl_surface* surface = QtWaylandHandles::surface(popup.window);
    QWindow* parent = popup.parent;
    zwlr_layer_surface_v1* parentLayer = parent ? panels_.layerSurfaceOf(parent) : nullptr;
    const auto parentPopup = parent ? popups_.find(parent) : popups_.end();
    xdg_surface* parentXdg = parentPopup != popups_.end() ? parentPopup->second->xdg : nullptr;
    if (!display || !surface || (!parentLayer && !parentXdg))
        return;
    WaylandQueue queue(display);
    popup.surface = surface;
    popup.xdg = xdg_wm_base_get_xdg_surface(queue.wrap(wm_), surface);
    xdg_surface_add_listener(popup.xdg, &surfaceListener, &popup.configured);
    // Exactly where Qt placed the window (it keeps menus on the screen itself), so that Qt's
    // idea of the window's position stays true.
    const QRect geometry = popup.window->geometry();
    const QPoint offset = geometry.topLeft() - parent->geometry().topLeft();
    xdg_positioner* positioner = xdg_wm_base_create_positioner(wm_);
    xdg_positioner_set_size(positioner, std::max(1, geometry.width()),
                            std::max(1, geometry.height()));
    xdg_positioner_set_anchor_rect(positioner, offset.x(), offset.y(), 1, 1);
    xdg_positioner_set_anchor(positioner, XDG_POSITIONER_ANCHOR_TOP_LEFT);
    xdg_positioner_set_gravity(positioner, XDG_POSITIONER_GRAVITY_BOTTOM_RIGHT);
    popup.popup = xdg_surface_get_popup(popup.xdg, parentXdg, positioner);
    xdg_positioner_destroy(positioner);
    xdg_popup_add_listener(popup.popup, &popupListener, &popup.window);
    if (parentLayer)
        zwlr_layer_surface_v1_get_popup(parentLayer, popup.popup);
    if (popup.window->type() == Qt::Popup && hasSeat_)
        if (wl_seat* seat = QtWaylandHandles::seat())
            xdg_popup_grab(popup.popup, seat, QtWaylandHandles::lastInputSerial());
    wl_surface_commit(surface);
    queue.roundtripUntil([&] { return popup.configured; });
    queue.release(reinterpret_cast<wl_proxy*>(popup.xdg));
    queue.release(reinterpret_cast<wl_proxy*>(popup.popup));
}
