// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clipboard.h"

#include <optional>

// A clipboard that keeps the last text and counts the writes.
class FakeClipboard final : public Clipboard {
public:
    void setText(const QString& value) override {
        text = value;
        ++writes;
    }

    std::optional<QString> text;
    int writes = 0;
};
