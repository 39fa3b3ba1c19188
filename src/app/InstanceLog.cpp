// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InstanceLog.h"

Q_LOGGING_CATEGORY(lcInstance, "moorline.instance", QtWarningMsg)
