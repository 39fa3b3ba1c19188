// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QSlider;

// A continuous slider over a fixed range of doubles, optionally with a readout of the value as
// a whole number. Shows any stored value, out of range ones at the nearer end, and reports
// only what the user does: a value shown never comes back as a change.
class EditorSlider final : public QWidget {
    Q_OBJECT
public:
    EditorSlider(double minimum, double maximum, bool withReadout, QWidget* parent = nullptr);

    // Shows the stored value without reporting it.
    void setValue(double value);
    QSlider* slider() const { return slider_; }
    QString readout() const;
    // A double as the whole number it truncates to; huge, infinite and NaN values, which only a
    // hand-edited file holds, in the shortest form that still says what they are.
    static QString wholeNumber(double value);

Q_SIGNALS:
    void moved(double value);

private:
    int position(double value) const;

    double minimum_;
    double maximum_;
    QSlider* slider_;
    QLabel* readout_ = nullptr;
};
