// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/ReferenceDate.h"

#include <QDateTime>

double ReferenceDate::now() {
    return static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0 - unixOffset;
}
