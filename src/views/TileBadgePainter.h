// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runtime/AppBadge.h"

#include <QRect>

class QPainter;

// Draws what a running program adds to its launcher tile: the running dot under the icon (as
// the application switcher draws its indicator), a count badge in the icon's top-right corner,
// a progress bar across the icon's foot, and the urgency highlight behind the tile. Everything
// stays within the tile's cell, so that repainting that one tile shows a change.
namespace TileBadgePainter {

constexpr int dotSize = 4;

// Behind everything else of the tile.
void paintUrgency(QPainter& painter, const QRect& cell);
// Centred under `icon`, in the gap between the icon and the label.
void paintRunningDot(QPainter& painter, const QRect& icon);
// Over the icon: the count and the progress, as far as `badge` has them.
void paintBadge(QPainter& painter, const QRect& icon, const AppBadge& badge);
// "7", "999+" past 999.
QString countText(std::int64_t count);

} // namespace TileBadgePainter
