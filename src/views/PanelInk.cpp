// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/PanelInk.h"

#include "models/DockAppearance.h"

#include <algorithm>
#include <cmath>

namespace {

// What shows through the panel where the compositor blurs nothing (the content view lays the
// tint over it): assumed opaque here, as the wallpaper behind is not known.
constexpr double material[] = {30 / 255.0, 30 / 255.0, 34 / 255.0};
// Dark ink from the luminance at which black and white text contrast equally with the panel.
constexpr double darkInkFrom = 0.179;
const QColor lightInk(255, 255, 255);
const QColor darkInk(20, 20, 24);

double unit(double value) {
    return std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0);
}

// An sRGB channel as linear light.
double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

} // namespace

double PanelInk::panelLuminance(const DockAppearance& appearance) {
    const double opacity = unit(appearance.opacity);
    const double tint[] = {unit(appearance.tintRed), unit(appearance.tintGreen),
                           unit(appearance.tintBlue)};
    // Composed as the compositor composes it, in sRGB.
    double channels[3];
    for (int i = 0; i < 3; ++i)
        channels[i] = linear(tint[i] * opacity + material[i] * (1 - opacity));
    return 0.2126 * channels[0] + 0.7152 * channels[1] + 0.0722 * channels[2];
}

PanelInk PanelInk::forAppearance(const DockAppearance& appearance) {
    return PanelInk(panelLuminance(appearance) > darkInkFrom);
}

QColor PanelInk::at(double alpha) const {
    QColor color = dark_ ? darkInk : lightInk;
    color.setAlphaF(float(unit(alpha)));
    return color;
}
