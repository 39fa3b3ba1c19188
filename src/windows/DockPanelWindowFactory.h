// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DockPanelFactory.h"
#include "views/DockContentView.h"

class WindowHints;

// Makes real panels: a DockPanelWindow holding the dock's DockContentView.
class DockPanelWindowFactory final : public DockPanelFactory {
public:
    // The hints and what the contents work with must outlive every panel made.
    DockPanelWindowFactory(WindowHints& hints, const DockContentView::Services& content)
        : hints_(hints), content_(content) {}

    std::unique_ptr<DockPanel> makePanel(const QUuid& dockId, const QRectF& frame) override;

private:
    WindowHints& hints_;
    DockContentView::Services content_;
};
