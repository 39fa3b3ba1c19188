// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Screens.h"

// The screens Qt knows, in Qt's order (the primary first), and the pointer from QCursor, turned
// into the docks' space. Changes come from QGuiApplication's and each QScreen's signals.
class QtScreens final : public Screens {
public:
    std::vector<QRectF> frames() const override;
    std::optional<QRectF> mainFrame() const override;
    QPointF pointerLocation() const override;
    Subscription observeChanges(std::function<void()> handler) override;
};
