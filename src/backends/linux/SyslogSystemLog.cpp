// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/linux/SyslogSystemLog.h"

#include <syslog.h>

void SyslogSystemLog::write(const QString& line) {
    // "%s": the line is data, never a format.
    syslog(LOG_USER | LOG_WARNING, "%s", line.toUtf8().constData());
}
