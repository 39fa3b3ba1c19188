// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MoorlineApp.h"

int main(int argc, char** argv) {
    return MoorlineApp::run(argc, argv);
}
