// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How a dock looks: icon edge length, background opacity and sRGB tint, labels, corner rounding.
struct DockAppearance {
    double iconSize = 48;
    double opacity = 0.9;
    double tintRed = 0.13;
    double tintGreen = 0.14;
    double tintBlue = 0.17;
    bool showLabels = true;
    double cornerRadius = 16;

    bool operator==(const DockAppearance&) const = default;
};
