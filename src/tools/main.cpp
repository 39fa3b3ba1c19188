#include <cstdio>

int main() {
    std::fputs("usage: moorline-docks check|format FILE\n", stderr);
    return 2;
}
