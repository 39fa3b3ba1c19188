// SPDX-License-Identifier: GPL-3.0-or-later
#include "integration/support/XSession.h"

// Each integration binary gets its own X server, window manager and XDG directories before Qt
// connects to the display; a binary that needs another kind of session has a main of its own.
int main(int argc, char** argv) {
    return runIntegrationTests(argc, argv);
}
