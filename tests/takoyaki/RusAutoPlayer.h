// A scripted player for whole simulated contests: it works its pan through
// the mouse as a person would (tool buttons, holes, serve, throw away,
// specials), one click at most every few frames. The benchmark drives the
// same player.
#pragma once

#include "platform/headless/Headless.h"
#include "takoyaki/RusContest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

namespace rus_test {

inline constexpr std::uint32_t kFrameMs = 8;

struct Point {
    int x = 0;
    int y = 0;
};

inline Point Centre(const platform::Rect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class AutoPlayer {
public:
    // Clicks at most once every `period` frames, keeps at most `maxCooking`
    // holes cooking at once, and fires a special as soon as one may be used
    // or never.
    enum class Specials : std::uint8_t { Fire, Keep };
    explicit AutoPlayer(int period = 12, int maxCooking = 8, Specials specials = Specials::Fire)
        : period_(period), maxCooking_(maxCooking), specials_(specials) {}

    rus::PlayInput Next(const CRusContest& c) {
        rus::PlayInput in{rest_.x, rest_.y, false, false};
        if (++frame_ % period_ != 0) return in;
        Point p;
        if (!Choose(c, p)) return in;
        rest_ = p;
        return {p.x, p.y, true, false};
    }

private:
    bool ClickButton(const CRusContest& c, int button, Point& p) {
        p = Centre(c.ButtonRect[button - 1]);
        return true;
    }

    bool Choose(const CRusContest& c, Point& p) {
        if (c.PlayerLocked) return false;
        if (c.PlayerHeld == rus::kGoodBall) return ClickButton(c, 5, p);
        if (c.PlayerHeld != rus::kEmptyHand) return ClickButton(c, 4, p);
        for (int k = 2; k >= 1 && specials_ == Specials::Fire; --k) {
            if (c.CanUsePlayerSpecial(k)) {
                p = Centre(c.SpecialRect[k - 1]);
                return true;
            }
        }
        if (c.PlayerTool == rus::kPourLock) return false;
        int cooking = 0;
        int emptyHole = -1;
        for (int h = 0; h < rus::kHoles; ++h) {
            const int s = c.PlayerStage[h];
            if (c.PlayerHoleCovered[h]) continue;
            if (s == 0 && emptyHole < 0) emptyHole = h;
            if (s != 0) ++cooking;
            const int tool = s == 4               ? int{rus::kOctopus}
                             : (s >= 5 && s != 9) ? int{rus::kPick}
                                                  : -1;
            if (tool < 0) continue;
            if (c.PlayerTool != tool) return ClickButton(c, tool + 1, p);
            p = Centre(c.PlayerHoleRect[h]);
            return true;
        }
        if (emptyHole < 0 || cooking >= maxCooking_) return false;
        if (c.PlayerTool != rus::kBatter) return ClickButton(c, 1, p);
        p = Centre(c.PlayerHoleRect[emptyHole]);
        return true;
    }

    int period_;
    int maxCooking_;
    Specials specials_;
    int frame_ = 0;
    Point rest_{400, 300};
};

// Runs one contest from loading to its verdict at 8 ms frames on the
// headless clock; the cut-ins end at once. `afterFrame` sees the contest
// after every frame. Returns the number of frames run.
inline std::uint64_t PlayContest(CRusContest& c, AutoPlayer& player,
                                 const std::function<void(const CRusContest&)>& afterFrame = {}) {
    namespace hl = platform::headless;
    c.Load();
    c.BeginPlay();
    std::uint64_t frames = 0;
    // 99 timer steps of about 2.5 s and the cut-ins fit well inside this.
    constexpr std::uint64_t kMaxFrames = 400000 / kFrameMs;
    while (c.State != rus::RusState::Win && c.State != rus::RusState::Lose && frames < kMaxFrames) {
        hl::AdvanceClock(kFrameMs);
        switch (c.State) {
        case rus::RusState::Play: {
            rus::PlayInput in = player.Next(c);
            c.RunPlay(in);
            break;
        }
        case rus::RusState::OpponentCutIn:
        case rus::RusState::PlayerCutIn:
            c.RunCutInAtOnce();
            break;
        case rus::RusState::Judge:
            c.Judge();
            break;
        default:
            break;
        }
        ++frames;
        if (afterFrame) afterFrame(c);
    }
    return frames;
}

// Invariants every frame of a whole contest.
inline void CheckInvariants(const CRusContest& c) {
    auto side = [](std::int32_t life, std::int32_t g1, std::int32_t g2, std::uint8_t f1,
                   std::uint8_t f2, std::int8_t plates, std::uint8_t count,
                   const std::array<std::uint8_t, 6>& plate) {
        EXPECT_GE(life, 0);
        EXPECT_LE(life, rus::kFullLife);
        for (std::int32_t g : {g1, g2}) {
            EXPECT_GE(g, 0);
            EXPECT_LE(g, 10);
        }
        // A full gauge carried over by a one-plate special waits for the
        // next gauge step to light its flag.
        if (f1) {
            EXPECT_EQ(g1, 10);
        }
        if (f2) {
            EXPECT_EQ(g2, 10);
        }
        EXPECT_GE(plates, 0);
        EXPECT_LT(count, 6);
        int placed = 0;
        for (std::uint8_t p : plate)
            placed += p;
        EXPECT_EQ(placed, count);
    };
    side(c.PlayerLife, c.PlayerGauge1, c.PlayerGauge2, c.PlayerGauge1Full, c.PlayerGauge2Full,
         c.PlayerPlates, c.PlayerPlateCount, c.PlayerPlate);
    side(c.OpponentLife, c.OpponentGauge1, c.OpponentGauge2, c.OpponentGauge1Full,
         c.OpponentGauge2Full, c.OpponentPlates, c.OpponentPlateCount, c.OpponentPlate);
    auto pan = [](const CRusContest::PerHole<std::int8_t>& stage,
                  const CRusContest::PerHole<std::uint8_t>& kind,
                  const CRusContest::PerHole<std::uint8_t>& counted) {
        for (int h = 0; h < rus::kHoles; ++h) {
            const int s = stage[h];
            const int lo[3] = {0, 6, 9}, hi[3] = {5, 8, 11};
            ASSERT_LE(kind[h], 2);
            EXPECT_GE(s, lo[kind[h]]) << h;
            EXPECT_LE(s, hi[kind[h]]) << h;
            if (s == 5 || s == 8 || s == 11) {
                EXPECT_TRUE(counted[h]) << "uncharged burn " << h;
            }
        }
    };
    if (c.State == rus::RusState::Play) {
        pan(c.PlayerStage, c.PlayerKind, c.PlayerBurnCounted);
        pan(c.OpponentStage, c.OpponentKind, c.OpponentBurnCounted);
    }
    EXPECT_GE(c.TimeLeft, 0);
    EXPECT_LE(c.TimeLeft, 99);
    EXPECT_LE(c.PlayerHeld, 4);
    EXPECT_LE(c.OpponentHeld, 4);
    EXPECT_GE(c.HandX, 0);
    EXPECT_LT(c.HandX, 800);
    EXPECT_GE(c.HandY, 0);
    EXPECT_LT(c.HandY, 600);
    // A cut-in's bombs cover holes before its ending sets the flag.
    if (!c.PlayerHolesCovered && c.State == rus::RusState::Play) {
        for (std::uint8_t v : c.PlayerHoleCovered)
            EXPECT_EQ(v, 0);
    }
}

} // namespace rus_test
