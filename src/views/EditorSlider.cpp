// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/EditorSlider.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace {
// Positions across the range: fine enough to feel continuous (a tenth of a point of icon size,
// a thousandth of opacity).
constexpr int steps = 1000;
} // namespace

EditorSlider::EditorSlider(double minimum, double maximum, bool withReadout, QWidget* parent)
    : QWidget(parent), minimum_(minimum), maximum_(maximum),
      slider_(new QSlider(Qt::Horizontal, this)) {
    slider_->setRange(0, steps);
    slider_->setSingleStep(steps / 100);
    slider_->setPageStep(steps / 10);
    // A label's mnemonic and Tab reach the slider itself.
    setFocusProxy(slider_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(slider_, 1);
    if (withReadout) {
        readout_ = new QLabel(this);
        readout_->setFixedWidth(30);
        readout_->setAlignment(Qt::AlignCenter);
        layout->addWidget(readout_);
    }
    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        const double value = minimum_ + (maximum_ - minimum_) * position / steps;
        if (readout_)
            readout_->setText(wholeNumber(value));
        Q_EMIT moved(value);
    });
}

int EditorSlider::position(double value) const {
    // Clamped as a double first: a hand-edited 1e300 must not overflow the conversion.
    if (std::isnan(value))
        return 0;
    const double fraction = (value - minimum_) / (maximum_ - minimum_);
    return static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * steps));
}

void EditorSlider::setValue(double value) {
    if (readout_)
        readout_->setText(wholeNumber(value));
    const int target = position(value);
    if (slider_->value() == target)
        return;
    const QSignalBlocker blocker(slider_);
    slider_->setValue(target);
}

QString EditorSlider::readout() const {
    return readout_ ? readout_->text() : QString();
}

QString EditorSlider::wholeNumber(double value) {
    const double whole = std::trunc(value);
    // Inside the range of a 64-bit integer the conversion is exact and defined.
    if (whole > -9.2e18 && whole < 9.2e18)
        return QString::number(static_cast<qint64>(whole));
    return QString::number(whole, 'g', 2);
}
