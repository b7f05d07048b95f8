// Loads a mutated script through the real loader and runs the interpreter
// over it for a bounded number of records. The first input byte chooses the
// play context and the message style; the rest is the decoded script.
#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "data/PathTable.h"
#include "gfx/Dib.h"
#include "platform/Platform.h"
#include "platform/headless/Headless.h"
#include "scenario/Scenario.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kSteps = 64;
std::string g_scriptPath;

void SetUpWorld() {
    char tmpl[] = "/tmp/norvane-fuzz-XXXXXX";
    const char* dir = ::mkdtemp(tmpl);
    if (!dir) std::abort();
    std::filesystem::create_directories(std::filesystem::path(dir) / "script");
    g_scriptPath = std::string(dir) + "/script/fuzz.s";
    // The data folders are taken from the current directory once; the fuzzer
    // itself keeps its own working directory for its corpus.
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    g_pathTable = std::make_unique<CPathTable>();
    g_pathTable->InitPaths();
    std::filesystem::current_path(home);
    ResetConfig();
    g_mouse = std::make_unique<CMouse>();
    g_keyboard = std::make_unique<CKeyboard>();
    g_backBuffer = std::make_unique<CDib>();
    g_backBuffer->Create(platform::WindowHandle::Main, 800, 600, 24);
    cdib[0] = std::make_unique<CDib>();
    cdib[0]->Create(platform::WindowHandle::Main, 800, 600, 24);
    g_gameApp = std::make_unique<CGameApp>(platform::WindowHandle::Main, platform::WindowHandle::Main);
    g_scenario = std::make_unique<CScenario>(platform::WindowHandle::Main);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = (SetUpWorld(), true);
    (void)ready;
    if (size < 1) return 0;
    platform::headless::Reset();
    g_scenario->playContext = data[0] & 3;
    g_scenario->messageStyle = (data[0] >> 2) % 3;

    std::vector<char> stored(data + 1, data + size);
    for (char& c : stored) c = static_cast<char>(~c);
    if (std::FILE* f = std::fopen(g_scriptPath.c_str(), "wb")) {
        std::fwrite(stored.data(), 1, stored.size(), f);
        std::fclose(f);
    }
    g_scenario->LoadScript("fuzz.s");
    for (int i = 0; i < kSteps; ++i) {
        // Every story mode hands back to the interpreter at once.
        g_gameApp->mode = 2;
        g_scenario->Step();
        if (g_scenario->pc >= g_scenario->scriptSize) break;
    }
    return 0;
}
