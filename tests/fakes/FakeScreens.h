// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Screens.h"
#include "platform/Signal.h"

// Screens and a pointer that the test sets by hand; setFrames() also tells the observers.
class FakeScreens final : public Screens {
public:
    std::vector<QRectF> frames() const override { return screenFrames; }
    std::optional<QRectF> mainFrame() const override { return main; }
    QPointF pointerLocation() const override { return pointer; }
    Subscription observeChanges(std::function<void()> handler) override {
        return changed_.connect([handler = std::move(handler)] { handler(); });
    }

    // The first frame becomes the main screen (none when the list is empty).
    void setFrames(std::vector<QRectF> frames) {
        screenFrames = std::move(frames);
        main = screenFrames.empty() ? std::nullopt : std::optional(screenFrames.front());
        changed_.emit();
    }
    std::size_t observerCount() const { return changed_.size(); }

    std::vector<QRectF> screenFrames{QRectF(0, 0, 1280, 800)};
    std::optional<QRectF> main = QRectF(0, 0, 1280, 800);
    QPointF pointer;

private:
    Signal<> changed_;
};
