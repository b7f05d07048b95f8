#include "mahjong/MahjongYaku.h"

#include <algorithm>
#include <string>

const std::array<std::int32_t, kMahjongYakuCount> g_mahjongYakuPoints = {
    1000,  1000,  1000,  2000,  2000,                              // 0..4
    3000,  3000,  3000,  3000,  3000,  3000,  3000,  3000,         // 5..12
    4000,  4000,  4000,  5000,                                     // 13..16
    8000,  8000,  8000,  8000,                                     // 17..20
    12000, 12000, 12000, 12000, 12000, 12000, 12000,               // 21..27
    12000, 12000, 12000, 12000, 12000, 12000, 12000, 15000, 20000, // 28..36
};

namespace {

struct Triple {
    std::uint8_t a, b, c;
};

// Flags 5 to 16: three different kinds.
constexpr std::array<Triple, 12> kDistinctShapes = {{
    {2, 3, 5},
    {1, 11, 13},
    {10, 12, 14},
    {0, 8, 10},
    {5, 9, 12},
    {3, 10, 11},
    {1, 4, 13},
    {3, 4, 11},
    {4, 10, 13},
    {9, 13, 15},
    {1, 2, 8},
    {7, 14, 15},
}};

// Flags 17 to 20: two kinds, either of them held twice over.
constexpr std::array<std::array<std::uint8_t, 2>, 4> kTwoKindShapes = {
    {{13, 15}, {8, 9}, {0, 6}, {12, 14}}};

// Flags 21 to 36: nine tiles of one kind.
constexpr std::array<std::uint8_t, 16> kOneKindShapes = {6, 0,  1,  2, 3,  7,  5,  4,
                                                         8, 11, 12, 9, 14, 10, 13, 15};

constexpr int kFirstDistinct = 5, kFirstTwoKind = 17, kFirstOneKind = 21;

// One line per combination 3..35 at entry f + 1; entries 0 to 3 are empty.
constexpr int kFirstVoicedYaku = 3, kLastVoicedYaku = 35, kFirstVoiceNumber = 169;

} // namespace

MahjongTripletKinds TripletKinds(const MahjongHand& sortedHand) {
    return {sortedHand[0].Kind, sortedHand[3].Kind, sortedHand[6].Kind};
}

int ShapeYaku(MahjongTripletKinds k) {
    for (std::size_t i = 0; i < kDistinctShapes.size(); ++i) {
        const Triple& t = kDistinctShapes[i];
        if (k.a == t.a && k.b == t.b && k.c == t.c) return kFirstDistinct + static_cast<int>(i);
    }
    for (std::size_t i = 0; i < kTwoKindShapes.size(); ++i) {
        const auto [lo, hi] = kTwoKindShapes[i];
        if ((k.a == lo && k.b == lo && k.c == hi) || (k.a == lo && k.b == hi && k.c == hi))
            return kFirstTwoKind + static_cast<int>(i);
    }
    if (k.a == k.b && k.b == k.c) {
        for (std::size_t i = 0; i < kOneKindShapes.size(); ++i)
            if (kOneKindShapes[i] == k.a) return kFirstOneKind + static_cast<int>(i);
    }
    return -1;
}

void MarkYaku(MahjongTripletKinds kinds, const MahjongWinFacts& facts, MahjongYakuFlags& flags) {
    flags.fill(0);
    flags[0] = facts.selfDrawn ? 1 : 0;
    flags[1] = facts.riichiCountdown ? 1 : 0;
    flags[2] = facts.riichiDeclared ? 1 : 0;
    flags[3] = kinds.a >= 8 && kinds.b >= 8 && kinds.c >= 8 ? 1 : 0;
    flags[4] = kinds.a < 8 && kinds.b < 8 && kinds.c < 8 ? 1 : 0;
    if (int f = ShapeYaku(kinds); f >= 0) flags[f] = 1;
}

bool KindsHoldYaku(MahjongTripletKinds kinds) {
    MahjongYakuFlags flags{};
    MarkYaku(kinds, MahjongWinFacts{}, flags);
    return std::any_of(flags.begin() + 3, flags.end(), [](std::uint8_t f) { return f != 0; });
}

std::string_view YakuVoice(int flag) {
    static const std::array<std::string, kMahjongYakuCount> table = [] {
        std::array<std::string, kMahjongYakuCount> t{};
        for (int f = kFirstVoicedYaku; f <= kLastVoicedYaku; ++f) {
            std::string name = "voice\\vel0000.ogg";
            std::string number = std::to_string(kFirstVoiceNumber + f - kFirstVoicedYaku);
            name.replace(13 - number.size(), number.size(), number);
            t[static_cast<std::size_t>(f + 1)] = name;
        }
        return t;
    }();
    const int entry = flag + 1;
    // Combination 36 would read past the table: it simply has no line.
    if (entry < 0 || entry >= static_cast<int>(table.size())) return {};
    return table[static_cast<std::size_t>(entry)];
}

int NextSetYaku(const MahjongYakuFlags& flags, int cursor) {
    for (int f = std::max(cursor, 0); f < kMahjongYakuCount; ++f)
        if (flags[static_cast<std::size_t>(f)] != 0) return f;
    return -1;
}
