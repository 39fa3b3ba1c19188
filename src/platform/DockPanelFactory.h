#pragma once

#include "platform/DockPanel.h"

#include <QUuid>

#include <memory>

class DockStore;
class RunningAppsMonitor;

// Makes the panel of one dock, with the dock's content inside when a store is given.
class DockPanelFactory {
public:
    virtual ~DockPanelFactory() = default;

    // `frame` in the dock's space (see DockPanel). The monitor may be absent.
    virtual std::unique_ptr<DockPanel> makePanel(const QUuid& dockID, const QRectF& frame,
                                                 DockStore* store,
                                                 RunningAppsMonitor* runningAppsMonitor) = 0;
};
