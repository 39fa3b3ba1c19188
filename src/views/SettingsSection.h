// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>
#include <QPixmap>

// A titled section of the settings form. Draws its frame and title once per size and look and
// copies them from then on: a slider dragged inside it repaints its own rectangle many times a
// second, and every such repaint would otherwise lay out and draw the whole section beneath it.
class SettingsSection final : public QGroupBox {
    Q_OBJECT
public:
    explicit SettingsSection(const QString& title, QWidget* parent = nullptr)
        : QGroupBox(title, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QPixmap frame_;
};
