// Replays a fuzz target's kept inputs in the test build, so that every input
// that once failed runs again under the sanitizers on each test run. The
// files of a folder go in name order: some faults showed only after the
// inputs before them had left their state behind.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg = argv[i];
        if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg))
                if (entry.is_regular_file()) inputs.push_back(entry.path());
        } else {
            inputs.push_back(arg);
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        std::fprintf(stderr, "fuzz replay: no inputs\n");
        return 1;
    }
    for (const auto& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        if (!in.eof() && in.fail()) {
            std::fprintf(stderr, "fuzz replay: cannot read %s\n", path.c_str());
            return 1;
        }
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("fuzz replay: %zu inputs\n", inputs.size());
    std::fflush(stdout);
    // The targets keep their world in globals of several files for the whole
    // run, with no teardown (libFuzzer gives none): their order of static
    // destruction is not one the game ever meets, so it is not run.
    std::_Exit(0);
}
