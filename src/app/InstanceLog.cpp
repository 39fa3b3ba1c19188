#include "app/InstanceLog.h"

Q_LOGGING_CATEGORY(lcInstance, "moorline.instance", QtWarningMsg)
