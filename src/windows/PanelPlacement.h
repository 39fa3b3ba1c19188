// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRectF>

#include <optional>
#include <vector>

// Where a panel stands among the screens, all in the docks' space: the screen it belongs to, and
// where a panel whose frame no screen shows (its monitor unplugged) is put meanwhile.
class PanelPlacement {
public:
    // The screen that shows the largest part of `frame` (the first of equals); absent when no
    // screen shows any of it.
    static std::optional<QRectF> screenOf(const QRectF& frame, const std::vector<QRectF>& screens);

    // `frame` itself when a screen shows some of it, or when there is no screen. Otherwise the
    // same frame moved the shortest way onto a screen: wholly on it when it fits, its top-left
    // corner on the screen when it does not.
    static QRectF reachableFrame(const QRectF& frame, const std::vector<QRectF>& screens);
};
