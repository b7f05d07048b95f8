#include "mahjong/MahjongGame.h"

std::unique_ptr<CMahjongGame> g_mahjongGame;

CMahjongGame::CMahjongGame() = default;
CMahjongGame::~CMahjongGame() = default;

// The match itself is not played yet: a frame only counts, so the mode idles
// like a mode without a screen until the match is built.
void CMahjongGame::Run(platform::WindowHandle) { ++frameCount; }
