// The demo game's mahjong match: the table, tile, system, portrait, menu,
// cut-in and result pictures, the tile sounds, the match music, every
// heroine line and combination announcement, and each heroine's three
// scripts (the one that starts her match, and the ones after a won and a
// lost match).
#pragma once

#include "lib/DemoSystem.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace demo {

struct MahjongOutput {
    SystemOutput media;
    std::function<bool(const std::string& name, const std::string& text)> script;
    std::function<std::vector<float>(int root, const std::vector<std::array<int, 3>>& chords,
                                     double beat)>
        music;
};

bool MahjongData(const MahjongOutput& out);

// The story choice that leads to the first heroine's match, and its branch
// (placed after another branch, which it jumps over to the label `after`),
// in the assembler's text form.
std::string MahjongChoice();
std::string MahjongBranch();

// The name heroine 0 to 7 goes by in her scenes, the match and the select.
const char* MahjongHeroineName(int heroine);

// How the demo's tiles are named: kinds 0 to 7 are one to eight of
// characters, 8 to 15 one to eight of circles.
std::string MahjongTileName(int kind);

} // namespace demo
