// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/FakeDockPanel.h"
#include "platform/DockPanelFactory.h"

#include <vector>

// Makes fake panels and keeps the state of every panel it made, in order of making.
class FakeDockPanelFactory final : public DockPanelFactory {
public:
    std::unique_ptr<DockPanel> makePanel(const QUuid& dockId, const QRectF& frame) override {
        panels.push_back(std::make_shared<FakeDockPanelState>());
        panels.back()->dockId = dockId;
        panels.back()->frame = frame;
        return std::make_unique<FakeDockPanel>(panels.back());
    }

    // The most recent panel made for the dock, or null.
    FakeDockPanelState* panelFor(const QUuid& dockId) const {
        for (auto it = panels.rbegin(); it != panels.rend(); ++it)
            if ((*it)->dockId == dockId)
                return it->get();
        return nullptr;
    }
    std::vector<std::shared_ptr<FakeDockPanelState>> panels;
};
