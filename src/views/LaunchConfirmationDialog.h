// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LaunchConfirmation.h"

#include <QDialog>
#include <QHash>
#include <QObject>
#include <QPointer>

// Asks in a box, opened without blocking and above every panel, whether to run an untrusted
// desktop entry: names the file and shows its whole command (scrollable), and defaults to not
// running it. One box per file at a time; open boxes close, their questions unanswered, when
// this object goes.
class LaunchConfirmationDialog final : public QObject, public LaunchConfirmation {
    Q_OBJECT
public:
    explicit LaunchConfirmationDialog(QObject* parent = nullptr);
    ~LaunchConfirmationDialog() override;

    void ask(const QString& path, const QString& execLine, Answer answer) override;

    // The box open for the path, if any (for tests).
    QDialog* openBox(const QString& path) const { return boxes_.value(path); }

    // Text made safe to show: control and direction-changing characters replaced, so that a
    // hostile name cannot hide or reorder what the user reads; shortened past `limit`.
    static QString printable(const QString& text, qsizetype limit);

private:
    static QDialog* makeBox(const QString& path, const QString& execLine);

    QHash<QString, QPointer<QDialog>> boxes_;
};
