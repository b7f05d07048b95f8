// The demo game's special-attack cut-ins: every picture, sound and line that
// the drawn cut-ins load (the player's two specials, opponent 0's two), made
// so that a person watching can tell their phases apart.
#pragma once

#include "lib/DemoCanvas.h"
#include "lib/DemoContest.h"

#include <cstdint>

namespace demo {

bool CutInData(const ContestOutput& out);

// Opponents' cut-ins of their own files, called by CutInData.
bool CutInDataKel(const ContestOutput& out);
bool CutInDataQo(const ContestOutput& out);
bool CutInDataMur(const ContestOutput& out);
bool CutInDataDor(const ContestOutput& out);
bool CutInDataHol(const ContestOutput& out);

// Pieces the cut-in writers share.
inline constexpr std::uint32_t kCutInInk = 0xFFFFFF;
// A band strip: slanted stripes of two tones with its label every 200
// pixels, so its scrolling shows.
void Band(Canvas& c, std::uint32_t tone1, std::uint32_t tone2, const char* label);
// The picture drawn over the whole screen as a cut-in starts: a veil of the
// attacker's tone, its name above and the attack's name below.
Canvas Veil(std::uint32_t tone, const char* title, const char* subtitle);
// A caption plate with a big word on it.
void Caption(Canvas& c, int x, int y, int w, int h, std::uint32_t tone, const char* word,
             int size);

} // namespace demo
