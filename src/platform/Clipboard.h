// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The desktop's clipboard (the selection that Ctrl+C and Ctrl+V use).
class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Replaces whatever the clipboard held with the text, as plain text.
    virtual void setText(const QString& text) = 0;
};
