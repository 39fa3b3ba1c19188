// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DockPanelFactory.h"

class WindowHints;

// Makes real panels: a DockPanelWindow holding the dock's DockContentView.
class DockPanelWindowFactory final : public DockPanelFactory {
public:
    // The hints must outlive every panel made.
    explicit DockPanelWindowFactory(WindowHints& hints) : hints_(hints) {}

    std::unique_ptr<DockPanel> makePanel(const QUuid& dockId, const QRectF& frame,
                                         const DockViewServices& services) override;

private:
    WindowHints& hints_;
};
