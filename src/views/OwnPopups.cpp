// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/OwnPopups.h"

#include <QApplication>

bool OwnPopups::isOpen() {
    // Menus are popups; the icon chooser is window modal, which counts as modal here too.
    return drags_ > 0 || QApplication::activePopupWidget() || QApplication::activeModalWidget();
}
