// Hand rules: every way nine tiles can fall into kind counts, properties over
// many dealt hands, the heroine's choice and the shuffle.
#include "mahjong/MahjongHand.h"
#include "MahjongTestSupport.h"
#include "TestSupport.h"

#include <algorithm>
#include <array>
#include <map>
#include <vector>

namespace {

using mahjong_test::HandOfKinds;

// One partition of nine tiles into kind counts, with what the rules make of it
// (worked out by hand from the ready shapes). `waitPart` and `riichiPart` name
// a part by its index, -1 when the hand is not ready.
struct Partition {
    std::vector<int> parts;
    bool complete;
    int waitPart;
    int riichiPart; // the part the riichi discard takes its tile from
    bool cpuReady;
    bool winningShape;
};

const std::array<Partition, 30> kPartitions = {{
    {{9}, false, -1, -1, false, true},
    {{8, 1}, false, 0, 1, false, false},
    {{7, 2}, false, -1, -1, false, false},
    {{7, 1, 1}, false, -1, -1, false, false},
    {{6, 3}, false, -1, -1, false, true},
    {{6, 2, 1}, false, 1, 2, false, false},
    {{6, 1, 1, 1}, false, -1, -1, false, false},
    {{5, 4}, false, 0, 1, false, false},
    {{5, 3, 1}, false, 0, 2, false, false},
    {{5, 2, 2}, false, -1, -1, false, false},
    {{5, 2, 1, 1}, false, -1, -1, false, false},
    {{5, 1, 1, 1, 1}, false, -1, -1, false, false},
    {{4, 4, 1}, false, -1, -1, false, false},
    {{4, 3, 2}, false, 2, 0, false, false},
    {{4, 3, 1, 1}, false, -1, -1, false, false},
    {{4, 2, 2, 1}, false, -1, -1, false, false},
    {{4, 2, 1, 1, 1}, false, -1, -1, false, false},
    {{4, 1, 1, 1, 1, 1}, false, -1, -1, false, false},
    {{3, 3, 3}, true, -1, -1, false, true},
    {{3, 3, 2, 1}, false, 2, 3, true, false},
    {{3, 3, 1, 1, 1}, false, -1, -1, false, false},
    {{3, 2, 2, 2}, false, -1, -1, false, false},
    {{3, 2, 2, 1, 1}, false, -1, -1, false, false},
    {{3, 2, 1, 1, 1, 1}, false, -1, -1, false, false},
    {{3, 1, 1, 1, 1, 1, 1}, false, -1, -1, false, false},
    {{2, 2, 2, 2, 1}, false, -1, -1, false, false},
    {{2, 2, 2, 1, 1, 1}, false, -1, -1, false, false},
    {{2, 2, 1, 1, 1, 1, 1}, false, -1, -1, false, false},
    {{2, 1, 1, 1, 1, 1, 1, 1}, false, -1, -1, false, false},
    {{1, 1, 1, 1, 1, 1, 1, 1, 1}, false, -1, -1, false, false},
}};

// Two ways of giving the parts kinds, so no result can hang on the parts
// coming in kind order.
int SpreadKind(int part) {
    return (5 + 7 * part) % kMahjongKinds;
}
int FallingKind(int part) {
    return 15 - 2 * part;
}

// Nine tiles of the partition; copies of a kind get consecutive ids.
MahjongHand HandOf(const std::vector<int>& parts, int (*kindOf)(int)) {
    MahjongHand hand{};
    int slot = 0;
    for (std::size_t p = 0; p < parts.size(); ++p) {
        const int kind = kindOf(static_cast<int>(p));
        for (int c = 0; c < parts[p]; ++c)
            hand[static_cast<std::size_t>(slot++)] =
                MahjongTileFromId(static_cast<std::uint8_t>(kind * 12 + c));
    }
    return hand;
}

std::vector<std::uint8_t> SortedIds(const MahjongHand& hand) {
    std::vector<std::uint8_t> ids;
    for (const MahjongTile& t : hand)
        ids.push_back(t.Id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

TEST(MahjongHandTest, EveryPartitionOfNineTiles) {
    EXPECT_EQ(kPartitions.size(), 30u);
    for (auto kindOf : {SpreadKind, FallingKind}) {
        for (const Partition& p : kPartitions) {
            SCOPED_TRACE(::testing::PrintToString(p.parts));
            const MahjongHand hand = HandOf(p.parts, kindOf);
            const MahjongKindCounts counts = CountKinds(hand);
            EXPECT_EQ(IsThreeTriplets(counts), p.complete);
            EXPECT_EQ(IsWinningShape(counts), p.winningShape);
            const auto wait = PlayerReadyWait(counts);
            ASSERT_EQ(wait.has_value(), p.waitPart >= 0);
            if (wait) {
                EXPECT_EQ(*wait, kindOf(p.waitPart));
            }
            const auto cpuWait = CpuReadyWait(counts);
            ASSERT_EQ(cpuWait.has_value(), p.cpuReady);
            if (cpuWait) {
                EXPECT_EQ(*cpuWait, kindOf(p.waitPart));
            }
            if (p.riichiPart < 0) continue;
            // The riichi discard leaves eight tiles that the wait completes.
            const auto slot = RiichiDiscardSlot(hand);
            ASSERT_TRUE(slot.has_value());
            EXPECT_EQ(hand[static_cast<std::size_t>(*slot)].Kind, kindOf(p.riichiPart));
            MahjongHand after = hand;
            after[static_cast<std::size_t>(*slot)] =
                MahjongTileFromId(static_cast<std::uint8_t>(*wait * 12 + 11));
            EXPECT_TRUE(IsWinningShape(CountKinds(after)));
        }
    }
}

TEST(MahjongHandTest, RiichiDiscardTakesTheFirstSlotOfTheHighestSingleOrFour) {
    // 4 of kind 2 and a single of kind 9: kind 9 is higher.
    const MahjongHand h1 = HandOfKinds({2, 2, 2, 2, 5, 5, 5, 9, 5});
    EXPECT_EQ(RiichiDiscardSlot(h1), 7);
    // 5 of kind 1 and 4 of kind 0 (slots out of order): the first slot with kind 0.
    const MahjongHand h2 = HandOfKinds({1, 1, 0, 1, 0, 1, 0, 1, 0});
    EXPECT_EQ(RiichiDiscardSlot(h2), 2);
    EXPECT_FALSE(RiichiDiscardSlot(HandOfKinds({3, 3, 3, 4, 4, 4, 7, 7, 7})).has_value());
}

TEST(MahjongHandTest, SortOrdersByKindAndKeepsEqualKindsInPlace) {
    MahjongHand hand = HandOfKinds({9, 3, 3, 0, 15, 3, 7, 0, 2});
    SortByKind(hand, kMahjongHandSlots - 1);
    std::vector<int> kinds, idsOfThree;
    for (const MahjongTile& t : hand) {
        kinds.push_back(t.Kind);
        if (t.Kind == 3) idsOfThree.push_back(t.Id);
    }
    EXPECT_EQ(kinds, (std::vector<int>{0, 0, 2, 3, 3, 3, 7, 9, 15}));
    EXPECT_EQ(idsOfThree, (std::vector<int>{36, 37, 38}));
    // A drawn tile of the lowest kind at the back needs every pass.
    MahjongHand worst = HandOfKinds({8, 7, 6, 5, 4, 3, 2, 1, 0});
    SortByKind(worst, kMahjongHandSlots - 1);
    for (int s = 0; s < kMahjongHandSlots; ++s)
        EXPECT_EQ(worst[static_cast<std::size_t>(s)].Kind, s);
}

TEST(MahjongHandTest, HeroineDiscardChoice) {
    // Pairs of 1, 4, 6 and a triplet of 9: four kinds of two or more come
    // before any single, so her highest tile goes although it is a triplet's.
    MahjongHand pairs = HandOfKinds({9, 1, 4, 9, 6, 1, 9, 4, 6});
    EXPECT_EQ(ChooseCpuDiscard(pairs), 1);
    EXPECT_EQ(pairs[kMahjongDrawn].Kind, 9);

    // 3+3+2+1 with the single lowest: the single goes and she is ready on the pair.
    MahjongHand ready = HandOfKinds({7, 7, 2, 12, 12, 12, 7, 0, 2});
    EXPECT_EQ(ChooseCpuDiscard(ready), 0); // the scan stops at kind 0 at once
    EXPECT_EQ(ready[kMahjongDrawn].Kind, 0);
    MahjongHand withWait = ready;
    withWait[kMahjongDrawn] = MahjongTileFromId(2 * 12 + 5);
    EXPECT_TRUE(IsThreeTriplets(CountKinds(withWait)));

    // A triplet before the single counts; a four after it does not.
    MahjongHand mixed = HandOfKinds({3, 3, 3, 5, 8, 8, 8, 8, 6});
    EXPECT_EQ(ChooseCpuDiscard(mixed), 1);
    EXPECT_EQ(mixed[kMahjongDrawn].Kind, 5);

    // Three triplets: the scan runs through and counts three.
    MahjongHand complete = HandOfKinds({4, 11, 4, 2, 11, 2, 4, 2, 11});
    EXPECT_EQ(ChooseCpuDiscard(complete), 3);
}

TEST(MahjongHandTest, LapseOddsByHeroine) {
    const std::array<int, 8> lapsesIn60 = {20, 30, 15, 15, 12, 12, 12, 0};
    for (int heroine = 0; heroine < kMahjongHeroines; ++heroine) {
        int lapses = 0;
        for (std::uint32_t r = 0; r < 60; ++r)
            lapses += IsCpuLapse(heroine, r) ? 1 : 0;
        EXPECT_EQ(lapses, lapsesIn60[static_cast<std::size_t>(heroine)]) << heroine;
    }
    EXPECT_TRUE(IsCpuLapse(0, 4));
    EXPECT_TRUE(IsCpuLapse(1, 0xFFFFFFFFu));
    EXPECT_TRUE(IsCpuLapse(3, 9));
    EXPECT_TRUE(IsCpuLapse(6, 8));
    EXPECT_FALSE(IsCpuLapse(5, 9));
}

class MahjongRandomTest : public testing_support::HeadlessTest {};

// The runtime's recurrence, written out here to know what rand will give.
int NextRand(std::uint32_t& s) {
    s = s * 214013u + 2531011u;
    return static_cast<int>((s >> 16) & 0x7FFF);
}

TEST_F(MahjongRandomTest, UniformDrawThrowsAwayTheUnevenTop) {
    // Bound 191: 32768 = 171 * 191 + 107, so values from 32661 on are drawn again.
    std::uint32_t seed = 0;
    for (;; ++seed) {
        std::uint32_t s = seed;
        if (NextRand(s) >= 32661) break;
    }
    std::uint32_t s = seed;
    NextRand(s);
    const int second = NextRand(s);
    platform::Srand(seed);
    EXPECT_EQ(UniformRand(191), second % 191);
    EXPECT_EQ(UniformRand(1), 0);
}

TEST_F(MahjongRandomTest, ShuffleIsAPermutationAndSpreadsEveryKind) {
    // The clock stands at 0, as at the start of a headless run: the shuffle
    // must still mix.
    std::array<MahjongTile, kMahjongWallSize> wall{};
    std::array<std::array<int, kMahjongKinds>, 3> firstKinds{};
    constexpr int kShuffles = 3200;
    platform::Srand(77);
    for (int n = 0; n < kShuffles; ++n) {
        ShuffleWall(wall);
        std::array<int, kMahjongWallSize> seen{};
        for (const MahjongTile& t : wall) {
            ASSERT_LT(t.Id, kMahjongWallSize);
            ++seen[t.Id];
            EXPECT_EQ(t.Kind, t.Id / 12);
            EXPECT_EQ(t.Face, t.Kind);
        }
        ASSERT_TRUE(std::all_of(seen.begin(), seen.end(), [](int c) { return c == 1; }));
        for (int p = 0; p < 3; ++p)
            ++firstKinds[static_cast<std::size_t>(p)][wall[static_cast<std::size_t>(p * 95)].Kind];
    }
    // Each kind is 1/16 of the wall: 200 expected at every place looked at.
    for (const auto& counts : firstKinds) {
        double chi2 = 0;
        for (int c : counts)
            chi2 += (c - 200.0) * (c - 200.0) / 200.0;
        EXPECT_LT(chi2, 45.0); // 15 degrees of freedom; far beyond chance
    }
}

TEST_F(MahjongRandomTest, PropertiesOverDealtHands) {
    std::array<MahjongTile, kMahjongWallSize> wall{};
    int ready = 0, complete = 0;
    for (std::uint32_t seed = 1; seed <= 400; ++seed) {
        platform::Srand(seed);
        ShuffleWall(wall);
        // Hands of the first tiles, and hands made likelier to be ready by
        // taking tiles from few kinds (the wall sorted by kind, cut at random).
        std::vector<MahjongHand> hands;
        for (int h = 0; h < 20; ++h) {
            MahjongHand hand;
            std::copy_n(wall.begin() + h * 9, 9, hand.begin());
            hands.push_back(hand);
        }
        std::array<MahjongTile, kMahjongWallSize> byKind = wall;
        std::stable_sort(byKind.begin(), byKind.begin() + 48,
                         [](auto& a, auto& b) { return a.Kind < b.Kind; });
        for (int h = 0; h < 5; ++h) {
            MahjongHand hand;
            std::copy_n(byKind.begin() + h * 9, 9, hand.begin());
            hands.push_back(hand);
        }
        for (const MahjongHand& hand : hands) {
            const MahjongKindCounts counts = CountKinds(hand);
            if (IsThreeTriplets(counts)) {
                ++complete;
                EXPECT_TRUE(IsWinningShape(counts));
            }
            if (auto wait = PlayerReadyWait(counts)) {
                ++ready;
                const auto slot = RiichiDiscardSlot(hand);
                ASSERT_TRUE(slot.has_value());
                MahjongHand after = hand;
                after[static_cast<std::size_t>(*slot)] = MahjongTile{*wait, 0, *wait};
                EXPECT_TRUE(IsWinningShape(CountKinds(after)));
            }
            if (auto cpuWait = CpuReadyWait(counts)) {
                EXPECT_EQ(PlayerReadyWait(counts), cpuWait);
            }
            MahjongHand chosen = hand;
            const std::uint8_t triplets = ChooseCpuDiscard(chosen);
            EXPECT_EQ(SortedIds(chosen), SortedIds(hand)); // she keeps her tiles
            EXPECT_EQ(triplets == 3, IsThreeTriplets(counts));
        }
    }
    // The property checks are not vacuous.
    EXPECT_GT(ready, 100);
    EXPECT_GT(complete, 5);
}

} // namespace
