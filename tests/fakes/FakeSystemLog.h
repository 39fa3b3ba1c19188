// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SystemLog.h"

#include <QStringList>

// Keeps the lines written to it.
class FakeSystemLog final : public SystemLog {
public:
    void write(const QString& line) override { lines.append(line); }

    QStringList lines;
};
