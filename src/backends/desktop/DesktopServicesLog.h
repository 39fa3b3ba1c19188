// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// Failures of the desktop services (launching, revealing, the trash, autostart, icons): silent to
// the user, logged here. Off by default; QT_LOGGING_RULES="moorline.desktop.warning=true" shows
// them.
Q_DECLARE_LOGGING_CATEGORY(lcDesktopServices)
