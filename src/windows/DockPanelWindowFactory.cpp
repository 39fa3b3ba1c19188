// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/DockPanelWindowFactory.h"

#include "windows/DockPanelWindow.h"

std::unique_ptr<DockPanel> DockPanelWindowFactory::makePanel(const QUuid& dockId,
                                                             const QRectF& frame) {
    auto panel = std::make_unique<DockPanelWindow>(frame, hints_);
    auto* content = new DockContentView(dockId, content_);
    panel->setContent(content);
    panel->setCornerRadius(content->cornerRadius());
    QObject::connect(content, &DockContentView::cornerRadiusChanged, panel.get(),
                     &DockPanelWindow::setCornerRadius);
    QObject::connect(content, &DockContentView::acceptsFocusChanged, panel.get(),
                     &DockPanelWindow::setAcceptsKeyboardFocus);
    QObject::connect(content, &DockContentView::moveByHandRequested, panel.get(),
                     &DockPanelWindow::moveByHand);
    return panel;
}
