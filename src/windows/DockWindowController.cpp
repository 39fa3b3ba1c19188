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

#include <bit>
#include <chrono>
#include <cmath>

namespace {

constexpr std::chrono::milliseconds frameSaveDelay{300};
// How long after a change of the screens the window manager may still move windows on its own.
constexpr std::chrono::milliseconds screenSettleDelay{1000};
// With edge strips: how long a panel stays after the pointer left it (a pointer that crosses a
// gap, to a popup or back, leaves it standing), and after it came back or first appeared
// without the pointer coming onto it.
constexpr std::chrono::milliseconds stripLeaveDelay{400};
constexpr std::chrono::milliseconds stripRevealGrace{2000};

QRectF frameOf(const DockPosition& position) {
    return {position.x, position.y, position.width, position.height};
}

// The panel keeps whole pixels: a frame that differs by rounding only is the same place.
bool samePlace(const QRectF& a, const QRectF& b) {
    return std::abs(a.x() - b.x()) <= 1 && std::abs(a.y() - b.y()) <= 1 &&
           std::abs(a.width() - b.width()) <= 1 && std::abs(a.height() - b.height()) <= 1;
}

constexpr DockFacet shownFacetList[] = {DockFacet::frame, DockFacet::listing, DockFacet::behaviour,
                                        DockFacet::hotKey};

// A facet's place in the controller's table of applied revisions.
std::size_t slot(DockFacet facet) {
    return std::size_t(std::countr_zero(unsigned(facet)));
}

} // namespace

DockWindowController::DockWindowController(const QUuid& dockId,
                                           const DockWindowDependencies& dependencies)
    : dockId_(dockId), dependencies_(dependencies) {
    buildPanel();
    applyDockState();
}

DockWindowController::~DockWindowController() = default;

const Dock* DockWindowController::currentDock() const {
    return dependencies_.store.dock(dockId_);
}

void DockWindowController::buildPanel() {
    const Dock* dock = currentDock();
    if (!dock)
        return;
    panel_ = dependencies_.panelFactory.makePanel(dockId_, chooseShownFrame(*dock));
    panel_->setFrameChangedHandler(lifetime_.guard([this] { persistFrame(); }));
    panel_->setPointerPresenceHandler(
        lifetime_.guard([this](bool inside) { pointerPresenceChanged(inside); }));
}

void DockWindowController::applyChanges() {
    DockFacets moved;
    for (const DockFacet facet : shownFacetList)
        if (dependencies_.store.revision(dockId_, facet) != applied_[slot(facet)])
            moved |= facet;
    if (moved)
        applyDockState(moved);
}

void DockWindowController::applyDockState(DockFacets facets) {
    const Dock* dock = currentDock();
    if (!dock)
        return;
    // Each window request costs a round of X traffic, a hot key grab a wait for the server: a
    // change does only what its facets ask for.
    for (const DockFacet facet : shownFacetList)
        if (facets & facet)
            applied_[slot(facet)] = dependencies_.store.revision(dockId_, facet);
    // Read what is needed now: a frame change below may reach the store through handlers.
    const std::optional<QRectF> frame =
        facets & DockFacet::frame ? std::optional(chooseShownFrame(*dock)) : std::nullopt;
    // The window system copies a title whole, to the window manager and every pager.
    const QString title = ElidedLine::bounded(dock->name);
    const bool alwaysOnTop = dock->alwaysOnTop;
    const bool isVisible = dock->isVisible;
    const bool autoHide = dock->autoHide;
    // A chord another program held when it was registered is asked for again at the dock's
    // next change; one that is held is left alone until the chord changes.
    const bool hotKeyMissing =
        dock->hotKey.isComplete() && !dependencies_.hotKeys.isRegistered(dockId_);
    if (panel_) {
        if (facets & DockFacet::listing)
            panel_->setTitle(title);
        if (frame)
            panel_->setFrame(*frame);
        // The level at every apply of a window facet, changed or not: the window manager's
        // menu or a rule may have changed it meanwhile (one message, no round trip).
        if (facets & (DockFacet::frame | DockFacet::listing | DockFacet::behaviour))
            panel_->setAlwaysOnTop(alwaysOnTop);
    }
    // Only the auto-hide rule brings a hidden panel back, and it stops running with auto-hide
    // off: clear the flag here, or the dock would stay off screen until the next start.
    if (!autoHide)
        isAutoHidden_ = false;
    if (panel_ && (facets & (DockFacet::listing | DockFacet::behaviour))) {
        if (isVisible && !isAutoHidden_) {
            if (!panel_->isOnScreen())
                panel_->showPanel();
        } else if (panel_->isOnScreen()) {
            panel_->hidePanel();
        }
    }
    if (facets & DockFacet::behaviour)
        if (const Dock* current = currentDock())
            setupAutoHideMonitorIfNeeded(*current);
    if ((facets & DockFacet::hotKey) || hotKeyMissing)
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
    applyDockState(DockFacet::frame);
    settleWorkItem_ = dependencies_.scheduler.schedule(screenSettleDelay, lifetime_.guard([this] {
        isSettling_ = false;
        frameSaveWorkItem_.cancel();
        applyDockState(DockFacet::frame);
        if (isAutoHidden_ && usesEdgeStrips())
            watchEdgeStrip();
    }));
}

void DockWindowController::setupAutoHideMonitorIfNeeded(const Dock& dock) {
    if (!dock.autoHide) {
        edgeMonitor_.cancel();
        stripHideWorkItem_.cancel();
        return;
    }
    if (usesEdgeStrips()) {
        setupEdgeStripAutoHide();
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

bool DockWindowController::usesEdgeStrips() const {
    return !dependencies_.pointerMonitor.seesPointerEverywhere();
}

void DockWindowController::setupEdgeStripAutoHide() {
    if (isAutoHidden_) {
        watchEdgeStrip();
        return;
    }
    edgeMonitor_.cancel();
    // A panel the pointer is not on goes after a moment, as on its first appearance.
    if (!pointerInside_)
        scheduleStripHide(stripRevealGrace);
}

void DockWindowController::pointerPresenceChanged(bool inside) {
    pointerInside_ = inside;
    if (inside)
        stripHideWorkItem_.cancel();
    else
        scheduleStripHide(stripLeaveDelay);
}

void DockWindowController::scheduleStripHide(std::chrono::milliseconds delay) {
    const Dock* dock = currentDock();
    if (!dock || !dock->autoHide || isAutoHidden_ || !usesEdgeStrips())
        return;
    stripHideWorkItem_ = dependencies_.scheduler.schedule(
        delay, lifetime_.guard([this] { hideUnlessPointerInside(); }));
}

void DockWindowController::hideUnlessPointerInside() {
    if (pointerInside_ || isAutoHidden_ || !panel_)
        return;
    // The pointer is on one of our menus or dialogs: ask again once the user may be done.
    if (dependencies_.isOwnPopupOpen && dependencies_.isOwnPopupOpen()) {
        scheduleStripHide(stripLeaveDelay);
        return;
    }
    isAutoHidden_ = true;
    panel_->hidePanel();
    watchEdgeStrip();
}

void DockWindowController::watchEdgeStrip() {
    const Dock* dock = currentDock();
    if (!dock || !panel_)
        return;
    const Screens& screens = dependencies_.screens;
    std::optional<QRectF> screen = PanelPlacement::screenOf(panel_->frame(), screens.frames());
    if (!screen)
        screen = screens.mainFrame();
    if (!screen) {
        edgeMonitor_.cancel();
        return;
    }
    // The old strip goes first: asked for again at once, the monitor moves the one it had
    // rather than making another.
    edgeMonitor_.cancel();
    edgeMonitor_ = dependencies_.pointerMonitor.watchArea(
        AutoHideRule::edgeStrip(*screen, dock->screenEdgeForAutoHide),
        lifetime_.guard([this] { revealFromEdgeStrip(); }));
}

void DockWindowController::revealFromEdgeStrip() {
    const Dock* dock = currentDock();
    if (!dock || !panel_ || !isAutoHidden_)
        return;
    edgeMonitor_.cancel();
    isAutoHidden_ = false;
    pointerInside_ = false;
    // A dock the user has hidden stays hidden: the strip only undoes auto-hide's own hiding.
    if (dock->isVisible)
        panel_->showPanel();
    scheduleStripHide(stripRevealGrace);
}

void DockWindowController::registerHotKeyIfNeeded() {
    const Dock* dock = currentDock();
    if (!dock)
        return;
    HotKeyManager& hotKeys = dependencies_.hotKeys;
    hotKeys.unregister(dockId_);
    if (!dock->hotKey.isComplete())
        return;
    hotKeys.registerHotKey(
        dockId_, *dock->hotKey.keyCode, *dock->hotKey.modifiers,
        lifetime_.guard([this](std::uint32_t userTime) { toggleVisibility(userTime); }),
        dock->name);
}

void DockWindowController::toggleVisibility(std::uint32_t userTime) {
    const Dock* dock = currentDock();
    if (!dock)
        return;
    // The hot key brings the keyboard with the dock, and takes it back to where it was.
    if (dock->isVisible) {
        if (panel_)
            panel_->releaseKeyboard(userTime);
        dependencies_.store.setVisible(dockId_, false);
        return;
    }
    dependencies_.store.setVisible(dockId_, true);
    // On screen now rather than on the next pass, so that the keyboard can come with it.
    applyChanges();
    if (panel_ && panel_->isOnScreen())
        panel_->takeKeyboard(userTime);
}

void DockWindowController::persistFrame() {
    // Assigning drops the pending save first: a burst of moves ends in one save.
    isFrameSavePending_ = true;
    frameSaveWorkItem_ =
        dependencies_.scheduler.schedule(frameSaveDelay, lifetime_.guard([this] { saveFrame(); }));
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
    dependencies_.store.mutateDock(dockId_, [&](Dock& dock) { dock.position = *frame; });
}

void DockWindowController::close() {
    edgeMonitor_.cancel();
    stripHideWorkItem_.cancel();
    settleWorkItem_.cancel();
    dependencies_.hotKeys.unregister(dockId_);
    frameSaveWorkItem_.cancel();
    isFrameSavePending_ = false;
    if (panel_) {
        panel_->hidePanel();
        panel_->close();
    }
}
