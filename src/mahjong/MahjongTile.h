// The tile record and the sizes of the tables a mahjong match is played on.
#pragma once

#include <array>
#include <cstdint>
#include <span>

inline constexpr int kMahjongKinds = 16;
inline constexpr int kMahjongCopies = 12; // copies of each kind in the wall
inline constexpr int kMahjongWallSize = kMahjongKinds * kMahjongCopies;
inline constexpr int kMahjongHeld = 8;  // slots 0..7 are held, sorted by kind
inline constexpr int kMahjongDrawn = 8; // slot 8 is the drawn tile
inline constexpr int kMahjongHandSlots = 9;
inline constexpr int kMahjongDiscardSlots = 30;
inline constexpr int kMahjongYakuCount = 37;
inline constexpr int kMahjongHeroines = 8;

// One tile; the all-zero record marks an empty slot.
struct MahjongTile {
    std::uint8_t Kind = 0;  // 0..15; every sort orders by this byte alone
    std::uint8_t Id = 0;    // 0..191, kind * 12 + copy
    std::uint16_t Face = 0; // column of the face in the tile picture, always Kind

    friend bool operator==(const MahjongTile&, const MahjongTile&) = default;
};

inline MahjongTile MahjongTileFromId(std::uint8_t id) {
    auto kind = static_cast<std::uint8_t>(id / kMahjongCopies);
    return MahjongTile{kind, id, kind};
}

using MahjongHand = std::array<MahjongTile, kMahjongHandSlots>;
using MahjongKindCounts = std::array<std::uint8_t, kMahjongKinds>;
