// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CoalescedTask.h"
#include "platform/DockPanel.h"
#include "platform/LifetimeGuard.h"
#include "platform/Subscription.h"
#include "store/DockFacets.h"
#include "windows/DockWindowDependencies.h"

#include <QRectF>
#include <QUuid>

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

struct Dock;
struct DockPosition;

// Keeps one dock's panel in step with the dock's record (frame, title, level, visibility), runs
// its auto-hide, registers its hot key and writes the user's moves back into the store. Holds
// only the dock's id: every step looks the dock up afresh. The store must outlive the controller.
class DockWindowController {
public:
    DockWindowController(const QUuid& dockId, const DockWindowDependencies& dependencies);
    ~DockWindowController();
    DockWindowController(const DockWindowController&) = delete;
    DockWindowController& operator=(const DockWindowController&) = delete;

    const QUuid& dockId() const { return dockId_; }
    // The dock as the store holds it now, or null when it has left the store.
    const Dock* currentDock() const;

    // The facets of a dock that its panel shows; the content view follows the others itself.
    static constexpr DockFacets shownFacets =
        DockFacet::frame | DockFacet::listing | DockFacet::behaviour | DockFacet::hotKey;

    // Brings those of the facets given that the panel shows in line with the dock's record:
    // frame; title and visibility (listing); level, auto-hide and its pointer monitor
    // (behaviour); the hot key. The level is asked for again with any of the first three.
    void applyDockState(DockFacets facets = shownFacets);
    // Applies the shown facets that changed in the store since they were last applied; nothing
    // when none did.
    void applyChanges();
    // The panel's frame while its save is still waiting in its delay; the save is then dropped,
    // for the caller to write (at quit, every such frame in one change of the store).
    std::optional<DockPosition> takePendingFrame();
    // Ends the controller's life on screen: monitor, hot key, then the panel.
    void close();
    // Re-applies the dock after screens were added, removed or rearranged, and keeps the window
    // manager's own moves of the panel in the next moment out of the record.
    void screensChanged();

    // Shows a hidden dock with the keyboard in it, or hides a shown one and gives the keyboard
    // back: the dock's hot key, for a key the user pressed at `userTime` (0 when unknown).
    void toggleVisibility(std::uint32_t userTime);

    bool isAutoHidden() const { return isAutoHidden_; }
    DockPanel* panel() const { return panel_.get(); }

private:
    void buildPanel();
    // The frame the panel is to show for the dock: the stored one, or a stand-in on a screen
    // (remembered in standInFrame_).
    QRectF chooseShownFrame(const Dock& dock);
    void registerHotKeyIfNeeded();
    void setupAutoHideMonitorIfNeeded(const Dock& dock);
    void handleGlobalMouseMoved();
    // Auto-hide by edge strips, where the pointer is seen over our own surfaces only.
    bool usesEdgeStrips() const;
    void setupEdgeStripAutoHide();
    void pointerPresenceChanged(bool inside);
    void scheduleStripHide(std::chrono::milliseconds delay);
    void hideUnlessPointerInside();
    void watchEdgeStrip();
    void revealFromEdgeStrip();
    void persistFrame();
    void saveFrame();

    QUuid dockId_;
    DockWindowDependencies dependencies_;
    std::unique_ptr<DockPanel> panel_;
    Subscription frameSaveWorkItem_;
    bool isFrameSavePending_ = false;
    // The store's revision of each shown facet when it was last applied (0: never).
    std::array<std::uint64_t, dockFacetCount> applied_{};
    bool isAutoHidden_ = false;
    Subscription edgeMonitor_;
    // With edge strips: whether the pointer is on the panel, and the hide waiting after it left.
    bool pointerInside_ = false;
    Subscription stripHideWorkItem_;
    // Where the panel is shown while no screen shows the stored frame.
    std::optional<QRectF> standInFrame_;
    bool isSettling_ = false;
    Subscription settleWorkItem_;
    // One check per pass of the event loop, however many pointer events the pass brought.
    CoalescedTask mouseCheck_{dependencies_.scheduler, [this] { handleGlobalMouseMoved(); }};
    LifetimeGuard lifetime_;
};
