// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// The single-instance lock and channel: problems that keep later launches from reaching us.
Q_DECLARE_LOGGING_CATEGORY(lcInstance)
