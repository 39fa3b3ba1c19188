// SPDX-License-Identifier: GPL-3.0-or-later
#include "integration/support/XSession.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>

int runIntegrationTests(int argc, char** argv, const XSession::Options& options) {
    XSession session(options);
    if (!session.start()) {
        std::fprintf(stderr, "integration: could not start the X server and window manager\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
