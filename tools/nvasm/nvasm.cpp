// nvasm: writes compiled script files from their text form, and reads them
// back.
//
//   nvasm SOURCE.txt OUTPUT.s      assemble (the output is stored complemented)
//   nvasm -d SCRIPT.s [OUTPUT.txt] disassemble (to standard output without OUTPUT)
#include "lib/ScriptAssembler.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fputs("usage: nvasm SOURCE.txt OUTPUT.s\n       nvasm -d SCRIPT.s [OUTPUT.txt]\n", stderr);
    return 2;
}

bool ReadWhole(const char* path, std::string& out) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    out.assign(std::istreambuf_iterator<char>(f), {});
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string first = argv[1];
    std::string input;
    if (first == "-d") {
        if (argc > 4) return Usage();
        if (!ReadWhole(argv[2], input)) {
            std::fprintf(stderr, "nvasm: cannot read %s\n", argv[2]);
            return 1;
        }
        const std::vector<std::uint8_t> stored(input.begin(), input.end());
        const std::string text = nvasm::Disassemble(nvasm::Complement(stored));
        if (argc == 3) {
            std::fwrite(text.data(), 1, text.size(), stdout);
            return 0;
        }
        std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
        out << text;
        if (!out) {
            std::fprintf(stderr, "nvasm: cannot write %s\n", argv[3]);
            return 1;
        }
        return 0;
    }
    if (argc != 3) return Usage();
    if (!ReadWhole(argv[1], input)) {
        std::fprintf(stderr, "nvasm: cannot read %s\n", argv[1]);
        return 1;
    }
    std::string error;
    if (!nvasm::WriteScriptFile(argv[2], input, error)) {
        std::fprintf(stderr, "nvasm: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    return 0;
}
