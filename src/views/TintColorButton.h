// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QColorDialog>
#include <QPointer>
#include <QPushButton>

// A swatch of the dock's tint that opens a colour dialog. The dock follows the dialog live; a
// cancelled dialog puts back the colour it opened with. Only red, green and blue are reported:
// the dock's transparency is its opacity slider.
class TintColorButton final : public QPushButton {
    Q_OBJECT
public:
    explicit TintColorButton(QWidget* parent = nullptr);
    ~TintColorButton() override;

    // Shows the stored colour (opaque) without reporting it; an open dialog is left alone.
    void setColor(const QColor& color);
    QColor color() const { return color_; }
    QColorDialog* dialog() const { return dialog_; }
    void closeDialog();

Q_SIGNALS:
    void picked(double red, double green, double blue);

protected:
    // A dialog left open for a control no longer on show would write to whatever comes next.
    void hideEvent(QHideEvent* event) override;

private:
    void openDialog();
    void report(const QColor& chosen);

    QColor color_;
    bool reported_ = false;
    QPointer<QColorDialog> dialog_;
};
