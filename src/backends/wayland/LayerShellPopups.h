// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <unordered_map>

class LayerShellPanels;
class QWindow;
class WaylandGlobals;
struct wl_surface;
struct xdg_popup;
struct xdg_surface;
struct xdg_wm_base;

// The menus and tool tips of layer-surface panels. Qt would make each a window of its own for
// want of a parent with a shell role (the compositor would tile it); instead it becomes an xdg
// popup of the panel's layer surface (or of its parent menu), placed exactly where Qt put it
// and, for a menu, with the compositor's grab, so that a click elsewhere closes it.
class LayerShellPopups final : public QObject {
public:
    // Binds xdg_wm_base on Qt's connection; `panels` outlives us.
    LayerShellPopups(LayerShellPanels& panels, const WaylandGlobals& globals);
    ~LayerShellPopups() override;

private:
    struct Popup;

    bool eventFilter(QObject* watched, QEvent* event) override;
    // The popup window's nearest ancestor that is a panel or one of our popups.
    QWindow* anchorOf(QWindow* window) const;
    void adopt(QWindow* window, QWindow* parent);
    void giveRole(Popup& popup);

    LayerShellPanels& panels_;
    xdg_wm_base* wm_ = nullptr;
    // Qt assumes a seat when asked for one.
    bool hasSeat_ = false;
    std::unordered_map<QWindow*, std::unique_ptr<Popup>> popups_;
    // The panel pressed last: a menu made without a parent widget opens from it.
    QPointer<QWindow> lastPressedPanel_;
};
