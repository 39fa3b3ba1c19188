#include "windows/DockPanelWindowFactory.h"

#include "views/DockContentView.h"
#include "windows/DockPanelWindow.h"

std::unique_ptr<DockPanel>
DockPanelWindowFactory::makePanel(const QUuid& dockID, const QRectF& frame, DockStore* store,
                                  RunningAppsMonitor* runningAppsMonitor) {
    auto panel = std::make_unique<DockPanelWindow>(frame);
    if (store)
        panel->setContent(new DockContentView(dockID, *store, runningAppsMonitor));
    return panel;
}
