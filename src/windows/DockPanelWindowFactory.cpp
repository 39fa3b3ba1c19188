#include "windows/DockPanelWindowFactory.h"

#include "views/DockContentView.h"
#include "windows/DockPanelWindow.h"

std::unique_ptr<DockPanel> DockPanelWindowFactory::makePanel(const QUuid& dockID,
                                                             const QRectF& frame,
                                                             const DockViewServices& services) {
    auto panel = std::make_unique<DockPanelWindow>(frame, hints_);
    panel->setContent(new DockContentView(dockID, services));
    return panel;
}
