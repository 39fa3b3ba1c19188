// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clipboard.h"

// The clipboard selection through QClipboard (needs a QGuiApplication).
class QtClipboard final : public Clipboard {
public:
    void setText(const QString& text) override;
};
