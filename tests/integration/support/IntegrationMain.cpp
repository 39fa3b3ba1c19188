#include "integration/support/XSession.h"

#include <QApplication>
#include <QIcon>

#include <gtest/gtest.h>

#include <cstdio>

// Each integration binary gets its own X server, window manager and XDG directories before Qt
// connects to the display.
int main(int argc, char** argv) {
    XSession session;
    if (!session.start()) {
        std::fprintf(stderr, "integration: could not start Xvfb and Openbox\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
