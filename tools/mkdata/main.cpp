// mkdata DIR: writes the demo game into DIR.
#include "lib/DemoData.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkdata DIR\n");
        return 2;
    }
    std::string error;
    if (!demo::WriteDemoGame(argv[1], error)) {
        std::fprintf(stderr, "mkdata: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
