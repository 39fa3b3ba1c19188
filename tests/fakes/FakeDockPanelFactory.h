#pragma once

#include "fakes/FakeDockPanel.h"
#include "platform/DockPanelFactory.h"

// Makes fake panels and keeps the state of every panel it made, in order of making.
class FakeDockPanelFactory final : public DockPanelFactory {
public:
    std::unique_ptr<DockPanel> makePanel(const QUuid& dockID, const QRectF& frame,
                                         const DockViewServices& services) override;

    // The most recent panel made for the dock, or null.
    FakeDockPanelState* panelFor(const QUuid& dockID) const;
    // Panels made so far that are still alive.
    int livePanelCount() const;

    std::vector<std::shared_ptr<FakeDockPanelState>> panels;
};
