// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's entry: one instance per user, the tray, the panels, and an orderly end that
// writes what is still waiting to be saved.
namespace MoorlineApp {
int run(int argc, char** argv);
}
