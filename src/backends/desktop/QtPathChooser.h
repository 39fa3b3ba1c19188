// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PathChooser.h"

// Qt's own file dialog, in which files and folders alike can be chosen (the desktop's dialogs
// choose one or the other), opened window-modal without a nested event loop.
class QtPathChooser final : public PathChooser {
public:
    void choosePaths(QWidget* parent, Answer answer) override;
};
