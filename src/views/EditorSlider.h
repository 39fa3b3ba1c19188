// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QSlider;

// A slider over a fixed range of doubles, continuous or in steps, with a readout of the value in
// its unit. Shows any stored value, out of range ones at the nearer end, and reports only what
// the user does: a value shown never comes back as a change.
class EditorSlider final : public QWidget {
    Q_OBJECT
public:
    enum class Unit { points, percent };

    // `step`: the smallest change, or 0 for a continuous slider.
    EditorSlider(double minimum, double maximum, double step, Unit unit, QWidget* parent = nullptr);

    // Shows the stored value without reporting it.
    void setValue(double value);
    QSlider* slider() const { return slider_; }
    QString readout() const;
    // The value as the readout writes it: whole points ("48 pt", truncated) or a whole percentage
    // of a fraction ("90 %", rounded).
    static QString readoutText(double value, Unit unit);
    // A double as the whole number it truncates to; huge, infinite and NaN values, which only a
    // hand-edited file holds, in the shortest form that still says what they are.
    static QString wholeNumber(double value);

Q_SIGNALS:
    void moved(double value);

private:
    int position(double value) const;
    double valueAt(int position) const;

    double minimum_;
    double maximum_;
    Unit unit_;
    int positions_;
    QSlider* slider_;
    QLabel* readout_;
};
