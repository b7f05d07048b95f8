// The mahjong match object. The script object makes the one instance and
// frees it, so a match survives trips through the menus; the mode table only
// runs it (mode 64) while it exists.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <memory>

class CMahjongGame {
public:
    CMahjongGame();
    ~CMahjongGame();
    CMahjongGame(const CMahjongGame&) = delete;
    CMahjongGame& operator=(const CMahjongGame&) = delete;

    // One frame of the match.
    void Run(platform::WindowHandle window);

    std::uint8_t state = 0;
    std::uint32_t flags = 0;
    std::uint32_t frameCount = 0;
    platform::Rect screenRect{0, 0, 800, 600};
};

// Owned by the script object (made by its constructor, freed by its destructor).
extern std::unique_ptr<CMahjongGame> g_mahjongGame;
