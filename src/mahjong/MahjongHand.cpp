#include "mahjong/MahjongHand.h"

#include "platform/Platform.h"

#include <numeric>
#include <utility>

MahjongKindCounts CountKinds(std::span<const MahjongTile> tiles) {
    MahjongKindCounts counts{};
    // A kind byte out of range (a damaged record) counts nowhere rather than
    // past the table.
    for (const MahjongTile& t : tiles)
        if (t.Kind < kMahjongKinds) ++counts[t.Kind];
    return counts;
}

namespace {

// How many kinds hold exactly n tiles.
int KindsWithCount(const MahjongKindCounts& counts, int n) {
    int k = 0;
    for (std::uint8_t c : counts)
        k += c == n ? 1 : 0;
    return k;
}

std::uint8_t LowestKindWithCount(const MahjongKindCounts& counts, int n) {
    for (int k = 0; k < kMahjongKinds; ++k)
        if (counts[k] == n) return static_cast<std::uint8_t>(k);
    return 0;
}

int TileCount(const MahjongKindCounts& counts) {
    return std::accumulate(counts.begin(), counts.end(), 0);
}

} // namespace

bool IsThreeTriplets(const MahjongKindCounts& counts) {
    return KindsWithCount(counts, 3) == 3;
}

bool IsWinningShape(const MahjongKindCounts& counts) {
    if (TileCount(counts) != kMahjongHandSlots) return false;
    for (std::uint8_t c : counts)
        if (c % 3 != 0) return false;
    return true;
}

std::optional<std::uint8_t> PlayerReadyWait(const MahjongKindCounts& counts) {
    const int c2 = KindsWithCount(counts, 2), c3 = KindsWithCount(counts, 3),
              c4 = KindsWithCount(counts, 4);
    const int c5 = KindsWithCount(counts, 5), c6 = KindsWithCount(counts, 6),
              c8 = KindsWithCount(counts, 8);
    // The first shape that matches decides the wait.
    if (c3 == 2 && c2 == 1) return LowestKindWithCount(counts, 2);              // 3+3+2+1
    if (c8 == 1) return LowestKindWithCount(counts, 8);                         // 8+1
    if (c5 == 1 && (c3 == 1 || c4 == 1)) return LowestKindWithCount(counts, 5); // 5+3+1, 5+4
    if (c6 == 1 && c2 == 1) return LowestKindWithCount(counts, 2);              // 6+2+1
    if (c4 == 1 && c3 == 1 && c2 == 1) return LowestKindWithCount(counts, 2);   // 4+3+2
    return std::nullopt;
}

std::optional<std::uint8_t> CpuReadyWait(const MahjongKindCounts& counts) {
    if (KindsWithCount(counts, 3) == 2 && KindsWithCount(counts, 2) == 1)
        return LowestKindWithCount(counts, 2);
    return std::nullopt;
}

std::optional<int> RiichiDiscardSlot(const MahjongHand& hand) {
    const MahjongKindCounts counts = CountKinds(hand);
    for (int k = kMahjongKinds - 1; k >= 0; --k) {
        if (counts[k] != 1 && counts[k] != 4) continue;
        for (int s = 0; s < kMahjongHandSlots; ++s)
            if (hand[s].Kind == k) return s;
    }
    return std::nullopt;
}

void SortByKind(std::span<MahjongTile> tiles, int passes) {
    if (tiles.size() < 2) return;
    for (int pass = 0; pass < passes; ++pass)
        for (std::size_t i = tiles.size() - 1; i > 0; --i)
            if (tiles[i - 1].Kind > tiles[i].Kind) std::swap(tiles[i - 1], tiles[i]);
}

std::uint8_t ChooseCpuDiscard(MahjongHand& hand) {
    SortByKind(hand, kMahjongHandSlots - 1);
    const MahjongKindCounts counts = CountKinds(hand);
    std::uint8_t triplets = 0;
    int pairsOrMore = 0;
    int discardKind = 0;
    for (int k = 0; k < kMahjongKinds; ++k) {
        if (counts[k] == 1 || counts[k] == 4) {
            discardKind = k;
            break;
        }
        if (counts[k] >= 2) ++pairsOrMore;
        if (counts[k] == 3) ++triplets;
    }
    // Four kinds of two or more before any single: the highest tile goes.
    if (pairsOrMore == 4) return triplets;
    for (int s = 0; s < kMahjongHandSlots; ++s) {
        if (hand[s].Kind == discardKind) {
            std::swap(hand[s], hand[kMahjongDrawn]);
            break;
        }
    }
    return triplets;
}

bool IsCpuLapse(int opponent, std::uint32_t r) {
    switch (opponent) {
    case 0:
        return r % 3 == 1;
    case 1:
        return r % 2 == 1;
    case 2:
    case 3:
        return r % 4 == 1;
    case 4:
    case 5:
    case 6:
        return r % 5 == 3;
    default:
        return false;
    }
}

int UniformRand(int bound) {
    constexpr int kRange = 32768; // rand gives 0..32767
    if (bound <= 1) return 0;
    const int limit = kRange - kRange % bound;
    int r = platform::Rand();
    while (r >= limit)
        r = platform::Rand();
    return r % bound;
}

void ShuffleWall(std::span<MahjongTile, kMahjongWallSize> wall) {
    std::array<std::uint8_t, kMahjongWallSize> ids{};
    std::iota(ids.begin(), ids.end(), std::uint8_t{0});
    for (int n = kMahjongWallSize - 1; n >= 1; --n)
        std::swap(ids[n], ids[UniformRand(n + 1)]);
    for (int i = 0; i < kMahjongWallSize; ++i)
        wall[i] = MahjongTileFromId(ids[i]);
}
