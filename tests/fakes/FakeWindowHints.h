// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/WindowHints.h"

#include <QHash>

// Remembers the hints asked for, per window.
class FakeWindowHints final : public WindowHints {
public:
    struct State {
        int mapsPrepared = 0;
        int aboveRequests = 0;
        bool above = false;
        QByteArray windowClass;
        QRegion blur;
        bool acceptsFocus = true;
    };

    void prepareForMap(WId window, bool above) override {
        ++windows[window].mapsPrepared;
        windows[window].above = above;
    }
    void setAbove(WId window, bool above) override {
        ++windows[window].aboveRequests;
        windows[window].above = above;
    }
    void setWindowClass(WId window, const QByteArray& instance,
                        const QByteArray& className) override {
        windows[window].windowClass = instance + '.' + className;
    }
    void setBlurRegion(WId window, const QRegion& region) override {
        windows[window].blur = region;
    }
    void setAcceptsFocus(WId window, bool acceptsFocus) override {
        windows[window].acceptsFocus = acceptsFocus;
    }

    QHash<WId, State> windows;
};
