// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/LayerShellPanels.h"

#include "backends/wayland/LayerShellPopups.h"
#include "backends/wayland/QtWaylandHandles.h"
#include "backends/wayland/WaylandGlobals.h"
#include "backends/wayland/WaylandLog.h"
#include "backends/wayland/WaylandQueue.h"

#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <wayland-client.h>

#include <cstring>

struct LayerShellPanels::Panel {
    QPointer<QWindow> window;
    // The surface Qt showed the window with last, and the role we gave it.
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    QScreen* screen = nullptr;
    bool above = true;
    bool acceptsFocus = false;
    // Holds the whole keyboard (for a hot key) until the panel stops accepting focus.
    bool takesKeyboard = false;
    bool configured = false;
    bool remapPending = false;

    ~Panel() {
        if (layer)
            zwlr_layer_surface_v1_destroy(layer);
    }
};

namespace {

void configure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t,
               std::uint32_t) {
    // The size asked for is the window's own: Qt draws at the size it has.
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    *static_cast<bool*>(data) = true;
}

void closed(void*, zwlr_layer_surface_v1*) {
    // Its output went away; the window follows the screens and is shown again elsewhere.
    qCInfo(lcWayland) << "the compositor closed a panel's layer surface";
}

const zwlr_layer_surface_v1_listener layerListener{configure, closed};

} // namespace

bool LayerShellPanels::isUsableWithThisQt() {
    return std::strcmp(qVersion(), QT_VERSION_STR) == 0;
}

void LayerShellPanels::prepareQt() {
    qputenv("QT_WAYLAND_USE_BYPASSWINDOWMANAGERHINT", QByteArray("1"));
    // Otherwise Qt moves every window without a parent to its screen's corner, and the panels'
    // frames with it.
    qputenv("QT_WAYLAND_DISABLE_FIXED_POSITIONS", QByteArray("1"));
    // Moorline draws nothing with OpenGL, yet Qt's Wayland platform loads Mesa's EGL at start
    // for it: a third of the start's CPU time, and what made a Wayland start slower than one
    // on XWayland. Qt names the missing integration once in its log.
    if (!qEnvironmentVariableIsSet("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION"))
        qputenv("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION", QByteArray("none"));
}

LayerShellPanels::LayerShellPanels() {
    wl_display* display = QtWaylandHandles::display();
    if (!display)
        return;
    globals_ = std::make_unique<WaylandGlobals>(display);
    shell_ = static_cast<zwlr_layer_shell_v1*>(globals_->bind(&zwlr_layer_shell_v1_interface, 4));
    if (!shell_)
        qCWarning(lcWayland) << "the compositor offers no layer shell";
    popups_ = std::make_unique<LayerShellPopups>(*this, *globals_);
}

LayerShellPanels::~LayerShellPanels() {
    popups_.reset();
    panels_.clear();
    if (shell_)
        zwlr_layer_shell_v1_destroy(shell_);
}

LayerShellPanels::Panel& LayerShellPanels::panelOf(QWindow* window) {
    std::unique_ptr<Panel>& panel = panels_[window];
    if (!panel) {
        panel = std::make_unique<Panel>();
        panel->window = window;
        window->installEventFilter(this);
        QObject::connect(window, &QObject::destroyed, this,
                         [this, window] { panels_.erase(window); });
    }
    return *panel;
}

zwlr_layer_surface_v1* LayerShellPanels::layerSurfaceOf(QWindow* window) const {
    const auto it = panels_.find(window);
    return it == panels_.end() ? nullptr : it->second->layer;
}

void LayerShellPanels::prepareForMap(QWindow* window, bool above) {
    if (!window || !shell_)
        return;
    Panel& panel = panelOf(window);
    panel.above = above;
    // Read by Qt when it shows the window: no xdg-shell role of its own.
    if (!(window->flags() & Qt::BypassWindowManagerHint))
        window->setFlags(window->flags() | Qt::BypassWindowManagerHint);
}

void LayerShellPanels::setAbove(QWindow* window, bool above) {
    if (!window || !shell_)
        return;
    Panel& panel = panelOf(window);
    if (panel.above == above)
        return;
    panel.above = above;
    if (panel.layer) {
        zwlr_layer_surface_v1_set_layer(panel.layer, layerOf(panel));
        wl_surface_commit(panel.surface);
    }
}

void LayerShellPanels::setAcceptsFocus(QWindow* window, bool acceptsFocus) {
    if (!window || !shell_)
        return;
    Panel& panel = panelOf(window);
    panel.acceptsFocus = acceptsFocus;
    // Asked again after takeFocus: the keyboard goes back, and the compositor hands it to the
    // window that had it.
    panel.takesKeyboard = false;
    applyKeyboard(panel);
}

WId LayerShellPanels::takeFocus(QWindow* window, std::uint32_t) {
    if (!window || !shell_)
        return 0;
    // A layer surface gets the keyboard only by asking for all of it: on demand, the
    // compositor gives it at a click. A panel not shown yet asks as it gets its role.
    Panel& panel = panelOf(window);
    panel.takesKeyboard = true;
    applyKeyboard(panel);
    return 0;
}

void LayerShellPanels::applyKeyboard(Panel& panel) {
    if (!panel.layer)
        return;
    zwlr_layer_surface_v1_set_layer(panel.layer, layerOf(panel));
    zwlr_layer_surface_v1_set_keyboard_interactivity(panel.layer, keyboardInteractivity(panel));
    wl_surface_commit(panel.surface);
}

std::uint32_t LayerShellPanels::layerOf(const Panel& panel) {
    // Compositors give the whole keyboard only to surfaces above windows (sway among them): a
    // panel below them comes up while it holds the keyboard, as an activated window would.
    return panel.above || panel.takesKeyboard ? ZWLR_LAYER_SHELL_V1_LAYER_TOP
                                              : ZWLR_LAYER_SHELL_V1_LAYER_BOTTOM;
}

std::uint32_t LayerShellPanels::keyboardInteractivity(const Panel& panel) {
    if (panel.takesKeyboard)
        return ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE;
    return panel.acceptsFocus ? ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_ON_DEMAND
                              : ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE;
}

QScreen* LayerShellPanels::screenFor(const QWindow* window) {
    // The screen that holds the middle of the panel; a frame beyond every screen stays on the
    // primary one, as far out as its margins take it.
    QScreen* screen = QGuiApplication::screenAt(window->geometry().center());
    return screen ? screen : QGuiApplication::primaryScreen();
}

bool LayerShellPanels::eventFilter(QObject* watched, QEvent* event) {
    auto* window = static_cast<QWindow*>(watched);
    const auto it = panels_.find(window);
    if (it == panels_.end())
        return false;
    Panel& panel = *it->second;
    switch (event->type()) {
    case QEvent::Expose:
        // Qt made a new surface when it showed the window and draws into it in a moment. A
        // window that does not bypass the window manager (one that was asked only to stay above
        // or to take the keyboard, never prepared as a panel) already has Qt's toplevel role, and
        // a surface takes one role in its life.
        if (window->isVisible() && (window->flags() & Qt::BypassWindowManagerHint) &&
            QtWaylandHandles::surface(window) != panel.surface)
            giveRole(panel);
        break;
    case QEvent::Hide:
        forgetRole(panel);
        break;
    case QEvent::Move:
    case QEvent::Resize:
        if (panel.layer) {
            place(panel);
            wl_surface_commit(panel.surface);
        }
        break;
    default:
        break;
    }
    return false;
}

void LayerShellPanels::giveRole(Panel& panel) {
    forgetRole(panel);
    wl_display* display = QtWaylandHandles::display();
    wl_surface* surface = QtWaylandHandles::surface(panel.window);
    if (!display || !surface)
        return;
    panel.screen = screenFor(panel.window);
    WaylandQueue queue(display);
    panel.surface = surface;
    panel.configured = false;
    panel.layer = zwlr_layer_shell_v1_get_layer_surface(queue.wrap(shell_), surface,
                                                        QtWaylandHandles::output(panel.screen),
                                                        layerOf(panel), "moorline-dock");
    zwlr_layer_surface_v1_add_listener(panel.layer, &layerListener, &panel.configured);
    zwlr_layer_surface_v1_set_anchor(panel.layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                      ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT);
    // Placed against the output's own edges, whatever other surfaces reserve, reserving nothing.
    zwlr_layer_surface_v1_set_exclusive_zone(panel.layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(panel.layer, keyboardInteractivity(panel));
    place(panel);
    wl_surface_commit(surface);
    // Qt must not draw into the surface before the first configure has been answered; its
    // expose waits for this round trip, which dispatches nothing but our own queue.
    queue.roundtripUntil([&] { return panel.configured; });
    queue.release(reinterpret_cast<wl_proxy*>(panel.layer));
    if (!panel.configured)
        qCWarning(lcWayland) << "a panel's layer surface got no configure";
}

void LayerShellPanels::place(Panel& panel) {
    const QRect geometry = panel.window->geometry();
    if (screenFor(panel.window) != panel.screen && !panel.remapPending) {
        // Another output: only a new surface can move there. Shown again once this event is
        // through.
        panel.remapPending = true;
        QTimer::singleShot(0, this, [this, window = panel.window] {
            const auto it = panels_.find(window);
            if (!window || it == panels_.end())
                return;
            it->second->remapPending = false;
            if (window->isVisible()) {
                window->hide();
                window->show();
            }
        });
    }
    const QPoint offset = geometry.topLeft() - panel.screen->geometry().topLeft();
    zwlr_layer_surface_v1_set_margin(panel.layer, offset.y(), 0, 0, offset.x());
    zwlr_layer_surface_v1_set_size(panel.layer, std::uint32_t(std::max(1, geometry.width())),
                                   std::uint32_t(std::max(1, geometry.height())));
}

void LayerShellPanels::forgetRole(Panel& panel) {
    if (panel.layer)
        zwlr_layer_surface_v1_destroy(panel.layer);
    panel.layer = nullptr;
    panel.surface = nullptr;
    panel.configured = false;
}
