// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/WindowHints.h"

#include <QHash>
#include <QWindow>

#include <utility>
#include <vector>

// Remembers the blur and focus hints asked for, per window, and who has the keyboard.
class FakeWindowHints final : public WindowHints {
public:
    struct State {
        QRegion blur;
        bool acceptsFocus = true;
    };

    void prepareForMap(QWindow*, bool) override {}
    void setAbove(QWindow*, bool) override {}
    void setWindowClass(QWindow*, const QByteArray&, const QByteArray&) override {}
    void setBlurRegion(QWindow* window, const QRegion& region) override {
        windows[window].blur = region;
    }
    void setAcceptsFocus(QWindow* window, bool acceptsFocus) override {
        windows[window].acceptsFocus = acceptsFocus;
    }
    WId takeFocus(QWindow* window, std::uint32_t userTime) override {
        focusRequests.push_back({window->winId(), userTime});
        return std::exchange(focused, window->winId());
    }
    void giveFocusBack(WId previous, std::uint32_t userTime) override {
        focusReturns.push_back({previous, userTime});
        focused = previous;
    }

    // The window that has the keyboard, as far as takeFocus and giveFocusBack say.
    WId focused = 0;
    std::vector<std::pair<WId, std::uint32_t>> focusRequests;
    std::vector<std::pair<WId, std::uint32_t>> focusReturns;

    QHash<QWindow*, State> windows;
};
