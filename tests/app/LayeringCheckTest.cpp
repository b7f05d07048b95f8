// The layering check itself: run on small source trees made here, it passes
// a tree that keeps the layers and fails each way of breaking them.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

namespace {

class LayeringCheckTest : public ::testing::Test {
protected:
    // A tree that keeps the layers: a shell header declaring globals, a
    // movie player and sound code that use none of them, archive reading
    // that includes only the platform.
    void SetUp() override {
        Write("src/app/GameApp.h",
              "extern std::unique_ptr<CGameApp> g_gameApp;\nextern int g_mouse;\n");
        Write("src/app/Shell.cpp",
              "#include \"data/PackFile.h\"\n#include \"sound/MoviePlayer.h\"\n");
        Write("src/sound/MoviePlayer.cpp",
              "#include \"sound/MoviePlayer.h\"\nint g_mouseless = 0;\n");
        Write("src/sound/OggStream.cpp", "#include \"data/PackFile.h\"\n");
        Write("src/gfx/Dib.cpp", "#include \"data/PackFile.h\"\n");
        Write("src/data/PackFile.cpp", "#include \"platform/Platform.h\"\n");
    }
    void Write(const std::string& name, const std::string& text) {
        testing_support::WriteFile(dir_.path() / name,
                                   std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    int Check() const {
        const std::string command = std::string("bash ") + NORVANE_SOURCE_DIR +
                                    "/scripts/check-layering '" + dir_.path().string() +
                                    "' >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    testing_support::TempDir dir_;
};

TEST_F(LayeringCheckTest, PassesATreeThatKeepsTheLayersAndFailsEachBreak) {
    ASSERT_EQ(Check(), 0);
    const std::vector<std::pair<std::string, std::string>> breaks = {
        {"src/sound/SoundChannel.cpp", "#include \"app/Shell.h\"\n"},
        {"src/sound/OggStream.h", "#  include \"app/PathTable.h\"\n"},
        {"src/gfx/Blit.cpp", "#include \"app/Config.h\"\n"},
        {"src/data/Log.cpp", "#include \"gfx/Dib.h\"\n"},
        {"src/data/PathTable.cpp", "#include \"app/GameApp.h\"\n"},
        {"src/sound/MoviePlayer.cpp", "void F() { g_gameApp->mode = 2; }\n"},
        {"src/sound/MoviePlayer.h", "inline bool Skip() { return g_mouse != 0; }\n"},
        {"src/scenario/Quake.cpp", "#include <SDL.h>\n"},
    };
    for (const auto& [file, text] : breaks) {
        const std::filesystem::path path = dir_.path() / file;
        const bool existed = std::filesystem::exists(path);
        const std::vector<std::uint8_t> before =
            existed ? testing_support::ReadFile(path) : std::vector<std::uint8_t>{};
        Write(file, text);
        EXPECT_EQ(Check(), 1) << file << ": " << text;
        if (existed)
            testing_support::WriteFile(path, before);
        else
            std::filesystem::remove(path);
        ASSERT_EQ(Check(), 0) << "after undoing " << file;
    }
}

} // namespace
