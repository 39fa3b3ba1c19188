// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Lets screen readers into the docks: a panel reads as a window named by its dock, and the
// custom-painted views (the grid, the running applications, the tab strip) show their tiles as
// children. Qt asks the factory installed here only when an assistive technology is listening;
// until then nothing of it is made.
class DockAccessibility {
public:
    // Installs the factory once; later calls do nothing.
    static void install();
};
