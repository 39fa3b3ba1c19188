#include "backends/desktop/DesktopServicesLog.h"

Q_LOGGING_CATEGORY(lcDesktopServices, "moorline.desktop", QtCriticalMsg)
