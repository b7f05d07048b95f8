// The deal and the turn loop of both dealer twins, the call answers and the
// cut-in steps, with hands set up by hand.
#include "MahjongTestSupport.h"
#include "TestSupport.h"
#include "mahjong/MahjongGame.h"

#include <algorithm>
#include <set>

namespace {

namespace st = mahjong_state;
using mahjong_test::HandOfKinds;
using mahjong_test::TileOf;
using Step = MahjongTurnStep;

class MahjongTurnTest : public testing_support::HeadlessTest {
protected:
    CMahjongGame game;

    // A dealt game against heroine 7 (who never lapses) with the given dealer.
    void Table(MahjongDealer dealer, std::uint32_t seed = 5) {
        platform::Srand(seed);
        game.StartMatch(7);
        game.PlayerDeals = dealer == MahjongDealer::Player ? 1 : 0;
        game.DealAll();
    }
    MahjongDealer Dealer() const {
        return game.PlayerDeals ? MahjongDealer::Player : MahjongDealer::Cpu;
    }
    void At(Step step) {
        game.State = st::kTurns;
        game.SubStep = TurnStepNumber(step, Dealer());
    }
    Step Now() const { return game.CurrentTurnStep().value(); }
    void Run(bool pauseOver = false, int slot = -1) { game.RunTurnRules({pauseOver, slot}); }
    void NextWallTile(int kind, int copy) { g_mahjongWall[game.WallPos] = TileOf(kind, copy); }
    int Count(MahjongEventKind kind) const {
        return static_cast<int>(std::count_if(game.Log.begin(), game.Log.end(),
                                              [&](auto& e) { return e.kind == kind; }));
    }
};

TEST(MahjongTurnSteps, TheTwinsNumberTheSameStepsDifferently) {
    EXPECT_EQ(TurnStepNumber(Step::DiscardChoice, MahjongDealer::Player), 0);
    EXPECT_EQ(TurnStepNumber(Step::DiscardChoice, MahjongDealer::Cpu), 6);
    EXPECT_EQ(TurnStepNumber(Step::PauseBeforeCpuDecides, MahjongDealer::Cpu), 0);
    EXPECT_EQ(TurnStepNumber(Step::CpuDiscards, MahjongDealer::Player), 7);
    EXPECT_EQ(TurnStepNumber(Step::CpuDiscards, MahjongDealer::Cpu), 2);
    EXPECT_EQ(TurnStepNumber(Step::PlayerDraws, MahjongDealer::Cpu), 5);
    for (auto dealer : {MahjongDealer::Player, MahjongDealer::Cpu}) {
        std::set<int> numbers;
        for (int s = 0; s < kMahjongTurnSteps; ++s) {
            const auto step = static_cast<Step>(s);
            numbers.insert(TurnStepNumber(step, dealer));
            EXPECT_EQ(TurnStepOf(TurnStepNumber(step, dealer), dealer), step);
        }
        EXPECT_EQ(numbers.size(), 13u);
        EXPECT_FALSE(TurnStepOf(13, dealer).has_value());
        EXPECT_FALSE(TurnStepOf(255, dealer).has_value());
    }
}

TEST_F(MahjongTurnTest, MatchStartClampsTheOpponentAndLetsTheHeroineDeal) {
    game.PlayerDeals = 1; // the last game of an earlier match went to the player
    game.StartMatch(200);
    EXPECT_EQ(game.Opponent, 7);
    EXPECT_EQ(game.CpuPoints, 15000);
    EXPECT_EQ(game.PlayerPoints, 10000);
    EXPECT_EQ(game.PlayerDeals, 0u);
    EXPECT_EQ(game.State, st::kDeal);
    game.StartMatch(4);
    EXPECT_EQ(game.Opponent, 4);
    EXPECT_EQ(game.CpuPoints, 10000);
    game.StartMatch(1);
    EXPECT_EQ(game.CpuPoints, 3000);
}

TEST_F(MahjongTurnTest, DealGivesPairsInTurnAndTheNinthToTheDealer) {
    for (auto dealer : {MahjongDealer::Player, MahjongDealer::Cpu}) {
        SCOPED_TRACE(static_cast<int>(dealer));
        Table(dealer);
        EXPECT_EQ(game.WallPos, 17);
        EXPECT_EQ(game.DealStep, 8);
        EXPECT_EQ(game.State, st::kTurns);
        EXPECT_EQ(game.SubStep, 0);
        EXPECT_EQ(Now(), dealer == MahjongDealer::Player ? Step::DiscardChoice
                                                         : Step::PauseBeforeCpuDecides);
        const auto dealerSide =
            dealer == MahjongDealer::Player ? MahjongSide::Player : MahjongSide::Cpu;
        // Wall tiles 0..15 go two at a time, the dealer first; 16 is the ninth.
        std::vector<MahjongEvent> deals;
        for (const MahjongEvent& e : game.Log)
            if (e.kind == MahjongEventKind::Deal) deals.push_back(e);
        ASSERT_EQ(deals.size(), 17u);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(deals[static_cast<std::size_t>(i)].a,
                      g_mahjongWall[static_cast<std::size_t>(i)].Id);
            EXPECT_EQ(deals[static_cast<std::size_t>(i)].side == dealerSide, (i / 2) % 2 == 0) << i;
            EXPECT_EQ(deals[static_cast<std::size_t>(i)].b, (i / 4) * 2 + i % 2) << i;
        }
        EXPECT_EQ(deals[16].side, dealerSide);
        const MahjongHand& dealerHand =
            dealer == MahjongDealer::Player ? g_mahjongPlayerHand : g_mahjongCpuHand;
        const MahjongHand& otherHand =
            dealer == MahjongDealer::Player ? g_mahjongCpuHand : g_mahjongPlayerHand;
        EXPECT_EQ(dealerHand[8], g_mahjongWall[16]);
        EXPECT_EQ(otherHand[8], MahjongTile{});
        for (const MahjongHand* h : {&g_mahjongPlayerHand, &g_mahjongCpuHand})
            EXPECT_TRUE(std::is_sorted(h->begin(), h->begin() + 8,
                                       [](auto& a, auto& b) { return a.Kind < b.Kind; }));
        EXPECT_EQ(game.Rects[11].left, 80);
        EXPECT_EQ(game.Rects[18].right, 147 + 67 * 7);
        EXPECT_EQ(game.Rects[19].bottom, 597);
    }
}

TEST_F(MahjongTurnTest, ReadyIsWorkedOutAgainAfterEveryDrawOutsideRiichi) {
    Table(MahjongDealer::Player);
    // 3+3+2+1: ready on the pair (kind 9).
    g_mahjongPlayerHand = HandOfKinds({1, 1, 1, 4, 4, 4, 9, 9, 12});
    game.CheckPlayerHand(platform::WindowHandle::None);
    EXPECT_EQ(game.PlayerReady, 1);
    EXPECT_EQ(game.PlayerWait, 9);
    // A discard broke the shape: the next draw finds the hand not ready.
    g_mahjongPlayerHand = HandOfKinds({1, 1, 1, 4, 4, 9, 9, 12, 13});
    game.CheckPlayerHand(platform::WindowHandle::None);
    EXPECT_EQ(game.PlayerReady, 0);
    // Ready again on another wait: 4+3+2 waits on the pair's kind 3.
    g_mahjongPlayerHand = HandOfKinds({1, 1, 1, 1, 3, 3, 9, 9, 9});
    game.CheckPlayerHand(platform::WindowHandle::None);
    EXPECT_EQ(game.PlayerReady, 1);
    EXPECT_EQ(game.PlayerWait, 3);
    // In riichi the wait stays whatever is drawn.
    game.PlayerRiichi = 1;
    g_mahjongPlayerHand = HandOfKinds({1, 1, 1, 3, 3, 9, 9, 9, 14});
    game.CheckPlayerHand(platform::WindowHandle::None);
    EXPECT_EQ(game.PlayerReady, 1);
    EXPECT_EQ(game.PlayerWait, 3);
    EXPECT_EQ(game.PlayerComplete, 0);
}

TEST_F(MahjongTurnTest, RonIsOfferedOnlyForAHandTheDiscardCompletes) {
    Table(MahjongDealer::Player);
    // A wait left from an earlier shape: kind 5 does not complete these tiles
    // although they are all low (a combination) and the flags say ready.
    g_mahjongPlayerHand = HandOfKinds({0, 0, 1, 1, 2, 3, 5, 5});
    game.PlayerReady = 1;
    game.PlayerWait = 5;
    game.CpuDiscardCount = 1;
    g_mahjongCpuDiscards[0] = TileOf(5, 3);
    At(Step::RonOffer);
    ASSERT_TRUE(game.HasYaku());
    Run();
    EXPECT_EQ(game.State, st::kTurns);
    EXPECT_EQ(Now(), Step::PauseBeforePlayerDraw);
    EXPECT_EQ(Count(MahjongEventKind::Offer), 0);
    // The same wait on 0,0,0 1,1,1 5,5 is a win: the offer opens.
    g_mahjongPlayerHand = HandOfKinds({0, 0, 0, 1, 1, 1, 5, 5});
    At(Step::RonOffer);
    Run();
    EXPECT_EQ(game.State, st::kRonMenu);
    EXPECT_EQ(game.SavedSubStep, 8);
    EXPECT_EQ(game.CallOffered, 1);
    // Declined, the loop comes back to the same step and does not ask again.
    game.AnswerCall(MahjongAnswer::No);
    EXPECT_EQ(game.State, st::kTurns);
    EXPECT_EQ(Now(), Step::RonOffer);
    Run();
    EXPECT_EQ(Now(), Step::PauseBeforePlayerDraw);
    // Accepted, the discard joins the hand.
    game.CallOffered = 0;
    At(Step::RonOffer);
    Run();
    game.AnswerCall(MahjongAnswer::Yes);
    EXPECT_EQ(game.State, st::kPlayerRon);
    game.ConfirmWin();
    EXPECT_EQ(game.State, st::kWinResult);
    EXPECT_EQ(game.PlayerTsumo, 0);
    EXPECT_EQ(g_mahjongPlayerHand[8], TileOf(5, 3));
}

TEST_F(MahjongTurnTest, RiichiDiscardsForThePlayerAndThenPlaysTheHand) {
    for (auto dealer : {MahjongDealer::Player, MahjongDealer::Cpu}) {
        SCOPED_TRACE(static_cast<int>(dealer));
        Table(dealer);
        game.CpuDiscardCount = 3;
        g_mahjongPlayerHand = HandOfKinds({2, 2, 2, 6, 6, 11, 11, 11, 14});
        game.CheckPlayerHand(platform::WindowHandle::None);
        At(Step::DiscardChoice);
        Run(false, 0); // the offer comes before any click
        ASSERT_EQ(game.State, st::kRiichiMenu);
        EXPECT_EQ(game.SavedSubStep, TurnStepNumber(Step::DiscardChoice, Dealer()));
        game.AnswerCall(MahjongAnswer::Yes);
        EXPECT_EQ(game.RiichiDeclared, 1);
        EXPECT_EQ(game.PlayerRiichiTurns, 3);
        game.FinishPlayerRiichi();
        EXPECT_EQ(game.State, st::kTurns);
        EXPECT_EQ(Now(), Step::AfterPlayerDiscard);
        EXPECT_EQ(g_mahjongPlayerDiscards[0].Kind, 14); // the single went
        EXPECT_EQ(game.PlayerDiscardCount, 1);
        EXPECT_EQ(game.WallPos, 18);
        Run();
        EXPECT_EQ(game.PlayerRiichiTurns, 2);

        // A drawn tile other than the wait goes after the pause, unasked.
        At(Step::PlayerDraws);
        NextWallTile(13, 0);
        Run();
        EXPECT_EQ(game.PlayerRiichiTurns, 1);
        EXPECT_EQ(Now(), Step::DiscardChoice);
        Run(false, 3); // clicks are not taken in riichi
        EXPECT_EQ(Now(), Step::RiichiDiscard);
        Run(false);
        EXPECT_EQ(game.PlayerDiscardCount, 1);
        Run(true);
        EXPECT_EQ(g_mahjongPlayerDiscards[1], TileOf(13, 0));
        EXPECT_EQ(Now(), Step::AfterPlayerDiscard);

        // The wait wins at once, without the tsumo menu.
        At(Step::PlayerDraws);
        NextWallTile(6, 2);
        Run();
        Run();
        EXPECT_EQ(game.State, st::kPlayerTsumo);
        game.ConfirmWin();
        EXPECT_EQ(game.State, st::kWinResult);
        EXPECT_EQ(game.PlayerTsumo, 1);
    }
}

TEST_F(MahjongTurnTest, RiichiAnswersNoAndRightClick) {
    Table(MahjongDealer::Player);
    g_mahjongPlayerHand = HandOfKinds({2, 2, 2, 6, 6, 11, 11, 11, 14});
    game.CheckPlayerHand(platform::WindowHandle::None);
    At(Step::DiscardChoice);
    Run();
    game.AnswerCall(MahjongAnswer::Cancel);
    EXPECT_EQ(game.State, st::kTurns);
    EXPECT_EQ(game.PlayerReady, 1); // the offer returns after the next draw
    Run();
    EXPECT_EQ(game.State, st::kTurns); // but not for this discard
    game.CallOffered = 0;
    Run();
    ASSERT_EQ(game.State, st::kRiichiMenu);
    game.AnswerCall(MahjongAnswer::No);
    EXPECT_EQ(game.PlayerReady, 0);
    EXPECT_EQ(game.RiichiDeclared, 0);
    Run(false, 8);
    EXPECT_EQ(g_mahjongPlayerDiscards[0], TileOf(14, 0));
    EXPECT_EQ(Now(), Step::AfterPlayerDiscard);
}

TEST_F(MahjongTurnTest, TsumoDeclinedReturnsToTheDiscardChoiceInBothTwins) {
    for (auto dealer : {MahjongDealer::Player, MahjongDealer::Cpu}) {
        SCOPED_TRACE(static_cast<int>(dealer));
        Table(dealer);
        g_mahjongPlayerHand = HandOfKinds({3, 3, 3, 7, 7, 7, 10, 10});
        At(Step::PlayerDraws);
        NextWallTile(10, 5);
        Run();
        ASSERT_EQ(game.State, st::kTsumoMenu);
        EXPECT_EQ(game.PlayerComplete, 1);
        game.AnswerCall(MahjongAnswer::No);
        EXPECT_EQ(game.State, st::kTurns);
        EXPECT_EQ(Now(), Step::DiscardChoice);
        EXPECT_EQ(game.PlayerComplete, 0);
    }
}

TEST_F(MahjongTurnTest, HeroineRiichiCountdownAndRonOnTheNextDiscard) {
    Table(MahjongDealer::Cpu);
    g_mahjongCpuHand = HandOfKinds({0, 5, 5, 5, 9, 9, 9, 12, 12});
    At(Step::CpuDecides);
    Run();
    EXPECT_EQ(game.CpuReady, 1);
    EXPECT_EQ(game.CpuWait, 12);
    ASSERT_EQ(game.State, st::kCpuRiichi);
    EXPECT_EQ(Now(), Step::CpuDecides); // the cut-in keeps the loop's step
    game.StartCpuRiichi();
    EXPECT_EQ(game.CpuRiichiTurns, 2);
    game.EndCpuRiichi();
    EXPECT_EQ(Now(), Step::CpuDiscards);
    Run();
    EXPECT_EQ(g_mahjongCpuDiscards[0].Kind, 0);
    EXPECT_EQ(game.CpuRiichiTurns, 1);
    // The player discards her wait kind.
    g_mahjongPlayerHand = HandOfKinds({1, 1, 2, 2, 3, 3, 4, 4, 12});
    At(Step::DiscardChoice);
    Run(false, 8);
    Run();
    ASSERT_EQ(game.State, st::kCpuRon);
    game.ConfirmWin();
    EXPECT_EQ(game.State, st::kLossResult);
    EXPECT_EQ(g_mahjongCpuHand[8], g_mahjongPlayerDiscards[0]);
    game.ScoreGame();
    EXPECT_EQ(g_mahjongYakuFlags[0], 0);
    EXPECT_EQ(g_mahjongYakuFlags[1], 1); // countdown still above 0
    EXPECT_EQ(g_mahjongYakuFlags[2], 1);
    EXPECT_EQ(g_mahjongYakuFlags[9], 1); // (5, 9, 12)
    EXPECT_EQ(game.YakuTotal, 1000 + 1000 + 3000);
}

TEST_F(MahjongTurnTest, HeroineStopsThinkingAfterTwentyEightDiscards) {
    Table(MahjongDealer::Player);
    game.CpuDiscardCount = 28;
    game.CpuReady = 1;
    game.CpuRiichi = 1;
    game.CpuWait = 4;
    g_mahjongCpuHand = HandOfKinds({1, 1, 1, 4, 4, 8, 8, 8});
    g_mahjongPlayerHand = HandOfKinds({0, 2, 3, 5, 6, 7, 9, 10, 4});
    At(Step::DiscardChoice);
    Run(false, 8);
    Run();
    EXPECT_EQ(game.State, st::kTurns);
    EXPECT_EQ(Now(), Step::PauseBeforeCpuDraw);
    // Her complete hand is not seen: the drawn tile goes.
    Run(true);
    NextWallTile(4, 7);
    Run();
    Run(true);
    Run();
    EXPECT_EQ(Now(), Step::CpuDiscards);
    Run();
    EXPECT_EQ(g_mahjongCpuDiscards[28], TileOf(4, 7));
    // The 30th discard of the heroine (she does not deal) ends the game.
    EXPECT_EQ(Now(), Step::RonOffer);
    At(Step::CpuDiscards);
    Run();
    EXPECT_EQ(game.CpuDiscardCount, 30);
    EXPECT_EQ(Now(), Step::ExhaustiveDraw);
    Run();
    EXPECT_EQ(game.State, st::kExhaustiveDraw);
    game.ConfirmExhaustiveDraw();
    EXPECT_EQ(game.State, st::kDeal);
    EXPECT_EQ(game.PlayerDeals, 1u); // the dealer stays
}

TEST_F(MahjongTurnTest, PausesWaitAndRecordTheirStart) {
    Table(MahjongDealer::Cpu);
    EXPECT_EQ(Now(), Step::PauseBeforeCpuDecides);
    platform::headless::AdvanceClock(300);
    Run(false);
    EXPECT_EQ(Now(), Step::PauseBeforeCpuDecides);
    Run(true);
    EXPECT_EQ(Now(), Step::CpuDecides);
    At(Step::CpuDiscards);
    Run();
    Run(); // no ron: the pause before the player's draw starts now
    EXPECT_EQ(Now(), Step::PauseBeforePlayerDraw);
    EXPECT_EQ(game.StartTime, 300u);
    platform::headless::AdvanceClock(500);
    Run(true);
    Run();
    EXPECT_EQ(game.IdleSince, 800u);
}

} // namespace

namespace {

// The runtime's recurrence, written out to know what rand gives after Srand.
int FirstRand(std::uint32_t seed) {
    return static_cast<int>(((seed * 214013u + 2531011u) >> 16) & 0x7FFF);
}

TEST_F(MahjongTurnTest, HeroineLapsesByRandTimesClockTimesMinute) {
    Table(MahjongDealer::Player);
    game.Opponent = 1; // lapses when the product is odd
    // 61001 ms: an odd clock in minute 1, so the product's parity is rand's.
    platform::headless::AdvanceClock(61001 - platform::TimeGetTime());
    const MahjongHand unsorted = HandOfKinds({9, 1, 4, 9, 6, 1, 9, 4, 0});
    for (bool odd : {true, false}) {
        std::uint32_t seed = 0;
        while ((FirstRand(seed) % 2 == 1) != odd)
            ++seed;
        platform::Srand(seed);
        g_mahjongCpuHand = unsorted;
        game.CpuTriplets = 2;
        game.PlayCpuTurn(platform::WindowHandle::None);
        if (odd) {
            EXPECT_EQ(g_mahjongCpuHand, unsorted); // nothing sorted, the drawn tile goes
            EXPECT_EQ(game.CpuTriplets, 2);
        } else {
            EXPECT_EQ(g_mahjongCpuHand[8].Kind, 0);
            EXPECT_EQ(game.CpuTriplets, 0);
        }
    }
    // In minute 0 the product is 0: heroine 0 (lapses on 1 mod 3) never does.
    platform::headless::Reset();
    game.Opponent = 0;
    platform::Srand(12345);
    g_mahjongCpuHand = unsorted;
    game.PlayCpuTurn(platform::WindowHandle::None);
    EXPECT_EQ(g_mahjongCpuHand[8].Kind, 0);
    // Once ready she never lapses.
    platform::headless::AdvanceClock(61001);
    game.Opponent = 1;
    game.CpuReady = 1;
    for (std::uint32_t seed = 0; seed < 8; ++seed) {
        platform::Srand(seed);
        g_mahjongCpuHand = unsorted;
        game.PlayCpuTurn(platform::WindowHandle::None);
        EXPECT_EQ(g_mahjongCpuHand[8].Kind, 0) << seed;
    }
}

TEST_F(MahjongTurnTest, NoWinIsTakenWithTilesThatAreNotThreeTriplets) {
    // In riichi with a wait left from another shape: drawing the wait kind
    // does not win, the tile is discarded as any other.
    Table(MahjongDealer::Player);
    game.RiichiDeclared = game.PlayerRiichi = game.PlayerReady = 1;
    game.PlayerWait = 6;
    g_mahjongPlayerHand = HandOfKinds({2, 2, 2, 6, 11, 11, 11, 14, 6});
    At(Step::DiscardChoice);
    Run();
    EXPECT_EQ(game.State, st::kTurns);
    EXPECT_EQ(Now(), Step::RiichiDiscard);
    // The heroine's ron likewise wants her eight tiles and the discard to be
    // three triplets.
    game.CpuReady = 1;
    game.CpuRiichi = 1;
    game.CpuWait = 3;
    g_mahjongCpuHand = HandOfKinds({0, 0, 0, 3, 3, 4, 4, 5});
    g_mahjongPlayerHand = HandOfKinds({1, 1, 7, 7, 8, 8, 9, 9, 3});
    game.RiichiDeclared = game.PlayerRiichi = game.PlayerReady = 0;
    At(Step::DiscardChoice);
    Run(false, 8);
    Run();
    EXPECT_EQ(game.State, st::kTurns);
    EXPECT_EQ(Now(), Step::PauseBeforeCpuDraw);
    g_mahjongCpuHand = HandOfKinds({0, 0, 0, 3, 3, 5, 5, 5});
    g_mahjongPlayerHand = HandOfKinds({1, 1, 7, 7, 8, 8, 9, 9, 3}, 4);
    At(Step::DiscardChoice);
    Run(false, 8);
    Run();
    EXPECT_EQ(game.State, st::kCpuRon);
}

TEST_F(MahjongTurnTest, ResultClicksEndEvenWhenTheCountAndFlagsDisagree) {
    game.StartMatch(2);
    game.State = st::kWinResult;
    g_mahjongYakuFlags.fill(0);
    g_mahjongYakuFlags[30] = 1;
    game.YakuCount = 3; // more strips than flags
    game.YakuTotal = 12000;
    game.TotalShown = 0;
    game.StripsShown = 0;
    game.YakuCursor = 0;
    EXPECT_EQ(game.AdvanceResult().flag, 30);
    EXPECT_EQ(game.YakuCursor, 31);
    EXPECT_EQ(game.AdvanceResult().kind, MahjongResultItem::Kind::Total);
    EXPECT_EQ(game.AdvanceResult().kind, MahjongResultItem::Kind::Settled);
    EXPECT_EQ(game.PlayerPoints, 22000);
    EXPECT_EQ(game.CpuPoints, 0);
}

} // namespace

namespace {

TEST_F(MahjongTurnTest, StepsEnteredOutOfTurnReadNoDiscardThatIsNotThere) {
    Table(MahjongDealer::Player);
    // Ready on kind 0 (an empty discard record reads as kind 0) before any discard.
    game.PlayerReady = game.CpuReady = 1;
    game.PlayerWait = game.CpuWait = 0;
    At(Step::RonOffer);
    Run();
    EXPECT_EQ(Now(), Step::PauseBeforePlayerDraw);
    At(Step::AfterPlayerDiscard);
    Run();
    EXPECT_EQ(game.State, st::kTurns);
    for (std::uint8_t win : {st::kPlayerRon, st::kCpuRon}) {
        game.State = win;
        game.ConfirmWin();
        EXPECT_EQ(game.State, win);
    }
    // Once riichi is accepted a second answer changes nothing.
    g_mahjongPlayerHand = HandOfKinds({2, 2, 2, 6, 6, 11, 11, 11, 14});
    game.CheckPlayerHand(platform::WindowHandle::None);
    At(Step::DiscardChoice);
    Run();
    game.AnswerCall(MahjongAnswer::Yes);
    game.AnswerCall(MahjongAnswer::No);
    EXPECT_EQ(game.RiichiDeclared, 1);
    EXPECT_EQ(game.PlayerReady, 1);
}

} // namespace
