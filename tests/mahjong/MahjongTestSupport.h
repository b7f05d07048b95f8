// Hands made by hand for the mahjong tests.
#pragma once

#include "mahjong/MahjongTile.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace mahjong_test {

inline MahjongTile TileOf(int kind, int copy) {
    return MahjongTileFromId(static_cast<std::uint8_t>(kind * kMahjongCopies + copy));
}

// Tiles of the given kinds in the given slots; repeated kinds take the next
// copy, so every tile is distinct. Slots after the list stay empty.
inline MahjongHand HandOfKinds(std::initializer_list<int> kinds, int firstCopy = 0) {
    MahjongHand hand{};
    std::array<int, kMahjongKinds> used{};
    std::size_t slot = 0;
    for (int k : kinds)
        hand[slot++] = TileOf(k, firstCopy + used[static_cast<std::size_t>(k)]++);
    return hand;
}

// The same tiles ordered by kind, as the winner's hand is before scoring.
inline MahjongHand SortedByKind(MahjongHand hand) {
    std::stable_sort(hand.begin(), hand.end(),
                     [](const MahjongTile& a, const MahjongTile& b) { return a.Kind < b.Kind; });
    return hand;
}

} // namespace mahjong_test
