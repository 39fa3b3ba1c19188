// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The system's log (the journal), for the rare failure an administrator may want to find.
class SystemLog {
public:
    virtual ~SystemLog() = default;

    virtual void write(const QString& line) = 0;
};
