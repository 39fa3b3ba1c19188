// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Dock panels as layer-shell surfaces on Qt's own Wayland connection.
class LayerShellPanels {
public:
    // Whether this build can give Qt's surfaces the layer role with the Qt it runs on: only the
    // very Qt it was built against, whose Wayland surfaces it knows.
    static bool isUsableWithThisQt();
    // Before the first window exists: lets panels have a surface without Qt's shell role.
    static void prepareQt();
};
