#pragma once

#include "platform/DockPanelFactory.h"

// Makes real panels: a DockPanelWindow holding the dock's DockContentView.
class DockPanelWindowFactory final : public DockPanelFactory {
public:
    std::unique_ptr<DockPanel> makePanel(const QUuid& dockID, const QRectF& frame, DockStore* store,
                                         RunningAppsMonitor* runningAppsMonitor) override;
};
