// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

struct DockAppearance;

// The colour of everything drawn on a dock's panel (text, glyphs, highlights, the outline): light
// on a dark panel, dark on a light one. Whether a panel reads as light is its tint's luminance
// at its opacity, over the dark material that stands in for what shows through. Every shade is
// that one colour at some alpha, so that a tint the user picks never leaves text of the same
// colour on it.
class PanelInk {
public:
    PanelInk() = default;
    explicit PanelInk(bool dark) : dark_(dark) {}

    static PanelInk forAppearance(const DockAppearance& appearance);
    // The relative luminance (0 black to 1 white) of the panel's colour as it is composed.
    static double panelLuminance(const DockAppearance& appearance);

    bool isDark() const { return dark_; }
    // The ink at `alpha` (0 to 1).
    QColor at(double alpha) const;
    // The panel's one-pixel edge: the ink at a low alpha, which shows on a wallpaper of the
    // panel's own shade.
    QColor outline() const { return at(0.3); }

    bool operator==(const PanelInk&) const = default;

private:
    bool dark_ = false;
};
