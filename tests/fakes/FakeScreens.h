#pragma once

#include "platform/Screens.h"

// Screens and a pointer that the test sets by hand.
class FakeScreens final : public Screens {
public:
    std::vector<QRectF> frames() const override { return screenFrames; }
    std::optional<QRectF> mainFrame() const override { return main; }
    QPointF pointerLocation() const override { return pointer; }

    std::vector<QRectF> screenFrames{QRectF(0, 0, 1280, 800)};
    std::optional<QRectF> main = QRectF(0, 0, 1280, 800);
    QPointF pointer;
};
