// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/LayerShellPanels.h"

#include <QByteArray>

bool LayerShellPanels::isUsableWithThisQt() {
    return false;
}

void LayerShellPanels::prepareQt() {
    qputenv("QT_WAYLAND_USE_BYPASSWINDOWMANAGERHINT", "1");
}
