#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Widgets draw into memory: no display, no session bus.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
