// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DockPanel.h"

#include <QUuid>

#include <memory>

// Makes the panel of one dock, with the dock's content inside.
class DockPanelFactory {
public:
    virtual ~DockPanelFactory() = default;

    // `frame` in the dock's space (see DockPanel).
    virtual std::unique_ptr<DockPanel> makePanel(const QUuid& dockId, const QRectF& frame) = 0;
};
