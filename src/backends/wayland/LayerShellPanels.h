// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/WindowHints.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <unordered_map>

class LayerShellPopups;
class QScreen;
class WaylandGlobals;
struct wl_surface;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;

// Dock panels as layer surfaces on Qt's own Wayland connection: on the top layer (the bottom
// one when a dock is not kept above windows), anchored to the top-left corner of their output
// with margins that put them at their frames, reserving no room, taking the keyboard only
// while the panel asks for it (at a click while it accepts focus, all of it after takeFocus).
//
// Qt 6.4 has no public way to do this. Qt's Wayland windows flagged to bypass the window
// manager get no shell role of Qt's (QT_WAYLAND_USE_BYPASSWINDOWMANAGERHINT); this class gives
// their surface the layer role after Qt makes it (at every show) and before Qt's first buffer,
// and keeps the margins and size in step with the window's geometry. The menus and tool tips of
// a panel become popups of its layer surface (LayerShellPopups).
class LayerShellPanels final : public QObject, public WindowHints {
public:
    // Whether this build can do so with the Qt it runs on: only with the very Qt it was built
    // against, whose Wayland windows it knows.
    static bool isUsableWithThisQt();
    // Before the first window exists.
    static void prepareQt();

    // Binds the layer shell on Qt's connection; does nothing when Qt does not run on Wayland.
    LayerShellPanels();
    ~LayerShellPanels() override;

    void prepareForMap(QWindow* window, bool above) override;
    void setAbove(QWindow* window, bool above) override;
    void setWindowClass(QWindow*, const QByteArray&, const QByteArray&) override {}
    void setBlurRegion(QWindow*, const QRegion&) override {}
    void setAcceptsFocus(QWindow* window, bool acceptsFocus) override;
    // Exclusive keyboard interactivity until the next setAcceptsFocus: a layer surface gets the
    // keyboard from the compositor only so (on demand, only at a click; and a compositor may
    // take an on-demand keyboard back at its next arrangement). The compositor gives it back
    // to the window that had it by itself.
    WId takeFocus(QWindow* window, std::uint32_t userTime) override;

    // The layer surface of a panel's window while it is shown, for its popups.
    zwlr_layer_surface_v1* layerSurfaceOf(QWindow* window) const;

private:
    struct Panel;

    bool eventFilter(QObject* watched, QEvent* event) override;
    Panel& panelOf(QWindow* window);
    void giveRole(Panel& panel);
    void place(Panel& panel);
    void forgetRole(Panel& panel);
    void applyKeyboard(Panel& panel);
    static std::uint32_t keyboardInteractivity(const Panel& panel);
    static std::uint32_t layerOf(const Panel& panel);
    static QScreen* screenFor(const QWindow* window);

    std::unique_ptr<WaylandGlobals> globals_;
    zwlr_layer_shell_v1* shell_ = nullptr;
    std::unordered_map<QWindow*, std::unique_ptr<Panel>> panels_;
    std::unique_ptr<LayerShellPopups> popups_;
};
