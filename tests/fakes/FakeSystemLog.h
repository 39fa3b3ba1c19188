#pragma once

#include "platform/SystemLog.h"

#include <QStringList>

// Keeps the lines written to it.
class FakeSystemLog final : public SystemLog {
public:
    void write(const QString& line) override { lines.append(line); }

    QStringList lines;
};
