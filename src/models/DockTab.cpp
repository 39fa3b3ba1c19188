// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockTab.h"

DockTab DockTab::make(const QString& name) {
    return DockTab{QUuid::createUuid(), name, {}};
}
