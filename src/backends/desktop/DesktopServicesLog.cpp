// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/DesktopServicesLog.h"

Q_LOGGING_CATEGORY(lcDesktopServices, "moorline.desktop", QtCriticalMsg)
