// The six computer opponents: their special rules at the edges of their time
// windows, the work scan, the hand, pouring, giving up on changed holes, the
// lock and opponent 1's speed-up; then one whole simulated contest each.
#include "RusAutoPlayer.h"

#include "platform/headless/Headless.h"
#include "takoyaki/RusContest.h"

#include <gtest/gtest.h>

#include <set>

namespace {

namespace hl = platform::headless;
using rus::RusState;

class RusOpponent : public ::testing::Test {
protected:
    void SetUp() override {
        hl::Reset();
        hl::AdvanceClock(1000);
        platform::Srand(3);
    }

    CRusContest& Start(int opponent) {
        c = std::make_unique<CRusContest>(static_cast<std::uint8_t>(opponent));
        c->Load();
        c->BeginPlay();
        return *c;
    }

    // The state the special rule reads, with the opponent idle.
    void Arm(std::int32_t timeLeft, bool full1, bool full2, std::int8_t plates,
             std::int32_t playerLife) {
        c->TimeLeft = timeLeft;
        c->OpponentGauge1Full = full1;
        c->OpponentGauge2Full = full2;
        c->OpponentPlates = plates;
        c->PlayerLife = playerLife;
        c->AiAction = rus::kAiIdle;
        c->AiStep = 0;
        c->OpponentSpecial = 0;
        // No think this frame: only the special rule can start an action.
        c->AiStamp = platform::TimeGetTime();
    }

    // -1 when the rule does not fire, else the variant it chose.
    int Fires(std::int32_t timeLeft, bool full1, bool full2, std::int8_t plates,
              std::int32_t playerLife) {
        Arm(timeLeft, full1, full2, plates, playerLife);
        c->RunOpponentAi();
        return c->AiAction == rus::kAiSpecial ? c->OpponentSpecial : -1;
    }

    // One 8 ms frame of the opponent's routine alone.
    void Step(std::uint32_t ms = rus_test::kFrameMs) {
        hl::AdvanceClock(ms);
        c->RunOpponentAi();
    }

    std::unique_ptr<CRusContest> c;
};

TEST_F(RusOpponent, SpecialWindowsAndThresholdsOfEachOpponent) {
    struct Expect {
        int early;       // first TimeLeft of the early window
        int middle;      // plates needed in 30..45
        int late;        // plates needed in 15..29
        bool lateStrong; // late special fires at any life
    };
    const Expect expect[6] = {{61, 3, 3, false}, {56, 3, 3, false}, {56, 3, 3, false},
                              {56, 3, 4, true},  {56, 3, 4, true},  {56, 2, 4, true}};
    for (int o = 0; o < 6; ++o) {
        SCOPED_TRACE(o);
        Start(o);
        const Expect& e = expect[o];
        // Early: both gauges and two plates; at minute 0 the random variant is 0.
        EXPECT_EQ(Fires(e.early, true, true, 2, 221), 0);
        EXPECT_EQ(Fires(e.early - 1, true, true, 9, 10), -1);
        EXPECT_EQ(Fires(e.early, true, false, 2, 221), -1);
        EXPECT_EQ(Fires(e.early, true, true, 1, 221), -1);
        // Middle: the second gauge and its plates; variant 1 below 180 life.
        EXPECT_EQ(Fires(46, true, true, 9, 10), -1);
        EXPECT_EQ(Fires(45, true, true, e.middle, 179), 1);
        EXPECT_EQ(Fires(30, true, true, e.middle, 180), 0);
        EXPECT_EQ(Fires(45, true, true, e.middle - 1, 10), -1);
        EXPECT_EQ(Fires(40, true, false, 9, 10), -1) << "the first gauge alone is not enough";
        // Late.
        EXPECT_EQ(Fires(29, true, true, e.late - 1, 10), -1);
        EXPECT_EQ(Fires(29, true, true, e.late, 99), e.lateStrong ? 0 : 1);
        EXPECT_EQ(Fires(15, true, true, e.late, 100), e.lateStrong ? 1 : -1);
        EXPECT_EQ(Fires(14, true, true, 9, 10), -1);
    }
}

TEST_F(RusOpponent, EarlyVariantIsRandomOnlyWhenRandClockAndMinuteAreOdd) {
    // Minute 1 and an odd clock reading.
    hl::AdvanceClock(60000 + 1);
    ASSERT_EQ(platform::TimeGetTime() % 2, 1u);
    ASSERT_EQ(platform::GetLocalTime().minute, 1);
    Start(1);
    Start(4);
    for (std::uint32_t seed = 1; seed < 40; ++seed) {
        platform::Srand(seed);
        const bool oddRand = platform::Rand() % 2 == 1;
        for (int o : {1, 4}) {
            Start(o);
            platform::Srand(seed);
            EXPECT_EQ(Fires(70, true, true, 2, 221), (o == 1 && oddRand) ? 1 : 0)
                << "opponent " << o << " seed " << seed;
        }
    }
}

TEST_F(RusOpponent, TheHandGlidesOutSlowlyAndPoursIntoAnEmptyHole) {
    CRusContest& k = Start(0);
    const std::uint32_t t0 = platform::TimeGetTime();
    k.AiAction = rus::kAiPour;
    k.AiStep = 0;
    k.AiLastHole = -1;
    platform::Srand(8);
    const int expected = platform::Rand() % 25;
    platform::Srand(8);
    k.RunOpponentAi();
    ASSERT_EQ(k.AiTargetHole, expected);
    ASSERT_EQ(k.AiStep, 1);
    EXPECT_EQ(k.AiMoveStamp, t0);
    // Half-way through the 500 ms move (45 degrees), the hand has covered
    // 1 − cos 45° of the way: to + trunc(0.7071 × (from − to)).
    const int toX = k.OpponentHoleRect[expected].left + 24;
    const int toY = k.OpponentHoleRect[expected].top + 24;
    hl::AdvanceClock(250);
    k.RunOpponentAi();
    EXPECT_EQ(k.HandX, toX + static_cast<int>(0.70710678 * (600 - toX)));
    EXPECT_EQ(k.HandY, toY + static_cast<int>(0.70710678 * (298 - toY)));
    hl::AdvanceClock(250);
    k.RunOpponentAi();
    EXPECT_EQ(k.AiStep, 2);
    Step();
    EXPECT_EQ(k.HandX, toX);
    EXPECT_EQ(k.HandY, toY);
    EXPECT_EQ(k.OpponentStage[expected], 1);
    EXPECT_EQ(k.OpponentTool, rus::kPourLock);
    EXPECT_EQ(k.AiAction, rus::kAiIdle);
    ASSERT_EQ(k.Cues.size(), 1u);
    EXPECT_EQ(k.Cues[0], rus::Cue::OpponentPour);
    // The lock ends once more than 100 ms have passed.
    Step(100);
    EXPECT_EQ(k.OpponentTool, rus::kPourLock);
    Step(1);
    EXPECT_EQ(k.OpponentTool, rus::kBatter);
}

TEST_F(RusOpponent, PourTargetsAreEvenAtMinuteZeroAndWastedOnCoveredOrFullHoles) {
    CRusContest& k = Start(2);
    ASSERT_EQ(platform::GetLocalTime().minute, 0);
    std::array<int, 25> counts{};
    for (int i = 0; i < 2500; ++i) {
        k.AiAction = rus::kAiPour;
        k.AiStep = 0;
        k.AiLastHole = -1;
        Step();
        ++counts[k.AiTargetHole];
    }
    for (int h = 0; h < 25; ++h) {
        EXPECT_GT(counts[h], 50) << h;
        EXPECT_LT(counts[h], 150) << h;
    }

    // The last hole again: the turn is wasted at once.
    k.AiAction = rus::kAiPour;
    k.AiStep = 0;
    platform::Srand(8);
    k.AiLastHole = platform::Rand() % 25;
    platform::Srand(8);
    Step();
    EXPECT_EQ(k.AiAction, rus::kAiIdle);

    // A covered hole or a full one wastes the move.
    for (int covered : {1, 0}) {
        k.AiAction = rus::kAiPour;
        k.AiStep = 2;
        k.AiTargetHole = 9;
        k.OpponentHoleCovered[9] = static_cast<std::uint8_t>(covered);
        k.OpponentStage[9] = covered ? 0 : 3;
        k.OpponentHoleStamp[9] = platform::TimeGetTime();
        Step();
        EXPECT_EQ(k.OpponentStage[9], covered ? 0 : 3);
        EXPECT_EQ(k.AiAction, rus::kAiIdle);
        EXPECT_NE(k.OpponentTool, rus::kPourLock);
    }
}

TEST_F(RusOpponent, WorkScanTakesTheLowestHoleAndGivesUpOnChangedBalls) {
    CRusContest& k = Start(3);
    // Nothing cooks on by itself meanwhile.
    k.OpponentHoleInterval.fill(60000);
    k.OpponentStage[7] = 10;
    k.OpponentStage[3] = 8;
    k.OpponentKind[3] = 1;
    k.OpponentBurnCounted[3] = 1;
    k.OpponentStage[2] = 9;
    Step();
    EXPECT_EQ(k.AiAction, rus::kAiThrowAway) << "a burnt ball before a done one";
    EXPECT_EQ(k.AiTargetHole, 3);
    EXPECT_EQ(k.OpponentTool, rus::kPick);
    // Throwing away always completes, even if the hole changed meanwhile.
    while (k.AiStep < 3)
        Step();
    EXPECT_EQ(k.OpponentHeld, rus::kBurntAt8);
    EXPECT_EQ(k.HandToX, 492);
    EXPECT_EQ(k.HandToY, 560);
    while (k.AiAction == rus::kAiThrowAway)
        Step();
    EXPECT_EQ(k.OpponentStage[3], 0);
    EXPECT_EQ(k.OpponentBurnCounted[3], 0);
    EXPECT_EQ(k.OpponentHeld, rus::kEmptyHand);

    // The done ball at 7 next; it is served onto the plate.
    Step();
    ASSERT_EQ(k.AiAction, rus::kAiServe);
    EXPECT_EQ(k.AiTargetHole, 7);
    while (k.AiStep < 3)
        Step();
    EXPECT_EQ(k.OpponentHeld, rus::kGoodBall);
    EXPECT_EQ(k.HandToX, 583);
    EXPECT_EQ(k.HandToY, 563);
    while (k.AiAction == rus::kAiServe)
        Step();
    EXPECT_EQ(k.OpponentPlateCount, 1);
    EXPECT_EQ(k.OpponentPlate[0], 1);

    // Octopus target burns while the hand travels: only its stamp restarts.
    k.OpponentStage[0] = 4;
    Step();
    ASSERT_EQ(k.AiAction, rus::kAiOctopus);
    EXPECT_EQ(k.OpponentTool, rus::kOctopus);
    k.OpponentStage[0] = 5;
    k.OpponentBurnCounted[0] = 1;
    while (k.AiAction == rus::kAiOctopus)
        Step();
    EXPECT_EQ(k.OpponentStage[0], 5);
    EXPECT_EQ(k.OpponentKind[0], 0);
    EXPECT_EQ(k.OpponentHoleStamp[0], platform::TimeGetTime());
    k.OpponentStage[0] = 0;

    // A turn that finds its ball still there.
    k.OpponentStage[4] = 7;
    k.OpponentKind[4] = 1;
    Step();
    ASSERT_EQ(k.AiAction, rus::kAiTurn);
    while (k.AiAction == rus::kAiTurn)
        Step();
    EXPECT_EQ(k.OpponentStage[4], 9);
    EXPECT_EQ(k.OpponentKind[4], 2);
}

TEST_F(RusOpponent, LockedOpponentStillCooksAndBurns) {
    CRusContest& k = Start(5);
    k.OpponentLocked = rus::kEffectActive;
    k.OpponentStage[6] = 4;
    k.OpponentHoleInterval[6] = 4000;
    k.OpponentHoleStamp[6] = platform::TimeGetTime();
    const int handX = k.HandX;
    k.AiStamp = platform::TimeGetTime() - 5000;
    Step(4001);
    EXPECT_EQ(k.OpponentStage[6], 5);
    EXPECT_EQ(k.OpponentLife, 221 - 6);
    EXPECT_EQ(k.AiAction, rus::kAiIdle) << "no work scan and no think";
    EXPECT_EQ(k.HandX, handX);
    EXPECT_EQ(k.Cues.back(), rus::Cue::OpponentBurn);
}

TEST_F(RusOpponent, OpponentOneHurriesAndBurnsFreelyWhileImmune) {
    for (int o : {1, 2}) {
        SCOPED_TRACE(o);
        CRusContest& k = Start(o);
        k.OpponentImmune = rus::kEffectActive;
        k.OpponentStage[0] = 10;
        k.OpponentKind[0] = 2;
        k.OpponentHoleInterval[0] = 1000;
        k.OpponentHoleStamp[0] = platform::TimeGetTime();
        k.OpponentStage[1] = 0;
        Step(1001);
        EXPECT_EQ(k.OpponentStage[0], 11);
        EXPECT_EQ(k.OpponentLife, o == 1 ? 221 : 215);
        EXPECT_TRUE(k.OpponentBurnCounted[0]);
        // Its think interval: 1900 / 2 for opponent 1, 1800 for opponent 2.
        k.OpponentStage.fill(0);
        k.AiAction = rus::kAiIdle;
        k.AiStamp = platform::TimeGetTime();
        Step(951);
        EXPECT_EQ(k.AiStamp == platform::TimeGetTime(), o == 1) << "thought";
    }
}

TEST_F(RusOpponent, OpponentZeroSometimesWaitsInsteadOfPouring) {
    CRusContest& k = Start(0);
    int waits = 0;
    for (int i = 0; i < 200; ++i) {
        k.AiAction = rus::kAiIdle;
        k.AiStamp = platform::TimeGetTime() - 3000;
        platform::Srand(static_cast<std::uint32_t>(i));
        const auto r = static_cast<std::uint32_t>(platform::Rand());
        platform::Srand(static_cast<std::uint32_t>(i));
        hl::AdvanceClock(1);
        const bool wait = r * platform::TimeGetTime() % 500 % 2 == 1;
        k.RunOpponentAi();
        EXPECT_EQ(k.AiAction == rus::kAiWait, wait) << i;
        EXPECT_EQ(k.AiStamp, platform::TimeGetTime());
        waits += wait;
    }
    EXPECT_GT(waits, 0);
}

TEST_F(RusOpponent, HandOverToTheCutInAndBack) {
    CRusContest& k = Start(4);
    Arm(40, true, true, 3, 221);
    k.OpponentGauge1 = k.OpponentGauge2 = 10;
    Step();
    ASSERT_EQ(k.AiAction, rus::kAiSpecial);
    EXPECT_EQ(k.OpponentSpecial, 0);
    EXPECT_EQ(k.HandToX, 504);
    EXPECT_EQ(k.HandToY, 140);
    for (int i = 0; i < 100 && k.State == RusState::Play; ++i)
        Step();
    ASSERT_EQ(k.State, RusState::OpponentCutIn);
    EXPECT_EQ(k.HandX, 504);
    k.RunCutInAtOnce();
    EXPECT_EQ(k.State, RusState::Play);
    EXPECT_EQ(k.OpponentPlates, 2);
    EXPECT_EQ(k.OpponentGauge1, 10);
    EXPECT_EQ(k.OpponentGauge2, 0);
    EXPECT_FALSE(k.OpponentGauge2Full);
    Step();
    EXPECT_NE(k.AiAction, rus::kAiSpecial) << "the second gauge must fill again";
}

class RusWholeContest : public ::testing::TestWithParam<int> {};

TEST_P(RusWholeContest, EndsInAWinOrALossWithInvariantsHeld) {
    hl::Reset();
    // Start a few minutes in, so the minute factor of the random recipes varies.
    hl::AdvanceClock(180000 + 7 * static_cast<std::uint32_t>(GetParam()));
    platform::Srand(100 + static_cast<std::uint32_t>(GetParam()));
    CRusContest c(static_cast<std::uint8_t>(GetParam()));
    // Odd opponents meet a quicker player who keeps its plates.
    const bool odd = GetParam() % 2 == 1;
    rus_test::AutoPlayer player(odd ? 6 : 12, odd ? 12 : 8,
                                odd ? rus_test::AutoPlayer::Specials::Keep
                                    : rus_test::AutoPlayer::Specials::Fire);
    int failures = 0;
    int opponentPours = 0, playerPours = 0, specials = 0;
    RusState last = RusState::Play;
    const std::uint64_t frames = rus_test::PlayContest(c, player, [&](const CRusContest& k) {
        if (::testing::Test::HasFailure()) {
            ++failures;
            return;
        }
        rus_test::CheckInvariants(k);
        if (k.State == RusState::Play)
            for (rus::Cue cue : k.Cues) {
                opponentPours += cue == rus::Cue::OpponentPour;
                playerPours += cue == rus::Cue::PlayerPour;
            }
        if (k.State != last &&
            (k.State == RusState::OpponentCutIn || k.State == RusState::PlayerCutIn))
            ++specials;
        last = k.State;
    });
    EXPECT_EQ(failures, 0);
    ASSERT_TRUE(c.State == RusState::Win || c.State == RusState::Lose);
    EXPECT_GT(frames, 1000u);
    EXPECT_GT(opponentPours, 20);
    EXPECT_GT(playerPours, 20);
    EXPECT_GT(specials, 0);
    if (c.PlayerLife > 0 && c.OpponentLife > 0) {
        EXPECT_EQ(c.TimeLeft, 0);
        const bool won = c.PlayerPlates > c.OpponentPlates ||
                         (c.PlayerPlates == c.OpponentPlates && c.PlayerLife > c.OpponentLife);
        EXPECT_EQ(c.State, won ? RusState::Win : RusState::Lose);
    } else {
        EXPECT_EQ(c.State, c.OpponentLife == 0 ? RusState::Win : RusState::Lose);
    }
    RecordProperty("result",
                   (c.State == RusState::Win ? "win, plates " : "loss, plates ") +
                       std::to_string(c.PlayerPlates) + ":" + std::to_string(c.OpponentPlates) +
                       ", lives " + std::to_string(c.PlayerLife) + ":" +
                       std::to_string(c.OpponentLife) + ", specials " + std::to_string(specials));
}

INSTANTIATE_TEST_SUITE_P(EachOpponent, RusWholeContest, ::testing::Range(0, 6));

} // namespace
