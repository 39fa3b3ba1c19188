// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ImageFileChooser.h"

// The desktop's file dialog (Qt's, or the portal's where the platform theme offers one), opened
// window-modal without a nested event loop.
class QtImageFileChooser final : public ImageFileChooser {
public:
    void chooseImage(QWidget* parent, Answer answer) override;
};
