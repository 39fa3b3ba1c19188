// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <cstdint>

class QLabel;
class QToolButton;

// "Columns: N" with a stepper that moves the number by one within 1 to 10. The label shows the
// stored number whatever it is; a step from outside the range lands on its nearer end.
class ColumnsStepper final : public QWidget {
    Q_OBJECT
public:
    explicit ColumnsStepper(QWidget* parent = nullptr);

    // Shows the stored number without reporting it.
    void setValue(std::int64_t value);
    QString text() const;
    QToolButton* decrementButton() const { return down_; }
    QToolButton* incrementButton() const { return up_; }

    static constexpr std::int64_t minimum = 1;
    static constexpr std::int64_t maximum = 10;

Q_SIGNALS:
    void stepped(std::int64_t value);

private:
    void step(int by);

    std::int64_t value_ = 0;
    QLabel* label_;
    QToolButton* down_;
    QToolButton* up_;
};
