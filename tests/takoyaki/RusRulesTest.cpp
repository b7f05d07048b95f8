// The contest's cooking rules on the player's side: stages, burns, plates,
// the pour lock, gauges, the timer, timed effects, the pause, the verdict and
// the hand-over to and back from a special.
#include "RusAutoPlayer.h"

#include "app/Config.h"
#include "platform/headless/Headless.h"
#include "takoyaki/RusContest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

namespace hl = platform::headless;
using rus::Cue;
using rus::RusState;
using rus_test::Centre;
using rus_test::Point;

constexpr int kServe = 5, kThrow = 4, kPause = 6;

class RusRules : public ::testing::Test {
protected:
    void SetUp() override {
        hl::Reset();
        hl::AdvanceClock(1000);
        platform::Srand(11);
        c.Load();
        c.BeginPlay();
        // No opponent routine: these cases look at the player's side alone.
        c.Opponent = -1;
        c.PlayerHoleInterval.fill(4000);
        c.BasePlayerHoleInterval = c.PlayerHoleInterval;
    }

    // One 8 ms frame with the mouse resting at `p`.
    void Frame(Point p = {400, 300}, bool click = false, bool cancel = false) {
        hl::AdvanceClock(rus_test::kFrameMs);
        rus::PlayInput in{p.x, p.y, click, cancel};
        c.RunPlay(in);
        lastInput = in;
    }
    void ClickHole(int h) { Frame(Centre(c.PlayerHoleRect[h]), true); }
    void ClickButton(int b) { Frame(Centre(c.ButtonRect[b - 1]), true); }
    // Frames until the clock has moved `ms` on.
    void Wait(std::uint32_t ms) {
        for (std::uint32_t t = 0; t < ms; t += rus_test::kFrameMs)
            Frame();
    }
    // Advances the clock without a frame, then runs one frame at exactly
    // `ms` after `stamp`.
    void FrameAt(std::uint32_t stamp, std::uint32_t ms) {
        hl::AdvanceClock(stamp + ms - platform::TimeGetTime() - rus_test::kFrameMs);
        Frame();
    }
    bool Cued(Cue cue) const { return std::ranges::find(c.Cues, cue) != c.Cues.end(); }

    CRusContest c{0};
    rus::PlayInput lastInput;
};

TEST(RusLoad, IntervalsFollowTheRandomRecipeAndTheOpponentByteIsClamped) {
    hl::Reset();
    // At clock 0 every product is 0: every hole takes 4 s.
    CRusContest first(2);
    first.Load();
    for (std::uint32_t v : first.PlayerHoleInterval)
        EXPECT_EQ(v, 4000u);
    EXPECT_EQ(first.State, RusState::Ready);
    EXPECT_EQ(first.PlayerLife, 221);
    EXPECT_EQ(first.TimeLeft, 99);
    EXPECT_EQ(first.HandX, 460 + 116 + 24);
    EXPECT_EQ(first.HandY, 162 + 112 + 24);

    hl::AdvanceClock(12345);
    platform::Srand(5);
    std::array<std::uint32_t, 50> expected{};
    for (std::uint32_t k = 0; k < 50; ++k) {
        const auto r = static_cast<std::uint32_t>(platform::Rand());
        expected[k] = (r * 12345u * (k % 25 + 1) % 5 + 4) * 1000;
    }
    platform::Srand(5);
    CRusContest second(5);
    second.Load();
    for (int k = 0; k < 25; ++k) {
        EXPECT_EQ(second.PlayerHoleInterval[k], expected[k]) << k;
        EXPECT_EQ(second.OpponentHoleInterval[k], expected[25 + k]) << k;
    }
    EXPECT_EQ(second.BasePlayerHoleInterval, second.PlayerHoleInterval);

    // Past the last opponent the byte reads 6: the last opponent plays again.
    EXPECT_EQ(CRusContest(6).Opponent, 5);
    EXPECT_EQ(CRusContest(255).Opponent, 5);
    EXPECT_EQ(CRusContest(0).Opponent, 0);
    EXPECT_EQ(CRusContest(6).AiInterval[5], 1500u);
}

TEST_F(RusRules, StagesStepAfterMoreThanTheIntervalAndStopAtTheBurntStage) {
    ClickHole(0);
    ASSERT_EQ(c.PlayerStage[0], 1);
    EXPECT_TRUE(Cued(Cue::PlayerPour));
    const std::uint32_t poured = c.PlayerHoleStamp[0];
    FrameAt(poured, 4000);
    EXPECT_EQ(c.PlayerStage[0], 1) << "exactly the interval is not enough";
    Frame();
    EXPECT_EQ(c.PlayerStage[0], 2);
    Wait(2 * 4008);
    EXPECT_EQ(c.PlayerStage[0], 4);
    Wait(4008);
    EXPECT_EQ(c.PlayerStage[0], 5);
    EXPECT_EQ(c.PlayerLife, 221 - 6);
    Wait(3 * 4008);
    EXPECT_EQ(c.PlayerStage[0], 5);
    EXPECT_EQ(c.PlayerLife, 221 - 6) << "a burn is charged once";
}

TEST_F(RusRules, OctopusTurnServeAndPlates) {
    c.PlayerStage[3] = 4;
    ClickButton(2);
    EXPECT_EQ(c.PlayerTool, rus::kOctopus);
    EXPECT_EQ(c.PlayerToolButton, 1);
    ClickHole(3);
    EXPECT_EQ(c.PlayerStage[3], 6);
    EXPECT_EQ(c.PlayerKind[3], 1);
    // A pick on stage 6 turns the ball at once.
    Frame({0, 0}, false, true);
    EXPECT_EQ(c.PlayerTool, rus::kPick) << "the right button steps to the next tool";
    ClickHole(3);
    EXPECT_EQ(c.PlayerStage[3], 9);
    EXPECT_EQ(c.PlayerKind[3], 2);

    // Seven done balls served: one plate and one ball on the next.
    for (int ball = 1; ball <= 7; ++ball) {
        c.PlayerStage[ball] = 10;
        c.PlayerKind[ball] = 2;
        ClickHole(ball);
        ASSERT_EQ(c.PlayerHeld, rus::kGoodBall);
        EXPECT_EQ(c.PlayerStage[ball], 0);
        ClickHole(ball + 1);
        EXPECT_TRUE(lastInput.click) << "no hole can be used with a ball in hand";
        ClickButton(kThrow);
        EXPECT_EQ(c.PlayerHeld, rus::kGoodBall) << "a good ball can't be thrown away";
        ClickButton(kServe);
        EXPECT_EQ(c.PlayerHeld, rus::kEmptyHand);
        if (ball == 6) {
            EXPECT_EQ(c.PlayerPlates, 1);
            EXPECT_EQ(c.PlayerPlateCount, 0);
            EXPECT_TRUE(Cued(Cue::PlayerPlate));
        }
    }
    EXPECT_EQ(c.PlayerPlateCount, 1);
    EXPECT_EQ(c.PlayerPlate, (std::array<std::uint8_t, 6>{1, 0, 0, 0, 0, 0}));

    // Every third plate has its own line.
    c.PlayerPlates = 2;
    c.PlayerPlateCount = 5;
    c.PlayerStage[20] = 10;
    ClickHole(20);
    ClickButton(kServe);
    EXPECT_EQ(c.PlayerPlates, 3);
    EXPECT_TRUE(Cued(Cue::PlayerThirdPlate));
}

TEST_F(RusRules, BurntBallsAreThrownAwayAndChargedAgainOnlyAfterThat) {
    ClickButton(3);
    c.PlayerStage[4] = 7;
    c.PlayerKind[4] = 1;
    c.PlayerHoleStamp[4] = platform::TimeGetTime();
    Wait(4008);
    ASSERT_EQ(c.PlayerStage[4], 8);
    EXPECT_EQ(c.PlayerLife, 215);
    EXPECT_TRUE(c.PlayerBurnCounted[4]);
    ClickHole(4);
    EXPECT_EQ(c.PlayerHeld, rus::kBurntAt8);
    EXPECT_EQ(c.PlayerBurntFrom, 4);
    ClickButton(kServe);
    EXPECT_EQ(c.PlayerHeld, rus::kBurntAt8) << "a burnt ball can't be served";
    ClickButton(1);
    EXPECT_EQ(c.PlayerTool, rus::kPick) << "tools can't change with a ball in hand";
    ClickButton(kThrow);
    EXPECT_EQ(c.PlayerHeld, rus::kEmptyHand);
    EXPECT_FALSE(c.PlayerBurnCounted[4]);

    // Doubled cost, then immunity: a burn while immune is never charged.
    c.DoubleBurnCost = rus::kEffectActive;
    c.OpponentEffectStamp = platform::TimeGetTime();
    c.PlayerStage[4] = 11;
    c.PlayerKind[4] = 2;
    Frame();
    EXPECT_EQ(c.PlayerLife, 215 - 12);
    c.PlayerImmune = rus::kEffectActive;
    c.PlayerEffectStamp = platform::TimeGetTime();
    c.PlayerStage[5] = 5;
    Frame();
    EXPECT_EQ(c.PlayerLife, 203);
    EXPECT_TRUE(c.PlayerBurnCounted[5]);
    EXPECT_TRUE(Cued(Cue::PlayerBurn));
    c.PlayerImmune = 0;
    Frame();
    EXPECT_EQ(c.PlayerLife, 203);

    // A burn larger than the life left stops at 0; the loss is found next frame.
    c.PlayerLife = 4;
    c.PlayerStage[6] = 5;
    Frame();
    EXPECT_EQ(c.PlayerLife, 0);
    EXPECT_EQ(c.State, RusState::Play);
    Frame();
    EXPECT_EQ(c.State, RusState::Lose);
}

TEST_F(RusRules, PouringLocksTheToolsForMoreThan100Ms) {
    ClickButton(3);
    ClickButton(1);
    ClickHole(0);
    ASSERT_EQ(c.PlayerTool, rus::kPourLock);
    const std::uint32_t locked = c.PourLockStamp;
    ClickHole(1);
    EXPECT_EQ(c.PlayerStage[1], 0);
    EXPECT_FALSE(lastInput.click) << "the click is used up";
    Frame({0, 0}, false, true);
    EXPECT_EQ(c.PlayerTool, rus::kPourLock) << "the right button can't leave the lock";
    EXPECT_EQ(c.PlayerToolButton, 0);
    FrameAt(locked, 100);
    EXPECT_EQ(c.PlayerTool, rus::kPourLock);
    // The lock ends before the frame's clicks are taken: this one pours.
    ClickHole(1);
    EXPECT_EQ(c.PlayerStage[1], 1);
    EXPECT_EQ(c.PlayerTool, rus::kPourLock);
}

TEST_F(RusRules, GaugesFillEveryThreeSecondsAndStopAtTen) {
    // Steps come on the first 8 ms frame more than 3000 ms after the last:
    // every 3008 ms, so gauge 1 is full after 10 × 3008 = 30080 ms.
    const std::uint32_t start = c.PlayerGaugeStamp;
    Wait(3000);
    EXPECT_EQ(c.PlayerGauge1, 0);
    Frame();
    EXPECT_EQ(c.PlayerGauge1, 1);
    EXPECT_EQ(c.OpponentGauge1, 1);
    Wait(30080 - 8 - 3008);
    EXPECT_EQ(c.PlayerGauge1, 9);
    EXPECT_FALSE(c.PlayerGauge1Full);
    Frame();
    EXPECT_EQ(c.PlayerGauge1, 10);
    EXPECT_TRUE(c.PlayerGauge1Full);
    EXPECT_EQ(c.PlayerGauge2, 0);
    Wait(30080);
    EXPECT_EQ(platform::TimeGetTime(), start + 60160);
    EXPECT_EQ(c.PlayerGauge1, 10);
    EXPECT_EQ(c.PlayerGauge2, 10);
    EXPECT_TRUE(c.PlayerGauge2Full);
    EXPECT_TRUE(c.OpponentGauge2Full);
    Wait(10 * 3008);
    EXPECT_EQ(c.PlayerGauge2, 10);
    EXPECT_EQ(c.OpponentGauge1, 10);
    EXPECT_EQ(c.OpponentGauge2, 10);
}

TEST_F(RusRules, TimerCountsDownToTimeUpAndTheVerdict) {
    // The timer starts with play, not when the ready sequence starts.
    c.Load();
    hl::AdvanceClock(6200);
    c.BeginPlay();
    c.Opponent = -1;
    // 99 steps of 2504 ms at 8 ms frames.
    const std::uint32_t start = c.TimerStamp;
    EXPECT_EQ(start, platform::TimeGetTime());
    Wait(2504 - 8);
    EXPECT_EQ(c.TimeLeft, 99);
    Frame();
    EXPECT_EQ(c.TimeLeft, 98);
    Wait(97 * 2504);
    EXPECT_EQ(c.TimeLeft, 1);
    EXPECT_EQ(c.State, RusState::Play);
    Wait(2504 - 8);
    EXPECT_EQ(c.TimeLeft, 1);
    EXPECT_EQ(platform::TimeGetTime(), start + 99 * 2504 - 8);
    // The last step comes in a frame where the player clicks pause: the
    // time-up stands.
    hl::AdvanceClock(8);
    rus::PlayInput pause{Centre(c.ButtonRect[kPause - 1]).x, Centre(c.ButtonRect[kPause - 1]).y,
                         true, false};
    c.RunPlay(pause);
    EXPECT_EQ(c.TimeLeft, 0);
    EXPECT_EQ(c.State, RusState::Judge);
    EXPECT_TRUE(Cued(Cue::TimeUp));

    struct Case {
        std::int8_t playerPlates, opponentPlates;
        std::int32_t playerLife, opponentLife;
        RusState verdict;
    };
    for (const Case& k : {Case{3, 2, 10, 200, RusState::Win}, Case{2, 3, 200, 10, RusState::Lose},
                          Case{2, 2, 100, 100, RusState::Lose}, Case{2, 2, 101, 100, RusState::Win},
                          Case{0, 0, 99, 100, RusState::Lose}}) {
        c.State = RusState::Judge;
        c.PlayerPlates = k.playerPlates;
        c.OpponentPlates = k.opponentPlates;
        c.PlayerLife = k.playerLife;
        c.OpponentLife = k.opponentLife;
        c.Judge();
        EXPECT_EQ(c.State, k.verdict) << int(k.playerPlates) << " " << k.playerLife;
    }
    // A win marks the beaten flag and the first picture of the opponent's
    // gallery entry (bytes 403 + 21 × entry).
    const std::size_t seenByte[6] = {1117, 1222, 1306, 1159, 1243, 1285};
    for (int o = 0; o < 6; ++o) {
        std::vector<std::uint8_t> settings(kConfigSize);
        c.Opponent = static_cast<std::int8_t>(o);
        c.RecordWin(settings);
        EXPECT_EQ(settings[47 + o], 1);
        EXPECT_EQ(settings[seenByte[o]], 1);
        EXPECT_EQ(std::count(settings.begin(), settings.end(), 1), 2);
    }
    c.Opponent = 3;
    c.State = RusState::Win;
    EXPECT_EQ(c.GetOutcome().winner, 6);
    EXPECT_EQ(c.GetOutcome().loser, 3);
    c.State = RusState::Lose;
    EXPECT_EQ(c.GetOutcome().winner, 3);
    EXPECT_EQ(c.GetOutcome().loser, 6);
}

TEST_F(RusRules, ALifeAtZeroIsFinalWithinItsFrame) {
    // Time runs out and the player's life is gone in the same frame: lost.
    c.TimerStamp -= 2600;
    c.TimeLeft = 1;
    c.PlayerLife = 0;
    Frame();
    EXPECT_EQ(c.State, RusState::Lose);

    // Both lives at 0: won. A special clicked in that frame changes nothing.
    c.State = RusState::Play;
    c.OpponentLife = 0;
    c.PlayerGauge1Full = 1;
    c.PlayerPlates = 1;
    Frame(Centre(c.SpecialRect[0]), true);
    EXPECT_EQ(c.State, RusState::Win);

    // The opponent's hand reaching its special button does not take over either.
    c.State = RusState::Play;
    c.Opponent = 0;
    c.AiAction = rus::kAiSpecial;
    c.AiStep = 2;
    c.OpponentLife = 0;
    c.PlayerLife = 50;
    Frame();
    EXPECT_EQ(c.State, RusState::Win);
}

TEST_F(RusRules, SpecialsNeedTheirGaugeAndPlatesAndEndWithTheirPrice) {
    const Point special1 = Centre(c.SpecialRect[0]);
    const Point special2 = Centre(c.SpecialRect[1]);
    c.PlayerGauge1 = c.PlayerGauge2 = 10;
    c.PlayerGauge1Full = c.PlayerGauge2Full = 1;
    Frame(special1, true);
    EXPECT_EQ(c.HoverSpecial, 0) << "special 1 costs one plate";
    c.PlayerPlates = 1;
    Frame(special2, true);
    EXPECT_EQ(c.HoverSpecial, 0) << "special 2 costs two plates";
    EXPECT_EQ(c.State, RusState::Play);

    c.PlayerPlates = 3;
    c.PlayerStage[0] = 2;
    const std::uint32_t stepStamp = c.PlayerHoleStamp[0] = platform::TimeGetTime() - 3000;
    Frame(special2, true);
    ASSERT_EQ(c.State, RusState::PlayerCutIn);
    EXPECT_EQ(c.PlayerSpecial, 1);
    EXPECT_FALSE(lastInput.click);
    c.BeginCutIn();
    // Ten seconds of cut-in later the hole starts its interval again.
    hl::AdvanceClock(10000);
    c.PlayerHoleStamp[0] = 0;
    c.FinishCutIn(rus::Side::Player, 2, rus::GaugeReset::EmptyBoth);
    EXPECT_EQ(c.State, RusState::Play);
    EXPECT_EQ(c.PlayerPlates, 1);
    EXPECT_EQ(c.PlayerGauge1, 0);
    EXPECT_EQ(c.PlayerGauge2, 0);
    EXPECT_FALSE(c.PlayerGauge1Full);
    EXPECT_NE(c.PlayerHoleStamp[0], stepStamp);
    EXPECT_EQ(c.PlayerHoleStamp[0], platform::TimeGetTime());
    EXPECT_EQ(c.PlayerGaugeStamp, platform::TimeGetTime());
    EXPECT_EQ(c.PlayerStage[0], 2);

    // A one-plate special keeps gauge 2's progress as gauge 1; a full one
    // is usable again only once the next gauge step lights its flag.
    c.PlayerGauge1 = 10;
    c.PlayerGauge2 = 10;
    c.PlayerGauge1Full = c.PlayerGauge2Full = 1;
    c.State = RusState::PlayerCutIn;
    c.PlayerSpecial = 0;
    c.RunCutInAtOnce();
    EXPECT_EQ(c.PlayerPlates, 0);
    EXPECT_EQ(c.PlayerGauge1, 10);
    EXPECT_FALSE(c.PlayerGauge1Full);
    EXPECT_EQ(c.PlayerGauge2, 0);
    EXPECT_FALSE(c.PlayerGauge2Full);
    Wait(3000);
    EXPECT_FALSE(c.PlayerGauge1Full);
    Frame();
    EXPECT_EQ(c.PlayerGauge1, 10);
    EXPECT_TRUE(c.PlayerGauge1Full);
    EXPECT_EQ(c.PlayerGauge2, 0);
    // A two-plate special with one plate served leaves none, not −1.
    c.OpponentPlates = 1;
    c.OpponentGauge1 = 10;
    c.OpponentGauge2 = 4;
    c.State = RusState::OpponentCutIn;
    c.OpponentSpecial = 1;
    c.RunCutInAtOnce();
    EXPECT_EQ(c.OpponentPlates, 0);
    EXPECT_EQ(c.OpponentGauge1, 0);
    EXPECT_EQ(c.AiStamp, platform::TimeGetTime());
}

TEST_F(RusRules, EffectsRunTheirSpanThenFadeForFiveSeconds) {
    const std::uint32_t on = platform::TimeGetTime();
    c.NoBurn = rus::kEffectActive;
    c.NoBurnStamp = on;
    c.PlayerHoleInterval.fill(1000); // shortened by the special that set it
    c.PlayerHolesCovered = c.SlowCooking = rus::kEffectActive;
    c.PlayerMarkersHidden = rus::kEffectActive;
    c.OpponentEffectStamp = on;
    c.PlayerHoleCovered[7] = 1;
    FrameAt(on, 15000);
    EXPECT_EQ(c.NoBurn, rus::kEffectActive);
    Frame();
    EXPECT_EQ(c.NoBurn, rus::kEffectFading);
    EXPECT_EQ(c.SlowCooking, rus::kEffectFading);
    EXPECT_EQ(c.PlayerHolesCovered, rus::kEffectFading);
    EXPECT_EQ(c.PlayerMarkersHidden, rus::kEffectActive) << "this one lasts 20 s";
    const std::uint32_t fading = c.NoBurnFadeStamp;
    EXPECT_EQ(fading, on + 15008);
    // The fading overlay pulses as |254 cos a|, a = elapsed × 720 / 5000.
    const std::uint32_t now = platform::TimeGetTime();
    EXPECT_EQ(c.EffectOpacity(rus::kEffectActive, 0), 254);
    EXPECT_EQ(c.EffectOpacity(rus::kEffectFading, now), 254);
    EXPECT_EQ(c.EffectOpacity(rus::kEffectFading, now - 416), 130);  // cos 59°
    EXPECT_EQ(c.EffectOpacity(rus::kEffectFading, now - 625), 0);    // cos 90°
    EXPECT_EQ(c.EffectOpacity(rus::kEffectFading, now - 1250), 254); // cos 180°
    EXPECT_EQ(c.EffectOpacity(rus::kEffectFading, now - 5000), 0);
    EXPECT_EQ(c.EffectOpacity(rus::kEffectOff, now), 0);
    ClickHole(7);
    EXPECT_EQ(c.PlayerStage[7], 0) << "a covered hole can't be used while fading";
    // At 20 s the markers start fading too, and their fade restarts the fade
    // stamp the effects switched on with them share.
    FrameAt(fading, 4999);
    EXPECT_EQ(c.NoBurn, rus::kEffectFading);
    EXPECT_EQ(c.PlayerMarkersHidden, rus::kEffectFading);
    EXPECT_EQ(c.OpponentEffectFadeStamp, platform::TimeGetTime());
    Frame();
    EXPECT_EQ(c.NoBurn, rus::kEffectOff);
    EXPECT_EQ(c.PlayerHoleInterval, c.BasePlayerHoleInterval);
    EXPECT_EQ(c.SlowCooking, rus::kEffectFading);
    FrameAt(c.OpponentEffectFadeStamp, 4999);
    EXPECT_EQ(c.PlayerHoleCovered[7], 1);
    Frame();
    EXPECT_EQ(c.SlowCooking, rus::kEffectOff);
    EXPECT_EQ(c.PlayerHolesCovered, rus::kEffectOff);
    EXPECT_EQ(c.PlayerMarkersHidden, rus::kEffectOff);
    EXPECT_EQ(c.PlayerHoleCovered[7], 0);
    ClickHole(7);
    EXPECT_EQ(c.PlayerStage[7], 1);
}

TEST_F(RusRules, SlowCookingDoublesAndNoBurnStopsBeforeBurning) {
    c.SlowCooking = rus::kEffectActive;
    c.OpponentEffectStamp = platform::TimeGetTime();
    c.PlayerStage[0] = 1;
    const std::uint32_t stamp = c.PlayerHoleStamp[0] = platform::TimeGetTime();
    FrameAt(stamp, 8000);
    EXPECT_EQ(c.PlayerStage[0], 1);
    Frame();
    EXPECT_EQ(c.PlayerStage[0], 2);
    c.SlowCooking = 0;

    // Under the no-burn effect a burnt ball steps back to its ready stage.
    c.NoBurn = rus::kEffectActive;
    c.NoBurnStamp = platform::TimeGetTime();
    c.PlayerStage[0] = 11;
    c.PlayerKind[0] = 2;
    c.PlayerBurnCounted[0] = 1;
    c.PlayerStage[1] = 3;
    c.PlayerHoleStamp[0] = c.PlayerHoleStamp[1] = platform::TimeGetTime();
    Wait(4008);
    EXPECT_EQ(c.PlayerStage[0], 10);
    EXPECT_EQ(c.PlayerStage[1], 4);
    Wait(4008);
    EXPECT_EQ(c.PlayerStage[1], 4);
    EXPECT_EQ(c.PlayerLife, 221);

    // That ball is served and new batter goes into its hole: when the batter
    // burns after the effect, it is charged.
    ClickButton(3);
    ClickHole(0);
    ClickButton(kServe);
    ClickButton(1);
    ClickHole(0);
    ASSERT_EQ(c.PlayerStage[0], 1);
    EXPECT_FALSE(c.PlayerBurnCounted[0]);
    c.NoBurn = 0;
    c.PlayerStage[1] = 0;
    c.PlayerStage[0] = 4;
    c.PlayerHoleStamp[0] = platform::TimeGetTime();
    Wait(4008);
    EXPECT_EQ(c.PlayerStage[0], 5);
    EXPECT_EQ(c.PlayerLife, 221 - 6);
}

TEST_F(RusRules, LockedPlayerAndThePauseDialog) {
    // The lock clears last frame's hover too.
    Frame(Centre(c.PlayerHoleRect[0]));
    ASSERT_EQ(c.HoverHole, 1);
    c.PlayerLocked = rus::kEffectActive;
    c.OpponentEffectStamp = platform::TimeGetTime();
    ClickHole(0);
    EXPECT_EQ(c.PlayerStage[0], 0);
    EXPECT_EQ(c.HoverHole, 0);
    EXPECT_EQ(c.PrevHoverHole, 0);
    ClickButton(kPause);
    EXPECT_EQ(c.State, RusState::Play);
    Frame({0, 0}, false, true);
    EXPECT_EQ(c.PlayerTool, rus::kBatter);
    c.PlayerLocked = 0;
    // So does a special hovered as the lock starts: a click during the lock
    // does not fire it.
    const Point special1 = Centre(c.SpecialRect[0]);
    c.PlayerGauge1 = 10;
    c.PlayerGauge1Full = 1;
    c.PlayerPlates = 1;
    Frame(special1);
    ASSERT_EQ(c.HoverSpecial, 1);
    c.PlayerLocked = rus::kEffectActive;
    Frame(special1, true);
    EXPECT_EQ(c.State, RusState::Play);
    EXPECT_EQ(c.HoverSpecial, 0);
    EXPECT_EQ(c.PrevHoverSpecial, 0);
    c.PlayerLocked = 0;

    // Pausing restarts each running stage interval, gauge and timer step.
    c.PlayerStage[2] = 1;
    c.PlayerHoleStamp[2] = platform::TimeGetTime() - 3000;
    c.TimerStamp = platform::TimeGetTime() - 2000;
    ClickButton(kPause);
    ASSERT_EQ(c.State, RusState::Pause);
    EXPECT_EQ(c.DialogYesRect.left, 363);
    EXPECT_EQ(c.DialogNoRect.right, 505);
    hl::AdvanceClock(60000);
    c.AnswerPause(rus::PauseAnswer::Resume);
    EXPECT_EQ(c.State, RusState::Play);
    const std::uint32_t resumed = platform::TimeGetTime();
    FrameAt(resumed, 2500);
    EXPECT_EQ(c.TimeLeft, 99);
    FrameAt(resumed, 4000);
    EXPECT_EQ(c.PlayerStage[2], 1);
    Frame();
    EXPECT_EQ(c.PlayerStage[2], 2);
    EXPECT_EQ(c.TimeLeft, 98);
    c.AnswerPause(rus::PauseAnswer::Quit);
    EXPECT_EQ(c.State, RusState::Quit);
}

} // namespace
