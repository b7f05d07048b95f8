// The 37 scoring combinations of a winning hand, their points, the ron gate
// and the announcement lines.
#pragma once

#include "mahjong/MahjongTile.h"

#include <array>
#include <cstdint>
#include <string_view>

using MahjongYakuFlags = std::array<std::uint8_t, kMahjongYakuCount>;

extern const std::array<std::int32_t, kMahjongYakuCount> g_mahjongYakuPoints;

// What a winner brings to the combination table besides the tiles.
struct MahjongWinFacts {
    bool selfDrawn = false;       // flag 0
    bool riichiCountdown = false; // flag 1: the winner's riichi countdown is above 0
    bool riichiDeclared = false;  // flag 2
};

// The kinds of the three triplets (a <= b <= c) of a winning hand sorted by
// kind: the kinds in slots 0, 3 and 6.
struct MahjongTripletKinds {
    std::uint8_t a = 0, b = 0, c = 0;
};
MahjongTripletKinds TripletKinds(const MahjongHand& sortedHand);

// The one combination of flags 5..36 the triplet kinds make, or -1.
int ShapeYaku(MahjongTripletKinds kinds);

// Sets the flags of every combination the hand and facts make (the flags are
// cleared first).
void MarkYaku(MahjongTripletKinds kinds, const MahjongWinFacts& facts, MahjongYakuFlags& flags);

// The ron gate without riichi: the triplet kinds hold one of the combinations
// that do not depend on how the hand was won (flags 3 to 36).
bool KindsHoldYaku(MahjongTripletKinds kinds);

// The announcement line of combination f, or empty when it has none (the
// table holds lines for combinations 3 to 35 only).
std::string_view YakuVoice(int flag);

// The next set flag at or after `cursor` (YakuCursor counts one past the
// last flag shown); -1 when no flag is left, so the search always ends.
int NextSetYaku(const MahjongYakuFlags& flags, int cursor);
