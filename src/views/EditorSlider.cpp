// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/EditorSlider.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace {
// Positions across the range of a continuous slider: fine enough to feel continuous (a
// thousandth of opacity).
constexpr int continuousPositions = 1000;
} // namespace

EditorSlider::EditorSlider(double minimum, double maximum, double step, Unit unit, QWidget* parent)
    : QWidget(parent), minimum_(minimum), maximum_(maximum), unit_(unit),
      positions_(step > 0 ? std::max(1, int(std::lround((maximum - minimum) / step)))
                          : continuousPositions),
      slider_(new QSlider(Qt::Horizontal, this)), readout_(new QLabel(this)) {
    slider_->setRange(0, positions_);
    slider_->setSingleStep(std::max(1, positions_ / 100));
    slider_->setPageStep(std::max(1, positions_ / 10));
    readout_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Room for the widest value of the range, so that the slider does not jump as it moves.
    readout_->setMinimumWidth(readout_->fontMetrics().horizontalAdvance(
                                  readoutText(unit == Unit::percent ? 1.0 : maximum, unit)) +
                              6);
    // A label's mnemonic and Tab reach the slider itself.
    setFocusProxy(slider_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(slider_, 1);
    layout->addWidget(readout_);
    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        const double value = valueAt(position);
        readout_->setText(readoutText(value, unit_));
        Q_EMIT moved(value);
    });
}

double EditorSlider::valueAt(int position) const {
    if (position >= positions_)
        return maximum_; // exactly, whatever the rounding of the steps
    return minimum_ + (maximum_ - minimum_) * position / positions_;
}

int EditorSlider::position(double value) const {
    // Clamped as a double first: a hand-edited 1e300 must not overflow the conversion.
    if (std::isnan(value))
        return 0;
    const double fraction = (value - minimum_) / (maximum_ - minimum_);
    return static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * positions_));
}

void EditorSlider::setValue(double value) {
    readout_->setText(readoutText(value, unit_));
    const int target = position(value);
    if (slider_->value() == target)
        return;
    const QSignalBlocker blocker(slider_);
    slider_->setValue(target);
}

QString EditorSlider::readout() const {
    return readout_->text();
}

QString EditorSlider::readoutText(double value, Unit unit) {
    if (unit == Unit::percent)
        return tr("%1 %").arg(wholeNumber(std::round(value * 100)));
    return tr("%1 pt").arg(wholeNumber(value));
}

QString EditorSlider::wholeNumber(double value) {
    const double whole = std::trunc(value);
    // Inside the range of a 64-bit integer the conversion is exact and defined.
    if (whole > -9.2e18 && whole < 9.2e18)
        return QString::number(static_cast<qint64>(whole));
    return QString::number(whole, 'g', 2);
}
