#include "fakes/FakeDockPanelFactory.h"

std::unique_ptr<DockPanel> FakeDockPanelFactory::makePanel(const QUuid& dockID, const QRectF& frame,
                                                           const DockViewServices&) {
    auto state = std::make_shared<FakeDockPanelState>();
    state->dockID = dockID;
    state->frame = frame;
    panels.push_back(state);
    return std::make_unique<FakeDockPanel>(std::move(state));
}

FakeDockPanelState* FakeDockPanelFactory::panelFor(const QUuid& dockID) const {
    for (auto it = panels.rbegin(); it != panels.rend(); ++it)
        if ((*it)->dockID == dockID)
            return it->get();
    return nullptr;
}

int FakeDockPanelFactory::livePanelCount() const {
    int count = 0;
    for (const auto& panel : panels)
        count += panel->destroyed ? 0 : 1;
    return count;
}
