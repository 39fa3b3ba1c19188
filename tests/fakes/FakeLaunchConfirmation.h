// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LaunchConfirmation.h"

#include <QStringList>

#include <vector>

// Keeps every question, as "PATH: EXEC", with its answer pending until the test gives one.
class FakeLaunchConfirmation final : public LaunchConfirmation {
public:
    void ask(const QString& path, const QString& execLine, Answer answer) override {
        questions << path + QStringLiteral(": ") + execLine;
        pending.push_back(std::move(answer));
    }
    // Answers the questions still open, oldest first.
    void answerAll(bool launch) {
        auto answers = std::move(pending);
        pending.clear();
        for (auto& answer : answers)
            answer(launch);
    }

    QStringList questions;
    std::vector<Answer> pending;
};
