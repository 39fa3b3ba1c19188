// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

// Asks the user whether to run a desktop entry the desktop does not trust.
class LaunchConfirmation {
public:
    using Answer = std::function<void(bool launch)>;

    virtual ~LaunchConfirmation() = default;

    // Asks without blocking, naming the file and the command it runs. `answer` is called at most
    // once, later, with true only when the user said yes; never once this object is gone.
    virtual void ask(const QString& path, const QString& execLine, Answer answer) = 0;
};
