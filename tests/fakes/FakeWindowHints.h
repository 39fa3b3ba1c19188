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

    void prepareForMap(QWindow* window, bool above) override {
        ++windows[window].mapsPrepared;
        windows[window].above = above;
    }
    void setAbove(QWindow* window, bool above) override {
        ++windows[window].aboveRequests;
        windows[window].above = above;
    }
    void setWindowClass(QWindow* window, const QByteArray& instance,
                        const QByteArray& className) override {
        windows[window].windowClass = instance + '.' + className;
    }
    void setBlurRegion(QWindow* window, const QRegion& region) override {
        windows[window].blur = region;
    }
    void setAcceptsFocus(QWindow* window, bool acceptsFocus) override {
        windows[window].acceptsFocus = acceptsFocus;
    }

    QHash<QWindow*, State> windows;
};
