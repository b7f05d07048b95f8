// The cooking rules both sides' pans share: stage steps, burns, taking a ball
// out of a hole and filling plates.
#pragma once

#include "platform/Platform.h"
#include "takoyaki/RusContest.h"

#include <algorithm>
#include <cstdint>
#include <span>

namespace rus::pan {

using Stages = std::span<std::int8_t, kHoles>;
using Marks = std::span<std::uint8_t, kHoles>;
using Stamps = std::span<std::uint32_t, kHoles>;

// The highest stage a ball of each kind (batter, octopus, turned) reaches.
using StageCaps = std::array<std::int8_t, 3>;
inline constexpr StageCaps kBurntCaps{5, 8, 11};
inline constexpr StageCaps kReadyCaps{4, 7, 10};

inline std::uint32_t Now() {
    return platform::TimeGetTime();
}

// "More than `span` ms since `stamp`", across the clock's wrap.
inline bool Passed(std::uint32_t stamp, std::uint64_t span) {
    return static_cast<std::uint32_t>(Now() - stamp) > span;
}

inline bool IsBurnt(int stage) {
    return stage == 5 || stage == 8 || stage == 11;
}

// What a hand holds after taking the ball of a done (10) or burnt hole.
inline std::uint8_t HeldFrom(int stage) {
    switch (stage) {
    case 10:
        return kGoodBall;
    case 11:
        return kBurntAt11;
    case 8:
        return kBurntAt8;
    case 5:
        return kBurntAt5;
    default:
        return kEmptyHand;
    }
}

// Every cooking hole whose interval (times `slowdown`) has passed since its
// last step moves one stage on, up to its kind's cap; a ball above the cap
// (burnt before the caps were lowered) steps back to it.
inline void StepStages(Stages stage, std::span<const std::uint8_t, kHoles> kind, Stamps stamp,
                       std::span<const std::uint32_t, kHoles> interval, std::uint32_t slowdown,
                       const StageCaps& caps) {
    const std::uint32_t now = Now();
    for (int i = 0; i < kHoles; ++i) {
        if (stage[i] <= 0) continue;
        if (std::uint64_t{static_cast<std::uint32_t>(now - stamp[i])} <=
            std::uint64_t{interval[i]} * slowdown)
            continue;
        stamp[i] = now;
        stage[i] = std::min<std::int8_t>(static_cast<std::int8_t>(stage[i] + 1),
                                         caps[std::min<std::uint8_t>(kind[i], 2)]);
    }
}

// Calls `charge` once for each hole, in order, whose ball has burnt since its
// burn was last charged, and marks it charged.
template <typename Charge> void ForEachNewBurn(Stages stage, Marks counted, Charge charge) {
    for (int i = 0; i < kHoles; ++i) {
        if (!IsBurnt(stage[i]) || counted[i]) continue;
        counted[i] = 1;
        charge();
    }
}

// Puts a served ball on the current plate; six balls make a plate, which
// scores one and leaves an empty plate. True when a plate was completed.
inline bool AddToPlate(std::array<std::uint8_t, kPlacesPerPlate>& plate, std::uint8_t& count,
                       std::int8_t& plates) {
    plate[std::min<int>(count, kPlacesPerPlate - 1)] = 1;
    count += 1;
    if (count < kPlacesPerPlate) return false;
    plates += 1;
    count = 0;
    plate.fill(0);
    return true;
}

} // namespace rus::pan
