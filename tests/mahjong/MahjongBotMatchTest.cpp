// Whole matches between two computer players on the rules core: every
// heroine, many seeds, the table checked after every rules step.
#include "mahjong/MahjongBotMatch.h"
#include "TestSupport.h"

#include <array>
#include <set>

namespace {

namespace st = mahjong_state;
namespace hl = platform::headless;

class MahjongBotMatchTest : public testing_support::HeadlessTest {
protected:
    MahjongBotResult Play(CMahjongGame& game, std::uint8_t heroine, std::uint32_t seed,
                          bool check) {
        MahjongBotOptions options;
        options.opponentByte = heroine;
        options.seed = seed;
        options.wait = [](std::uint32_t ms) { hl::AdvanceClock(ms); };
        if (check) options.afterStep = [this](const CMahjongGame& g) { CheckTable(g); };
        return PlayBotMatch(game, options);
    }

    // What must hold after every rules step.
    void CheckTable(const CMahjongGame& g) {
        ++checks_;
        ASSERT_LE(g.PlayerDiscardCount, 30);
        ASSERT_LE(g.CpuDiscardCount, 30);
        ASSERT_LE(g.WallPos, 77);
        ASSERT_GE(g.PlayerPoints, 0);
        ASSERT_GE(g.CpuPoints, 0);
        ASSERT_GE(g.PlayerRiichiTurns, 0);
        ASSERT_LE(g.PlayerRiichiTurns, 3);
        ASSERT_GE(g.CpuRiichiTurns, 0);
        ASSERT_LE(g.CpuRiichiTurns, 2);
        ASSERT_GE(g.Opponent, 0);
        ASSERT_LE(g.Opponent, 7);
        const bool inGame =
            g.State == st::kTurns || g.State == st::kCpuRiichi || g.State >= st::kRiichiMenu;
        if (!inGame) return;
        // The held tiles of both sides, the drawn tiles and the discards are
        // distinct tiles of the wall taken so far: none lost, none doubled.
        std::array<int, kMahjongWallSize> position{};
        for (int i = 0; i < kMahjongWallSize; ++i)
            position[g_mahjongWall[static_cast<std::size_t>(i)].Id] = i;
        std::set<int> ids;
        std::size_t expected = 16u + g.PlayerDiscardCount + g.CpuDiscardCount;
        auto take = [&](const MahjongTile& t) {
            ASSERT_EQ(t.Kind, t.Id / 12);
            ASSERT_LE(position[t.Id], g.WallPos);
            ids.insert(t.Id);
        };
        for (int s = 0; s < kMahjongHeld; ++s) {
            take(g_mahjongPlayerHand[static_cast<std::size_t>(s)]);
            take(g_mahjongCpuHand[static_cast<std::size_t>(s)]);
        }
        for (const MahjongHand* h : {&g_mahjongPlayerHand, &g_mahjongCpuHand}) {
            if ((*h)[kMahjongDrawn] == MahjongTile{}) continue;
            take((*h)[kMahjongDrawn]);
            ++expected;
        }
        for (int i = 0; i < g.PlayerDiscardCount; ++i)
            take(g_mahjongPlayerDiscards[static_cast<std::size_t>(i)]);
        for (int i = 0; i < g.CpuDiscardCount; ++i)
            take(g_mahjongCpuDiscards[static_cast<std::size_t>(i)]);
        ASSERT_EQ(ids.size(), expected);
        ASSERT_TRUE(std::is_sorted(g_mahjongPlayerHand.begin(),
                                   g_mahjongPlayerHand.begin() + kMahjongHeld,
                                   [](auto& a, auto& b) { return a.Kind < b.Kind; }));
    }

    long checks_ = 0;
};

// Per game: each voice trigger at most once, discards within the table.
void CheckGames(const std::vector<MahjongEvent>& log) {
    std::array<int, 4> lines{};
    std::array<int, 2> discards{};
    for (const MahjongEvent& e : log) {
        if (e.kind == MahjongEventKind::Shuffle) {
            lines.fill(0);
            discards.fill(0);
        }
        if (e.kind == MahjongEventKind::Line) {
            ASSERT_LE(++lines[e.a], 1);
        }
        if (e.kind == MahjongEventKind::Discard) {
            ASSERT_EQ(e.b, discards[static_cast<std::size_t>(e.side)]);
            ASSERT_LE(++discards[static_cast<std::size_t>(e.side)], 30);
        }
    }
}

TEST_F(MahjongBotMatchTest, EveryHeroineManySeedsMatchesEndWithTheTableWhole) {
    CMahjongGame game;
    std::array<int, 2> wins{};
    int wonGames = 0, draws = 0, riichis = 0, rons = 0;
    for (std::uint8_t heroine = 0; heroine < kMahjongHeroines; ++heroine) {
        for (std::uint32_t seed = 1; seed <= 8; ++seed) {
            SCOPED_TRACE(testing::Message() << "heroine " << int(heroine) << " seed " << seed);
            const MahjongBotResult r = Play(game, heroine, seed * 7919u + heroine, true);
            ASSERT_FALSE(HasFatalFailure());
            ASSERT_TRUE(r.ended) << r.games << " games";
            EXPECT_EQ(game.State, st::kMatchStart);
            const auto& scripts =
                r.winner == MahjongSide::Player ? g_kofWinScripts : g_kofLoseScripts;
            EXPECT_EQ(r.script, scripts[heroine]);
            EXPECT_EQ(r.winner == MahjongSide::Player ? game.CpuPoints : game.PlayerPoints, 0);
            ++wins[static_cast<std::size_t>(r.winner)];
            CheckGames(game.Log);
            for (const MahjongEvent& e : game.Log) {
                wonGames += e.kind == MahjongEventKind::Win;
                draws += e.kind == MahjongEventKind::ExhaustiveDraw;
                riichis += e.kind == MahjongEventKind::Riichi;
                rons += e.kind == MahjongEventKind::Win && e.a == 0;
            }
        }
    }
    // The matches went through every kind of ending and call.
    EXPECT_GT(wins[0], 0);
    EXPECT_GT(wins[1], 0);
    EXPECT_GT(wonGames, 0);
    EXPECT_GT(draws, 0);
    EXPECT_GT(riichis, 0);
    EXPECT_GT(rons, 0);
    EXPECT_GT(checks_, 10000);
}

TEST_F(MahjongBotMatchTest, TheSameSeedPlaysTheSameMatch) {
    CMahjongGame first, second, other;
    for (std::uint8_t heroine : {0, 3, 7}) {
        hl::Reset();
        const MahjongBotResult a = Play(first, heroine, 99, false);
        hl::Reset();
        const MahjongBotResult b = Play(second, heroine, 99, false);
        hl::Reset();
        Play(other, heroine, 100, false);
        ASSERT_TRUE(a.ended);
        EXPECT_EQ(a.games, b.games);
        EXPECT_EQ(a.winner, b.winner);
        EXPECT_TRUE(first.Log == second.Log);
        EXPECT_FALSE(first.Log == other.Log);
        EXPECT_GT(first.Log.size(), 100u);
    }
}

} // namespace
