// Combinations and scoring: every combination from a hand made for it, the
// exclusions between them, the points, the ron gate, the announcements and
// the result sequence that moves the points.
#include "mahjong/MahjongYaku.h"
#include "MahjongTestSupport.h"
#include "TestSupport.h"
#include "app/Config.h"
#include "mahjong/MahjongGame.h"

#include <algorithm>
#include <numeric>

namespace {

namespace st = mahjong_state;

// Nine tiles holding triplets of kinds a, b and c (any may repeat), given in
// a scrambled slot order.
MahjongHand TripletHand(int a, int b, int c) {
    return mahjong_test::HandOfKinds({c, a, b, a, c, b, b, a, c});
}

struct ShapeCase {
    int flag;
    int a, b, c;
    std::int32_t points;
};

// Flags 5 to 36 with their triplet kinds and points, one row per way of
// making each.
const std::vector<ShapeCase> kShapes = {
    {5, 2, 3, 5, 3000},      {6, 1, 11, 13, 3000},    {7, 10, 12, 14, 3000},
    {8, 0, 8, 10, 3000},     {9, 5, 9, 12, 3000},     {10, 3, 10, 11, 3000},
    {11, 1, 4, 13, 3000},    {12, 3, 4, 11, 3000},    {13, 4, 10, 13, 4000},
    {14, 9, 13, 15, 4000},   {15, 1, 2, 8, 4000},     {16, 7, 14, 15, 5000},
    {17, 13, 13, 15, 8000},  {17, 13, 15, 15, 8000},  {18, 8, 8, 9, 8000},
    {18, 8, 9, 9, 8000},     {19, 0, 0, 6, 8000},     {19, 0, 6, 6, 8000},
    {20, 12, 12, 14, 8000},  {20, 12, 14, 14, 8000},  {21, 6, 6, 6, 12000},
    {22, 0, 0, 0, 12000},    {23, 1, 1, 1, 12000},    {24, 2, 2, 2, 12000},
    {25, 3, 3, 3, 12000},    {26, 7, 7, 7, 12000},    {27, 5, 5, 5, 12000},
    {28, 4, 4, 4, 12000},    {29, 8, 8, 8, 12000},    {30, 11, 11, 11, 12000},
    {31, 12, 12, 12, 12000}, {32, 9, 9, 9, 12000},    {33, 14, 14, 14, 12000},
    {34, 10, 10, 10, 12000}, {35, 13, 13, 13, 15000}, {36, 15, 15, 15, 20000},
};

std::vector<int> SetFlags(const MahjongYakuFlags& flags) {
    std::vector<int> out;
    for (int f = 0; f < kMahjongYakuCount; ++f)
        if (flags[static_cast<std::size_t>(f)]) out.push_back(f);
    return out;
}

TEST(MahjongYakuTest, EveryShapeCombinationWithItsPointsAndNoOther) {
    std::vector<bool> covered(kMahjongYakuCount, false);
    for (const ShapeCase& sc : kShapes) {
        SCOPED_TRACE(sc.flag);
        const MahjongHand hand = mahjong_test::SortedByKind(TripletHand(sc.a, sc.b, sc.c));
        const MahjongTripletKinds kinds = TripletKinds(hand);
        EXPECT_EQ(kinds.a, sc.a);
        EXPECT_EQ(kinds.c, sc.c);
        MahjongYakuFlags flags{};
        MarkYaku(kinds, {}, flags);
        // The "all high" and "all low" flags come beside the shape's own.
        std::vector<int> expected;
        if (sc.a >= 8) expected.push_back(3);
        if (sc.c < 8) expected.push_back(4);
        expected.push_back(sc.flag);
        EXPECT_EQ(SetFlags(flags), expected);
        EXPECT_EQ(g_mahjongYakuPoints[static_cast<std::size_t>(sc.flag)], sc.points);
        EXPECT_TRUE(KindsHoldYaku(kinds));
        covered[static_cast<std::size_t>(sc.flag)] = true;
    }
    EXPECT_EQ(std::count(covered.begin(), covered.end(), true), 32);
}

TEST(MahjongYakuTest, FlagsOfHowTheHandWasWonAndOfItsHeight) {
    MahjongYakuFlags flags{};
    // (0, 8, 9) is neither all high nor all low and no shape: nothing at all.
    MarkYaku({0, 8, 9}, {}, flags);
    EXPECT_TRUE(SetFlags(flags).empty());
    EXPECT_FALSE(KindsHoldYaku({0, 8, 9}));
    MarkYaku({0, 8, 9}, {true, true, true}, flags);
    EXPECT_EQ(SetFlags(flags), (std::vector<int>{0, 1, 2}));
    MarkYaku({8, 11, 15}, {false, true, false}, flags);
    EXPECT_EQ(SetFlags(flags), (std::vector<int>{1, 3}));
    MarkYaku({0, 1, 7}, {true, false, false}, flags);
    EXPECT_EQ(SetFlags(flags), (std::vector<int>{0, 4}));
    EXPECT_TRUE(KindsHoldYaku({0, 1, 7}));
    // A flag left over from an earlier game is cleared.
    flags.fill(1);
    MarkYaku({0, 8, 9}, {}, flags);
    EXPECT_TRUE(SetFlags(flags).empty());
    // The points of flags 0 to 4, and the whole column's sum.
    EXPECT_EQ(g_mahjongYakuPoints[0] + g_mahjongYakuPoints[1] + g_mahjongYakuPoints[2], 3000);
    EXPECT_EQ(g_mahjongYakuPoints[3], 2000);
    EXPECT_EQ(g_mahjongYakuPoints[4], 2000);
    EXPECT_EQ(std::accumulate(g_mahjongYakuPoints.begin(), g_mahjongYakuPoints.end(), 0),
              3000 + 4000 + 8 * 3000 + 3 * 4000 + 5000 + 4 * 8000 + 14 * 12000 + 15000 + 20000);
}

TEST(MahjongYakuTest, AnnouncementsStayInsideTheirTable) {
    EXPECT_EQ(YakuVoice(3), "voice\\vel0169.ogg");
    EXPECT_EQ(YakuVoice(4), "voice\\vel0170.ogg");
    EXPECT_EQ(YakuVoice(20), "voice\\vel0186.ogg");
    EXPECT_EQ(YakuVoice(35), "voice\\vel0201.ogg");
    for (int f : {-2, -1, 0, 1, 2, 36, 37, 120})
        EXPECT_TRUE(YakuVoice(f).empty()) << f;

    MahjongYakuFlags flags{};
    EXPECT_EQ(NextSetYaku(flags, 0), -1);
    flags[4] = flags[36] = 1;
    EXPECT_EQ(NextSetYaku(flags, 0), 4);
    EXPECT_EQ(NextSetYaku(flags, 5), 36);
    EXPECT_EQ(NextSetYaku(flags, 37), -1);
    EXPECT_EQ(NextSetYaku(flags, 127), -1);
}

class MahjongScoreTest : public testing_support::HeadlessTest {
protected:
    CMahjongGame game;
    void Win(MahjongSide winner, const MahjongHand& hand) {
        (winner == MahjongSide::Player ? g_mahjongPlayerHand : g_mahjongCpuHand) = hand;
        game.State = winner == MahjongSide::Player ? st::kWinResult : st::kLossResult;
        game.ScoreGame();
    }
    std::vector<int> Strips() {
        std::vector<int> shown;
        for (;;) {
            MahjongResultItem item = game.AdvanceResult();
            if (item.kind != MahjongResultItem::Kind::Strip) {
                EXPECT_EQ(item.kind, MahjongResultItem::Kind::Total);
                return shown;
            }
            shown.push_back(item.flag);
        }
    }
};

TEST_F(MahjongScoreTest, PlayerTsumoInRiichiOnNineOfKindFifteen) {
    game.StartMatch(3); // 8000 points
    game.PlayerTsumo = 1;
    game.PlayerRiichi = 1;
    game.PlayerRiichiTurns = 1;
    Win(MahjongSide::Player, TripletHand(15, 15, 15));
    EXPECT_EQ(game.YakuCount, 5);
    EXPECT_EQ(game.YakuTotal, 1000 + 1000 + 1000 + 2000 + 20000);
    EXPECT_EQ(game.PlayerDeals, 1u);
    EXPECT_EQ(Strips(), (std::vector<int>{0, 1, 2, 3, 36}));
    EXPECT_EQ(game.AdvanceResult().kind, MahjongResultItem::Kind::Settled);
    EXPECT_EQ(game.PlayerPoints, 10000 + 25000);
    EXPECT_EQ(game.CpuPoints, 0); // 8000 - 25000, never below 0
    EXPECT_TRUE(game.LoserIsOut());
    // Asked again, the points do not move twice.
    EXPECT_EQ(game.AdvanceResult().kind, MahjongResultItem::Kind::Settled);
    EXPECT_EQ(game.PlayerPoints, 35000);
}

TEST_F(MahjongScoreTest, HeroineWinWithoutCombinationMovesNothing) {
    game.StartMatch(0);
    game.PlayerDeals = 1;
    Win(MahjongSide::Cpu, TripletHand(0, 8, 9));
    EXPECT_EQ(game.YakuCount, 0);
    EXPECT_EQ(game.PlayerDeals, 0u);
    EXPECT_TRUE(Strips().empty());
    game.AdvanceResult();
    EXPECT_EQ(game.PlayerPoints, 10000);
    EXPECT_EQ(game.CpuPoints, 5000);
    EXPECT_FALSE(game.LoserIsOut());
    game.NextGame();
    EXPECT_EQ(game.State, st::kDeal);
}

TEST_F(MahjongScoreTest, CountOverMovesTenAFrameAndStopsOnAClick) {
    game.StartMatch(1); // 3000
    game.CpuTsumo = 1;
    Win(MahjongSide::Cpu, TripletHand(2, 3, 5)); // 1000 + 2000 + 3000
    EXPECT_EQ(game.YakuTotal, 6000);
    EXPECT_EQ(Strips(), (std::vector<int>{0, 4, 5}));
    game.AdvanceResult();
    EXPECT_EQ(game.PlayerPoints, 4000);
    EXPECT_EQ(game.CpuPoints, 9000);
    EXPECT_FALSE(game.CountOverStep(false));
    EXPECT_EQ(game.ShownPlayerPoints, 9990);
    EXPECT_EQ(game.ShownCpuPoints, 3010);
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(game.CountOverStep(false));
    EXPECT_EQ(game.ShownCpuPoints, 3110);
    EXPECT_TRUE(game.CountOverStep(true));
    EXPECT_EQ(game.ShownPlayerPoints, 4000);
    EXPECT_EQ(game.ShownCpuPoints, 9000);
    // Without a click it runs until the winner's value is reached: 600 frames.
    Win(MahjongSide::Cpu, TripletHand(2, 3, 5));
    game.ShownPlayerPoints = 10000;
    game.ShownCpuPoints = 3000;
    int frames = 1;
    while (!game.CountOverStep(false))
        ++frames;
    EXPECT_EQ(frames, 600);
}

TEST_F(MahjongScoreTest, RonGateAsksForACombinationUnlessInRiichi) {
    // Held 0,0,0, 8,8,8, 9,9 waiting on 9: no combination.
    g_mahjongPlayerHand = mahjong_test::SortedByKind(TripletHand(0, 8, 9));
    EXPECT_FALSE(game.HasYaku());
    game.PlayerRiichi = 1;
    EXPECT_TRUE(game.HasYaku());
    game.PlayerRiichi = 0;
    // Held 1,1,1, 4,4, 13,13,13 waiting on 4: the (1, 4, 13) shape. Slot 3 is
    // the first 4, slot 6 a 13.
    MahjongHand h = mahjong_test::SortedByKind(TripletHand(1, 4, 13));
    std::rotate(h.begin() + 3, h.begin() + 4, h.end()); // one 4 goes to the drawn slot
    g_mahjongPlayerHand = h;
    EXPECT_EQ(g_mahjongPlayerHand[3].Kind, 4);
    EXPECT_TRUE(game.HasYaku());
}

TEST_F(MahjongScoreTest, WonMatchesCountBeatenHeroinesAndOpenPictures) {
    g_config.fill(0);
    std::filesystem::create_directories("save");
    // Each entry: the heroine beaten, the beaten count after it, and the
    // settings byte it opens (CG rows 41, 38, 37, 35 at 21 bytes a row from 403).
    struct Step {
        int heroine, count;
        std::size_t opens;
    };
    const Step steps[] = {{0, 1, 0}, {5, 2, 1264}, {5, 2, 1264}, {7, 3, 0},   {2, 4, 1201},
                          {1, 5, 0}, {3, 6, 1180}, {4, 7, 0},    {6, 8, 1138}};
    for (const Step& s : steps) {
        const std::array<std::uint8_t, kConfigSize> before = g_config;
        game.StartMatch(static_cast<std::uint8_t>(s.heroine));
        game.State = st::kWinResult;
        game.RecordWonMatch();
        EXPECT_EQ(game.EndMatch(), g_kofWinScripts[static_cast<std::size_t>(s.heroine)]);
        EXPECT_EQ(game.State, st::kMatchStart);
        EXPECT_EQ(game.BeatenCount, s.count);
        EXPECT_EQ(g_config[39 + static_cast<std::size_t>(s.heroine)], 1);
        for (std::size_t i = 0; i < kConfigSize; ++i) {
            if (i == 39 + static_cast<std::size_t>(s.heroine) || (s.opens && i == s.opens))
                continue;
            ASSERT_EQ(g_config[i], before[i]) << i;
        }
        if (s.opens) {
            EXPECT_EQ(g_config[s.opens], 1);
        }
    }
    // The block went to the settings file.
    const auto saved = testing_support::ReadFile("save/Config.dat");
    ASSERT_EQ(saved.size(), kConfigSize);
    EXPECT_EQ(saved[1138], 1);
    // A lost match touches no settings.
    const std::array<std::uint8_t, kConfigSize> before = g_config;
    game.StartMatch(6);
    game.State = st::kLossResult;
    EXPECT_EQ(game.EndMatch(), "kof_hol_3.s");
    EXPECT_EQ(g_config, before);
}

} // namespace
