// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/WaylandLog.h"

Q_LOGGING_CATEGORY(lcWayland, "moorline.wayland", QtWarningMsg)
