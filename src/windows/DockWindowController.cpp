// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/DockWindowController.h"

#include "views/ElidedLine.h"

#include "platform/DockPanelFactory.h"
#include "platform/PointerMonitor.h"
#include "platform/Scheduler.h"
#include "platform/Screens.h"
#include "runtime/HotKeyManager.h"
#include "store/DockStore.h"
#include "windows/AutoHideRule.h"
#include "windows/PanelPlacement.h"

#include <chrono>
#include <cmath>

namespace {

constexpr std::chrono::milliseconds frameSaveDelay{300};
// How long after a change of the screens the window manager may still move windows on its own.
constexpr std::chrono::milliseconds screenSettleDelay{1000};

QRectF frameOf(const DockPosition& position) {
    return {position.x, position.y, position.width, position.height};
}

// The panel keeps whole pixels: a frame that differs by rounding only is the same place.
bool samePlace(const QRectF& a, const QRectF& b) {
    return std::abs(a.x() - b.x()) <= 1 && std::abs(a.y() - b.y()) <= 1 &&
           std::abs(a.width() - b.width()) <= 1 && std::abs(a.height() - b.height()) <= 1;
}

} // namespace

DockWindowController::DockWindowController(const QUuid& dockId, const DockViewServices& services,
                                           const DockWindowDependencies& dependencies)
    : dockId_(dockId), services_(services), dependencies_(dependencies) {
    buildPanel();
    applyDockState();
    registerHotKeyIfNeeded();
}

DockWindowController::~DockWindowController() = default;

const Dock* DockWindowController::currentDock() const {
    return services_.store.dock(dockId_);
}

void DockWindowController::buildPanel() {
    const Dock* dock = currentDock();
    if (!dock)
        return;
    panel_ = dependencies_.panelFactory.makePanel(dockId_, chooseShownFrame(*dock), services_);
    panel_->setFrameChangedHandler(lifetime_.guard([this] { persistFrame(); }));
}

void DockWindowController::applyDockState() {
    const Dock* dock = currentDock();
    if (!dock)
        return;
    appliedRevision_ = services_.store.revision(dockId_);
    // Read what is needed now: a frame change below may reach the store through handlers.
    const QRectF frame = chooseShownFrame(*dock);
    const bool alwaysOnTop = dock->alwaysOnTop;
    const bool isVisible = dock->isVisible;
    const bool autoHide = dock->autoHide;
    if (panel_) {
        // The window system copies a title whole, to the window manager and every pager.
        panel_->setTitle(ElidedLine::bounded(dock->name));
        panel_->setFrame(frame);
        panel_->setAlwaysOnTop(alwaysOnTop);
    }
    // Only the auto-hide rule brings a hidden panel back, and it stops running with auto-hide
    // off: clear the flag here, or the dock would stay off screen until the next start.
    if (!autoHide)
        isAutoHidden_ = false;
    if (panel_) {
        if (isVisible && !isAutoHidden_) {
            if (!panel_->isOnScreen())
                panel_->showPanel();
        } else if (panel_->isOnScreen()) {
            panel_->hidePanel();
        }
    }
    if (const Dock* current = currentDock())
        setupAutoHideMonitorIfNeeded(*current);
    registerHotKeyIfNeeded();
}

QRectF DockWindowController::chooseShownFrame(const Dock& dock) {
    // A dock whose monitor is unplugged would stand where nobody can reach it: show it on the
    // nearest screen meanwhile, and keep the record's frame for when the monitor comes back.
    const QRectF stored = frameOf(dock.position);
    const QRectF shown = PanelPlacement::reachableFrame(stored, dependencies_.screens.frames());
    standInFrame_ = shown == stored ? std::nullopt : std::optional(shown);
    return shown;
}

void DockWindowController::screensChanged() {
    // While monitors come and go the window manager moves windows of its own accord, to keep
    // them on a screen or to put them back where they were: those moves are not the user's and
    // are not written. Frame saves wait until the screens have been quiet for a moment, then the
    // record places the panel once more.
    frameSaveWorkItem_.cancel();
    isSettling_ = true;
    applyDockState();
    settleWorkItem_ = services_.scheduler.schedule(screenSettleDelay, lifetime_.guard([this] {
        isSettling_ = false;
        frameSaveWorkItem_.cancel();
        applyDockState();
    }));
}

void DockWindowController::setupAutoHideMonitorIfNeeded(const Dock& dock) {
    if (!dock.autoHide) {
        edgeMonitor_.cancel();
        return;
    }
    // The new monitor is in place before the old one goes, so that a shared system-wide
    // selection is not dropped and made again on every re-apply.
    Subscription replacement =
        dependencies_.pointerMonitor.install(lifetime_.guard([this] { mouseCheck_.request(); }));
    edgeMonitor_ = std::move(replacement);
}

void DockWindowController::handleGlobalMouseMoved() {
    const Dock* dock = currentDock();
    if (!dock || !dock->autoHide || !panel_)
        return;
    // The pointer is over our own menu, chooser or drag image (the pointer monitor sees motion
    // over our windows too): the user is working with a dock.
    if (dependencies_.isOwnPopupOpen && dependencies_.isOwnPopupOpen())
        return;
    const Screens& screens = dependencies_.screens;
    const std::vector<QRectF> frames = screens.frames();
    const AutoHideRule::Input input{
        screens.pointerLocation(),   panel_->frame(), &frames, screens.mainFrame(),
        dock->screenEdgeForAutoHide, isAutoHidden_};
    switch (AutoHideRule::decide(input)) {
    case AutoHideRule::Action::none:
        break;
    case AutoHideRule::Action::hide:
        isAutoHidden_ = true;
        panel_->hidePanel();
        break;
    case AutoHideRule::Action::reveal:
        isAutoHidden_ = false;
        // A dock the user has hidden stays hidden: the rule only undoes its own hiding.
        if (dock->isVisible)
            panel_->showPanel();
        break;
    }
}

void DockWindowController::registerHotKeyIfNeeded() {
    const Dock* dock = currentDock();
    if (!dock)
        return;
    HotKeyManager& hotKeys = services_.hotKeys;
    hotKeys.unregister(dockId_);
    if (!dock->hotKey.isComplete())
        return;
    hotKeys.registerHotKey(dockId_, *dock->hotKey.keyCode, *dock->hotKey.modifiers,
                           lifetime_.guard([this] { toggleVisibility(); }));
}

void DockWindowController::toggleVisibility() {
    if (const Dock* dock = currentDock())
        services_.store.setVisible(dockId_, !dock->isVisible);
}

void DockWindowController::persistFrame() {
    // Assigning drops the pending save first: a burst of moves ends in one save.
    isFrameSavePending_ = true;
    frameSaveWorkItem_ =
        services_.scheduler.schedule(frameSaveDelay, lifetime_.guard([this] { saveFrame(); }));
}

bool DockWindowController::isOutOfDate() const {
    return services_.store.revision(dockId_) != appliedRevision_;
}

std::optional<DockPosition> DockWindowController::takePendingFrame() {
    if (!isFrameSavePending_)
        return std::nullopt;
    frameSaveWorkItem_.cancel();
    isFrameSavePending_ = false;
    if (!currentDock() || !panel_ || isSettling_)
        return std::nullopt;
    const QRectF frame = panel_->frame();
    // Where the panel stands in for a missing monitor is no choice of the user's.
    if (standInFrame_ && samePlace(frame, *standInFrame_))
        return std::nullopt;
    return DockPosition{frame.x(), frame.y(), frame.width(), frame.height()};
}

void DockWindowController::saveFrame() {
    const std::optional<DockPosition> frame = takePendingFrame();
    if (!frame)
        return;
    // Only the position: changes to other fields meanwhile survive.
    services_.store.mutateDock(dockId_, [&](Dock& dock) { dock.position = *frame; });
}

void DockWindowController::close() {
    edgeMonitor_.cancel();
    settleWorkItem_.cancel();
    services_.hotKeys.unregister(dockId_);
    frameSaveWorkItem_.cancel();
    isFrameSavePending_ = false;
    if (panel_) {
        panel_->hidePanel();
        panel_->close();
    }
}
