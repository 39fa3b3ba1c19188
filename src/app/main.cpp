#include "app/MoorlineApp.h"

int main(int argc, char** argv) {
    return MoorlineApp::run(argc, argv);
}
