// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SystemLog.h"

// The system log through syslog(3), which the journal collects.
class SyslogSystemLog final : public SystemLog {
public:
    void write(const QString& line) override;
};
