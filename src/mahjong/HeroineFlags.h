// The heroines' beaten flags in the settings block, as the mahjong title and
// the heroine select read them.
#pragma once

#include "app/Config.h"

#include <cstdint>

namespace mahjong {

inline constexpr int kHeroines = 8;
// Heroines 0 to 6 are the first seven; heroine 7 opens once they are beaten.
inline constexpr int kFirstHeroines = 7;

inline bool HeroineBeaten(int heroine) {
    return g_config[config::kMahjongBeaten + static_cast<std::size_t>(heroine)] != 0;
}

// Counts the flags that are set: a sum of the bytes would let a flag byte
// of 2 or more stand in for a heroine never beaten.
inline bool AllFirstBeaten() {
    for (int k = 0; k < kFirstHeroines; ++k)
        if (!HeroineBeaten(k)) return false;
    return true;
}

} // namespace mahjong
