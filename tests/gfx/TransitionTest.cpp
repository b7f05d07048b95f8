// The transition effects, pixel by pixel. Every expected value is worked
// from the effect's integer formula for the stated inputs; the comments show
// the working.
#include "gfx/Transition.h"
#include "gfx/TransitionTestSupport.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <climits>

using namespace transition_test;

namespace {

class TransitionTest : public testing_support::HeadlessTest {
protected:
    TransitionTest() {
        EnsureTransitionTables();
        platform::Srand(0);
        g_maskImage.reset();
    }
    ~TransitionTest() override { g_maskImage.reset(); }

    static int Draw(int effect, CDib* dst, CDib* a, CDib* b, int p, int w = 800, int h = 600,
                    int dx = 0, int dy = 0, int sx = 0, int sy = 0, int flag = 0) {
        return DrawTransition(effect, dst, a, b, dx, dy, sx, sy, w, h, p, flag);
    }

    // The 800x600 pictures: every pixel names its picture and place.
    Picture a_ = Coded(kTagA);
    Picture b_ = Coded(kTagB);
    Picture d_ = Coded(kTagD);
};

// Expects dst(x, y) to hold the pixel of the coded picture `tag` at (sx, sy).
#define EXPECT_FROM(dst, x, y, tag, sx, sy) EXPECT_EQ(Px(*(dst), x, y), Code(tag, sx, sy))
#define EXPECT_SAME(dst, x, y, tag) EXPECT_FROM(dst, x, y, tag, x, y)

// ---------------------------------------------------------------- dispatcher and lookup block

TEST_F(TransitionTest, UnknownEffectNumbersDrawTheCrossFade) {
    // Cross-fade at 128 of 200 over 100: (200 * 128 >> 8) + (100 * 127 >> 8)
    // = 100 + 49, fourth byte 0.
    for (int effect : {80, 81, 255, -1, INT_MIN, INT_MAX}) {
        auto a = Solid(3, 2, Grey(200, 0x77));
        auto b = Solid(3, 2, Grey(100, 0x66));
        auto d = Solid(3, 2, Grey(5, 0x55));
        EXPECT_EQ(Draw(effect, d.get(), a.get(), b.get(), 128, 3, 2), 0);
        EXPECT_EQ(Pixels(*d), std::vector<std::uint32_t>(6, Grey(149))) << effect;
    }
}

TEST_F(TransitionTest, LookupBlockHoldsRandomBytesCosinesAndDistances) {
    const TransitionTables& t = EnsureTransitionTables();
    // rand after srand(0): 38, 7719 (0x1E27), 21238 (0x52F6), 2437 (0x985).
    EXPECT_EQ(t.random[0], 38);
    EXPECT_EQ(t.random[1], 0x27);
    EXPECT_EQ(t.random[2], 0xF6);
    EXPECT_EQ(t.random[3], 0x85);
    // cos(i pi / 256) * 65536, truncated.
    EXPECT_EQ(t.cosine[0], 65536);
    EXPECT_EQ(t.cosine[64], 46340); // 46340.95
    EXPECT_EQ(t.cosine[128], 0);
    EXPECT_EQ(t.cosine[256], -65536);
    EXPECT_EQ(t.cosine[384], 0);
    // sqrt(x^2 + y^2) * 65536, truncated.
    EXPECT_EQ(t.Dist(3, 4), 5 * 65536);
    EXPECT_EQ(t.Dist(1, 1), 92681); // 1.41421356 * 65536 = 92681.9
    EXPECT_EQ(t.Dist(-3, 4), 5 * 65536);
    EXPECT_EQ(t.distance[4 * 600 + 3], 5 * 65536);
    // Beyond the table the same formula holds.
    EXPECT_EQ(t.Dist(600, 0), 600 * 65536);
    EXPECT_EQ(t.Dist(3000, 4000), std::int64_t{5000} * 65536);
    // Indices wrap to the table size.
    EXPECT_EQ(t.Cos(-128), 0);
    EXPECT_EQ(t.Cos(512 + 64), 46340);
    EXPECT_EQ(t.Cos(-256), -65536);
    EXPECT_EQ(t.Rnd(256), 38);
    EXPECT_EQ(t.Rnd(-1), t.random[255]);
}

TEST_F(TransitionTest, BuildingTheBlockRestartsTheRandomSequence) {
    platform::Srand(1234);
    auto tables = std::make_unique<TransitionTables>();
    BuildTransitionTables(*tables);
    // 256 values were drawn after srand(0); the 257th is 9334.
    EXPECT_EQ(platform::Rand(), 9334);
}

// ---------------------------------------------------------------- geometric wipes

TEST_F(TransitionTest, IrisCopiesChordsOfACircle) {
    // 800x600 at 128: D = (1400 * 128) >> 8 = 700, R = 350. Row 300: chord
    // 700 from 400 - 350 = 50. Row 0: t = -300, c = sqrt(490000 - 360000)
    // = 360, left = 400 - 180 = 220.
    Draw(0, d_.get(), a_.get(), b_.get(), 128);
    EXPECT_SAME(d_, 49, 300, kTagD);
    EXPECT_SAME(d_, 50, 300, kTagA);
    EXPECT_SAME(d_, 749, 300, kTagA);
    EXPECT_SAME(d_, 750, 300, kTagD);
    EXPECT_SAME(d_, 219, 0, kTagD);
    EXPECT_SAME(d_, 220, 0, kTagA);
    EXPECT_SAME(d_, 579, 0, kTagA);
    EXPECT_SAME(d_, 580, 0, kTagD);

    // 8x4 at (1, 1) of a 10x6 surface, p = 128: D = 6, R = 3. Rows 0..3
    // (t = -2, -1, 0, 1): chords 4, 5, 6, 5 from 2, 2, 1, 2.
    auto a = Coded(kTagA, 10, 6);
    auto d = Coded(kTagD, 10, 6);
    Draw(0, d.get(), a.get(), nullptr, 128, 8, 4, 1, 1);
    EXPECT_SAME(d, 2, 1, kTagD);
    EXPECT_SAME(d, 3, 1, kTagA);
    EXPECT_SAME(d, 6, 1, kTagA);
    EXPECT_SAME(d, 7, 1, kTagD);
    EXPECT_SAME(d, 7, 2, kTagA);
    EXPECT_SAME(d, 1, 3, kTagD);
    EXPECT_SAME(d, 2, 3, kTagA);
    EXPECT_SAME(d, 7, 3, kTagA);
    EXPECT_SAME(d, 8, 3, kTagD);
    EXPECT_SAME(d, 3, 4, kTagA);
    EXPECT_SAME(d, 2, 4, kTagD);
    for (int x = 0; x < 10; ++x) {
        EXPECT_SAME(d, x, 0, kTagD);
        EXPECT_SAME(d, x, 5, kTagD);
    }
}

TEST_F(TransitionTest, BlindsOpenBandAfterBand) {
    // Effect 5 at 30: n = 1800 / 256 = 7; band k is 7 - k wide.
    auto d = Coded(kTagD);
    Draw(5, d.get(), a_.get(), b_.get(), 30);
    EXPECT_SAME(d, 6, 0, kTagA);
    EXPECT_SAME(d, 7, 0, kTagB);
    EXPECT_SAME(d, 25, 599, kTagA); // band 1: columns 20..25
    EXPECT_SAME(d, 26, 599, kTagB);
    EXPECT_SAME(d, 120, 9, kTagA); // band 6: one column
    EXPECT_SAME(d, 121, 9, kTagB);
    EXPECT_SAME(d, 140, 9, kTagB); // band 7: closed

    // Effect 6 at 30: band 0 at 780 (7 wide), band 1 at 760 (6 wide).
    Draw(6, d.get(), a_.get(), b_.get(), 30);
    EXPECT_SAME(d, 786, 0, kTagA);
    EXPECT_SAME(d, 787, 0, kTagB);
    EXPECT_SAME(d, 765, 0, kTagA);
    EXPECT_SAME(d, 766, 0, kTagB);
    EXPECT_SAME(d, 0, 0, kTagB);

    // Effect 7 at 128: n = 30; bands 0..10 full, band 11 19 rows, band 29 one.
    Draw(7, d.get(), a_.get(), b_.get(), 128);
    EXPECT_SAME(d, 0, 219, kTagA);
    EXPECT_SAME(d, 799, 238, kTagA);
    EXPECT_SAME(d, 0, 239, kTagB);
    EXPECT_SAME(d, 0, 580, kTagA);
    EXPECT_SAME(d, 0, 581, kTagB);
    // dx = 2 leaves bands 0 and 1 out.
    Draw(7, d.get(), a_.get(), b_.get(), 128, 800, 600, 2);
    EXPECT_SAME(d, 0, 39, kTagB);
    EXPECT_SAME(d, 0, 40, kTagA);

    // Effect 8 at 128: band 0 at 580 full, band 11 at 360 (19 rows), band 29
    // at 0 one row.
    Draw(8, d.get(), a_.get(), b_.get(), 128);
    EXPECT_SAME(d, 0, 599, kTagA);
    EXPECT_SAME(d, 0, 378, kTagA);
    EXPECT_SAME(d, 0, 379, kTagB);
    EXPECT_SAME(d, 0, 0, kTagA);
    EXPECT_SAME(d, 0, 1, kTagB);

    // Effect 5 at 255: n = 59, every band 20 wide: all of A.
    Draw(5, d.get(), a_.get(), b_.get(), 255);
    EXPECT_EQ(Pixels(*d), Pixels(*a_));
}

TEST_F(TransitionTest, GrowingRectanglesCopyOnlyTheirRectangles) {
    // Effect 9 at 128: a = 200, columns 200..599.
    Draw(9, d_.get(), a_.get(), b_.get(), 128);
    EXPECT_SAME(d_, 199, 0, kTagD);
    EXPECT_SAME(d_, 200, 0, kTagA);
    EXPECT_SAME(d_, 599, 599, kTagA);
    EXPECT_SAME(d_, 600, 0, kTagD);

    // Effect 10 at 64: a = 100, columns 0..99 and 700..799.
    auto d = Coded(kTagD);
    Draw(10, d.get(), a_.get(), b_.get(), 64);
    EXPECT_SAME(d, 99, 5, kTagA);
    EXPECT_SAME(d, 100, 5, kTagD);
    EXPECT_SAME(d, 699, 5, kTagD);
    EXPECT_SAME(d, 700, 5, kTagA);

    // Effect 11 at 128: a = 150, rows 150..449.
    d = Coded(kTagD);
    Draw(11, d.get(), a_.get(), b_.get(), 128);
    EXPECT_SAME(d, 3, 149, kTagD);
    EXPECT_SAME(d, 3, 150, kTagA);
    EXPECT_SAME(d, 3, 449, kTagA);
    EXPECT_SAME(d, 3, 450, kTagD);

    // Effect 12 at 128: rows 0..149 and 450..599.
    d = Coded(kTagD);
    Draw(12, d.get(), a_.get(), b_.get(), 128);
    EXPECT_SAME(d, 3, 149, kTagA);
    EXPECT_SAME(d, 3, 150, kTagD);
    EXPECT_SAME(d, 3, 449, kTagD);
    EXPECT_SAME(d, 3, 450, kTagA);

    // Effect 13 at 128: a = 200, b = 150: (200, 150) to (600, 450).
    d = Coded(kTagD);
    Draw(13, d.get(), a_.get(), b_.get(), 128);
    EXPECT_SAME(d, 200, 150, kTagA);
    EXPECT_SAME(d, 599, 449, kTagA);
    EXPECT_SAME(d, 199, 150, kTagD);
    EXPECT_SAME(d, 600, 300, kTagD);
    EXPECT_SAME(d, 300, 149, kTagD);

    // Effect 14 at 128: (0, 0, 400, 300).
    d = Coded(kTagD);
    Draw(14, d.get(), a_.get(), b_.get(), 128);
    EXPECT_SAME(d, 399, 299, kTagA);
    EXPECT_SAME(d, 400, 0, kTagD);
    EXPECT_SAME(d, 0, 300, kTagD);
}

TEST_F(TransitionTest, RaggedWipesDrawARandomLengthPerLine) {
    // Clock 7, rand from srand(0): 38, 7719, 21238, 2437. Speeds
    // (r * 7) mod 10 + 16: 22, 19, 22, 25. At p = 64 the factor is
    // (320 >> 5) + 1 = 11: lengths 242, 209, 242, 275.
    platform::headless::AdvanceClock(7);
    auto d = Coded(kTagD);
    platform::Srand(0);
    Draw(26, d.get(), a_.get(), b_.get(), 64);
    EXPECT_SAME(d, 241, 0, kTagA);
    EXPECT_SAME(d, 242, 0, kTagD);
    EXPECT_SAME(d, 208, 1, kTagA);
    EXPECT_SAME(d, 209, 1, kTagD);
    EXPECT_SAME(d, 274, 3, kTagA);
    EXPECT_SAME(d, 275, 3, kTagD);

    d = Coded(kTagD);
    platform::Srand(0);
    Draw(27, d.get(), a_.get(), b_.get(), 64);
    EXPECT_SAME(d, 0, 241, kTagA);
    EXPECT_SAME(d, 0, 242, kTagD);
    EXPECT_SAME(d, 1, 208, kTagA);
    EXPECT_SAME(d, 1, 209, kTagD);

    d = Coded(kTagD);
    platform::Srand(0);
    Draw(60, d.get(), a_.get(), b_.get(), 64);
    EXPECT_SAME(d, 557, 0, kTagD);
    EXPECT_SAME(d, 558, 0, kTagA);
    EXPECT_SAME(d, 799, 0, kTagA);
    EXPECT_SAME(d, 590, 1, kTagD);
    EXPECT_SAME(d, 591, 1, kTagA);

    d = Coded(kTagD);
    platform::Srand(0);
    Draw(61, d.get(), a_.get(), b_.get(), 64);
    EXPECT_SAME(d, 0, 357, kTagD);
    EXPECT_SAME(d, 0, 358, kTagA);
    EXPECT_SAME(d, 0, 599, kTagA);
}

TEST_F(TransitionTest, SmearsRepeatOneLineOfA) {
    // Effect 28 at 128: P = (128 * 599) >> 8 = 299.
    Draw(28, d_.get(), a_.get(), b_.get(), 128);
    EXPECT_FROM(d_, 5, 0, kTagA, 5, 299);
    EXPECT_FROM(d_, 5, 299, kTagA, 5, 299);
    EXPECT_FROM(d_, 5, 300, kTagA, 5, 300);
    // Effect 29 at 128: Q = (128 * 799) >> 8 = 399.
    Draw(29, d_.get(), a_.get(), b_.get(), 128);
    EXPECT_FROM(d_, 0, 7, kTagA, 399, 7);
    EXPECT_FROM(d_, 500, 7, kTagA, 500, 7);
    // At 0 both are A itself.
    Draw(28, d_.get(), a_.get(), b_.get(), 0);
    EXPECT_EQ(Pixels(*d_), Pixels(*a_));
}

TEST_F(TransitionTest, CentreAndEdgeBlinds) {
    // Effect 30 at 128: n = 30. Strips of min(30 - k, 20) at 400 + 20k and
    // 400 - 20k: k = 11 gives 19 at 620 and 180, k = 20 gives 10 at 0.
    auto d = Coded(kTagD);
    Draw(30, d.get(), a_.get(), b_.get(), 128);
    EXPECT_SAME(d, 9, 0, kTagA);
    EXPECT_SAME(d, 10, 0, kTagD);
    EXPECT_SAME(d, 180, 0, kTagA);
    EXPECT_SAME(d, 198, 0, kTagA);
    EXPECT_SAME(d, 199, 0, kTagD);
    EXPECT_SAME(d, 419, 0, kTagA);
    EXPECT_SAME(d, 638, 0, kTagA);
    EXPECT_SAME(d, 639, 0, kTagD);

    // Effect 31 at 128: n = 20. Strips at 20k and 800 - 20k of 20 - k.
    d = Coded(kTagD);
    Draw(31, d.get(), a_.get(), b_.get(), 128);
    EXPECT_SAME(d, 38, 0, kTagA);
    EXPECT_SAME(d, 39, 0, kTagD);
    EXPECT_SAME(d, 798, 0, kTagA);
    EXPECT_SAME(d, 799, 0, kTagD);
    EXPECT_SAME(d, 380, 0, kTagA);
    EXPECT_SAME(d, 381, 0, kTagD);
    EXPECT_SAME(d, 420, 0, kTagA);
    EXPECT_SAME(d, 400, 0, kTagD);
}

TEST_F(TransitionTest, ZoomsScaleAboutTheCentre) {
    // Effect 33, 8x4 at 128: 4x2 at (2, 1), sampling columns 0, 2, 4, 6
    // and rows 0, 2 of A.
    auto a = Coded(kTagA, 8, 4);
    auto d = Coded(kTagD, 8, 4);
    Draw(33, d.get(), a.get(), nullptr, 128, 8, 4);
    EXPECT_FROM(d, 2, 1, kTagA, 0, 0);
    EXPECT_FROM(d, 3, 1, kTagA, 2, 0);
    EXPECT_FROM(d, 5, 2, kTagA, 6, 2);
    EXPECT_SAME(d, 1, 1, kTagD);
    EXPECT_SAME(d, 6, 1, kTagD);
    EXPECT_SAME(d, 2, 0, kTagD);
    EXPECT_SAME(d, 2, 3, kTagD);

    // Effect 34 blends the same rectangle at alpha p: 200 over 100 at 128
    // gives 149.
    auto grey = Solid(8, 4, Grey(200));
    auto g = Solid(8, 4, Grey(100, 0x55));
    Draw(34, g.get(), grey.get(), nullptr, 128, 8, 4);
    EXPECT_EQ(Px(*g, 2, 1), Grey(149));
    EXPECT_EQ(Px(*g, 5, 2), Grey(149));
    EXPECT_EQ(Px(*g, 1, 1), Grey(100, 0x55));

    // Effect 35 at 0: A, then B at (2, 2) scaled to 796x597 (255/256).
    // Columns step 800/796: i >= 1 reads floor((800i - 1) / 796); rows
    // 600/597 likewise.
    Draw(35, d_.get(), a_.get(), b_.get(), 0);
    EXPECT_SAME(d_, 1, 1, kTagA);
    EXPECT_FROM(d_, 2, 2, kTagB, 0, 0);
    EXPECT_FROM(d_, 3, 2, kTagB, 1, 0);
    EXPECT_FROM(d_, 202, 2, kTagB, 201, 0); // i = 200: 159999 / 796 = 201
    EXPECT_FROM(d_, 797, 2, kTagB, 798, 0); // i = 795: 635999 / 796 = 798
    EXPECT_SAME(d_, 798, 2, kTagA);
    EXPECT_FROM(d_, 2, 3, kTagB, 0, 1);
    EXPECT_FROM(d_, 2, 598, kTagB, 0, 598); // j = 596: 357599 / 597 = 598
    EXPECT_SAME(d_, 2, 599, kTagA);
    // At 255 only A is left.
    Draw(35, d_.get(), a_.get(), b_.get(), 255);
    EXPECT_EQ(Pixels(*d_), Pixels(*a_));
}

TEST_F(TransitionTest, TrianglesSqueezeWholeRowsIntoSpans) {
    // 8x4 at 128: R = ((4 + 4) * 128) / 256 = 4. Row r: width 8 - 2r from
    // x = r. Row 1 squeezes 8 columns into 6: 0, 1, 2, 3, 5, 6. Row 2: 0, 2,
    // 4, 6. Row 3: 0, 4.
    auto a = Coded(kTagA, 8, 4);
    auto d = Coded(kTagD, 8, 4);
    Draw(71, d.get(), a.get(), nullptr, 128, 8, 4);
    EXPECT_SAME(d, 0, 0, kTagA);
    EXPECT_SAME(d, 7, 0, kTagA);
    EXPECT_SAME(d, 0, 1, kTagD);
    EXPECT_FROM(d, 1, 1, kTagA, 0, 1);
    EXPECT_FROM(d, 4, 1, kTagA, 3, 1);
    EXPECT_FROM(d, 5, 1, kTagA, 5, 1);
    EXPECT_FROM(d, 6, 1, kTagA, 6, 1);
    EXPECT_SAME(d, 7, 1, kTagD);
    EXPECT_FROM(d, 2, 2, kTagA, 0, 2);
    EXPECT_FROM(d, 5, 2, kTagA, 6, 2);
    EXPECT_SAME(d, 6, 2, kTagD);
    EXPECT_FROM(d, 3, 3, kTagA, 0, 3);
    EXPECT_FROM(d, 4, 3, kTagA, 4, 3);
    EXPECT_SAME(d, 5, 3, kTagD);

    // Effect 72 counts from the bottom row.
    d = Coded(kTagD, 8, 4);
    Draw(72, d.get(), a.get(), nullptr, 128, 8, 4);
    EXPECT_SAME(d, 0, 3, kTagA);
    EXPECT_FROM(d, 1, 2, kTagA, 0, 2);
    EXPECT_FROM(d, 3, 0, kTagA, 0, 0);
    EXPECT_FROM(d, 4, 0, kTagA, 4, 0);
    EXPECT_SAME(d, 2, 0, kTagD);
}

TEST_F(TransitionTest, DiagonalsCopySpansAlongTheDiagonal) {
    // 8x4 at 128: K = 4. Effect 74: c = 2r, spans [r, r + 4).
    auto a = Coded(kTagA, 16, 8);
    auto d = Coded(kTagD, 8, 4);
    Draw(74, d.get(), a.get(), nullptr, 128, 8, 4);
    EXPECT_SAME(d, 0, 0, kTagA);
    EXPECT_SAME(d, 3, 0, kTagA);
    EXPECT_SAME(d, 4, 0, kTagD);
    EXPECT_SAME(d, 0, 1, kTagD);
    EXPECT_SAME(d, 1, 1, kTagA);
    EXPECT_SAME(d, 4, 1, kTagA);
    EXPECT_SAME(d, 5, 1, kTagD);
    EXPECT_SAME(d, 3, 3, kTagA);
    EXPECT_SAME(d, 6, 3, kTagA);
    EXPECT_SAME(d, 7, 3, kTagD);

    // Effect 75: c = 8 - 2r, spans [4, 8), [3, 7), [2, 6), [1, 5).
    d = Coded(kTagD, 8, 4);
    Draw(75, d.get(), a.get(), nullptr, 128, 8, 4);
    EXPECT_SAME(d, 3, 0, kTagD);
    EXPECT_SAME(d, 4, 0, kTagA);
    EXPECT_SAME(d, 7, 0, kTagA);
    EXPECT_SAME(d, 2, 1, kTagD);
    EXPECT_SAME(d, 3, 1, kTagA);
    EXPECT_SAME(d, 6, 1, kTagA);
    EXPECT_SAME(d, 7, 1, kTagD);
    EXPECT_SAME(d, 1, 3, kTagA);
    EXPECT_SAME(d, 5, 3, kTagD);

    // Effect 76 on 16x8: quarters of 8x4 with the rules 74, 75 / 75, 74.
    d = Coded(kTagD, 16, 8);
    Draw(76, d.get(), a.get(), nullptr, 128, 16, 8);
    EXPECT_SAME(d, 0, 0, kTagA); // top left, span [0, 4)
    EXPECT_SAME(d, 4, 0, kTagD);
    EXPECT_SAME(d, 11, 0, kTagD); // top right, span [12, 16)
    EXPECT_SAME(d, 12, 0, kTagA);
    EXPECT_SAME(d, 3, 4, kTagD); // bottom left, span [4, 8)
    EXPECT_SAME(d, 4, 4, kTagA);
    EXPECT_SAME(d, 8, 4, kTagA); // bottom right, span [8, 12)
    EXPECT_SAME(d, 12, 4, kTagD);

    // Effect 77 swaps the rules.
    d = Coded(kTagD, 16, 8);
    Draw(77, d.get(), a.get(), nullptr, 128, 16, 8);
    EXPECT_SAME(d, 3, 0, kTagD);
    EXPECT_SAME(d, 4, 0, kTagA);
    EXPECT_SAME(d, 8, 0, kTagA);
    EXPECT_SAME(d, 12, 0, kTagD);
}

TEST_F(TransitionTest, HorizontalBandsFallOneAfterAnother) {
    // p = 255: P = 12800 * 255 / 256 = 12750. Top band: q = 12750 - 9 * 800
    // = 5550 > 3200: A, then B's band 587 rows lower (over the bottom band).
    Draw(78, d_.get(), a_.get(), b_.get(), 255);
    EXPECT_SAME(d_, 5, 0, kTagA);
    EXPECT_SAME(d_, 5, 64, kTagA);
    EXPECT_SAME(d_, 5, 586, kTagA);
    EXPECT_FROM(d_, 5, 587, kTagB, 5, 0);
    EXPECT_FROM(d_, 5, 599, kTagB, 5, 12);

    // p = 100: P = 5000. From the bottom: q = 5000, 4200, 3400 (band 7 at
    // 448: B 50 rows down), 2600, 1800, 1000 (full 2-row lines at 384, 320,
    // 256), 200 (a 200-wide line at 192), then below 1.
    auto d = Coded(kTagD);
    Draw(78, d.get(), a_.get(), b_.get(), 100);
    EXPECT_SAME(d, 5, 497, kTagA);
    EXPECT_FROM(d, 5, 498, kTagB, 5, 448);
    EXPECT_FROM(d, 5, 561, kTagB, 5, 511);
    EXPECT_SAME(d, 5, 562, kTagA);
    EXPECT_SAME(d, 5, 448, kTagA);
    EXPECT_EQ(Px(*d, 5, 384), 0u); // the surface's fill colour
    EXPECT_EQ(Px(*d, 799, 385), 0u);
    EXPECT_SAME(d, 5, 386, kTagD);
    EXPECT_EQ(Px(*d, 799, 257), 0u);
    EXPECT_EQ(Px(*d, 199, 192), 0u);
    EXPECT_SAME(d, 200, 192, kTagD);
    EXPECT_SAME(d, 5, 128, kTagD);

    // p = 10: P = 500, a 500-wide line on the bottom band only.
    d = Coded(kTagD);
    Draw(78, d.get(), a_.get(), b_.get(), 10);
    EXPECT_EQ(Px(*d, 499, 577), 0u);
    EXPECT_SAME(d, 500, 576, kTagD);
    EXPECT_SAME(d, 0, 578, kTagD);
    EXPECT_SAME(d, 0, 575, kTagD);
}

TEST_F(TransitionTest, VerticalBandsRiseOneAfterAnother) {
    // p = 10: P = (20 * 600 * 10) / 256 = 468: a line rising from the bottom
    // of the rightmost band, (768, 132) to (770, 600).
    auto d = Coded(kTagD);
    Draw(79, d.get(), a_.get(), b_.get(), 10);
    EXPECT_EQ(Px(*d, 768, 132), 0u);
    EXPECT_EQ(Px(*d, 769, 599), 0u);
    EXPECT_SAME(d, 769, 131, kTagD);
    EXPECT_SAME(d, 770, 300, kTagD);
    EXPECT_SAME(d, 767, 300, kTagD);

    // p = 128: P = 6000. Band 9 (x = 576): q = 4200, a = 450: A's top 450
    // rows, then B's band from row 450. Band 8: q = 3600, a = 300. Band 6
    // (x = 384): q = 2400, a full line; band 3 (x = 192): q = 600, a line of
    // the whole height; band 2: q = 0, untouched.
    d = Coded(kTagD);
    Draw(79, d.get(), a_.get(), b_.get(), 128);
    EXPECT_SAME(d, 780, 599, kTagA);
    EXPECT_SAME(d, 600, 449, kTagA);
    EXPECT_FROM(d, 600, 450, kTagB, 600, 0);
    EXPECT_FROM(d, 600, 599, kTagB, 600, 149);
    EXPECT_SAME(d, 512, 299, kTagA);
    EXPECT_FROM(d, 512, 300, kTagB, 512, 0);
    EXPECT_EQ(Px(*d, 384, 0), 0u);
    EXPECT_EQ(Px(*d, 385, 599), 0u);
    EXPECT_SAME(d, 386, 0, kTagD);
    EXPECT_EQ(Px(*d, 193, 599), 0u);
    EXPECT_SAME(d, 191, 0, kTagD);
}

// ---------------------------------------------------------------- blends

TEST_F(TransitionTest, CrossFadeBlendsAtConstantAlpha) {
    auto a = MakePicture(3, 2, [](int x, int) { return Grey(200 + x, 0x77); });
    auto b = Solid(3, 2, Grey(100, 0x66));
    auto d = Solid(3, 2, Grey(5, 0x55));
    // p = 0 draws nothing at all, not even B.
    EXPECT_EQ(Draw(39, d.get(), a.get(), b.get(), 0, 3, 2), 0);
    EXPECT_EQ(Pixels(*d), std::vector<std::uint32_t>(6, Grey(5, 0x55)));
    EXPECT_EQ(Draw(39, d.get(), a.get(), b.get(), -1, 3, 2), 1);
    EXPECT_EQ(Pixels(*d), std::vector<std::uint32_t>(6, Grey(5, 0x55)));
    // p = 128: (200 * 128 >> 8) + (100 * 127 >> 8) = 149; fourth byte 0.
    EXPECT_EQ(Draw(39, d.get(), a.get(), b.get(), 128, 3, 2), 0);
    EXPECT_EQ(Px(*d, 0, 0), Grey(149));
    EXPECT_EQ(Px(*d, 2, 1), Grey(150)); // 202 * 128 >> 8 = 101
    // p >= 256 copies A's rectangle from (sx, sy): all four bytes.
    EXPECT_EQ(Draw(39, d.get(), a.get(), b.get(), 256, 2, 2, 0, 0, 1, 0), 1);
    EXPECT_EQ(Px(*d, 0, 0), Grey(201, 0x77));
    EXPECT_EQ(Px(*d, 1, 1), Grey(202, 0x77));
    EXPECT_EQ(Px(*d, 2, 0), Grey(150));
}

TEST_F(TransitionTest, MaskWipeWeighsEachPixelByItsMaskValue) {
    // The first byte of the mask counts; green and red are noise.
    g_maskImage = MakePicture(4, 1, [](int x, int) {
        static const std::uint32_t m[] = {0, 1, 63, 64};
        return 0x00FFEE00u | m[x];
    });
    auto up = Solid(4, 1, Grey(200));
    auto down = Solid(4, 1, Grey(100));
    // p = 205: T = 65600 / 256 = 256; weights 0, 4, 252, 255.
    // a 200, b 100: 100, 100 + 1, 100 + 98, 100 + 99.
    auto d = Solid(4, 1, Grey(0, 0x44));
    Draw(40, d.get(), up.get(), down.get(), 205, 4, 1);
    EXPECT_EQ(Pixels(*d), (std::vector<std::uint32_t>{Grey(100, 0x44), Grey(101, 0x44),
                                                      Grey(198, 0x44), Grey(199, 0x44)}));
    // a 100, b 200 (floor of negative steps): 200, 200 - 2, 200 - 99, 200 - 100.
    Draw(41, d.get(), down.get(), up.get(), 205, 4, 1);
    EXPECT_EQ(Pixels(*d), (std::vector<std::uint32_t>{Grey(200, 0x44), Grey(198, 0x44),
                                                      Grey(101, 0x44), Grey(100, 0x44)}));
    // p = 0: T = 0, dst becomes B.
    Draw(59, d.get(), up.get(), down.get(), 0, 4, 1);
    EXPECT_EQ(Pixels(*d), std::vector<std::uint32_t>(4, Grey(100, 0x44)));
    // p = 255: T = 318, mask 0 gets 4 * 62 = 248: 100 + (100 * 248 >> 8) = 196.
    Draw(69, d.get(), up.get(), down.get(), 255, 4, 1);
    EXPECT_EQ(Px(*d, 0, 0), Grey(196, 0x44));
    EXPECT_EQ(Px(*d, 3, 0), Grey(199, 0x44));
    // Effect 70 is the same wipe.
    auto e = Solid(4, 1, Grey(0, 0x44));
    Draw(70, e.get(), up.get(), down.get(), 255, 4, 1);
    EXPECT_EQ(Pixels(*e), Pixels(*d));
}

TEST_F(TransitionTest, MaskBlendAddsTheProgressWeight) {
    g_maskImage = MakePicture(4, 1, [](int x, int) {
        static const std::uint32_t m[] = {0, 2, 3, 255};
        return m[x];
    });
    auto a = Solid(4, 1, Grey(200, 0x77));
    auto b = Solid(4, 1, Grey(100));
    // p = 128: tA[128] = 64; W = 64 + 0, 64 + 1, 64 + 1, 64 + 127.
    // 100 + (100 * 64 >> 8) = 125; 100 + (100 * 65 >> 8) = 125; 100 + 74.
    auto d = Solid(4, 1, Grey(0, 0x44));
    Draw(32, d.get(), a.get(), b.get(), 128, 4, 1);
    EXPECT_EQ(Pixels(*d), (std::vector<std::uint32_t>{Grey(125, 0x44), Grey(125, 0x44),
                                                      Grey(125, 0x44), Grey(174, 0x44)}));
    // p = 255: tA[255] = 254; W = 254, 255, 256, 381: mixes at 254 and 255,
    // then whole copies of A's pixel.
    Draw(32, d.get(), a.get(), b.get(), 255, 4, 1);
    EXPECT_EQ(Pixels(*d), (std::vector<std::uint32_t>{Grey(199, 0x44), Grey(199, 0x44),
                                                      Grey(200, 0x77), Grey(200, 0x77)}));
    // p = 0: every W is 0, nothing changes.
    auto e = Solid(4, 1, Grey(9, 0x44));
    Draw(32, e.get(), a.get(), b.get(), 0, 4, 1);
    EXPECT_EQ(Pixels(*e), std::vector<std::uint32_t>(4, Grey(9, 0x44)));
}

class SoftWipeTest : public TransitionTest {
protected:
    Picture a = Solid(800, 600, Grey(200, 0x77));
    Picture d = Solid(800, 600, Grey(100, 0x55));
    const std::uint32_t kUntouched = Grey(100, 0x55);
    // 200 over 100 at alpha i: (200 i >> 8) + (100 (255 - i) >> 8).
    static constexpr std::uint32_t At1 = Grey(99), At128 = Grey(149), At255 = Grey(199);
};

TEST_F(SoftWipeTest, LinearRampsTravelAcrossTheScreen) {
    // Effect 62 at 128: E = 528; columns 273..528 at alphas 255..0.
    Draw(62, d.get(), a.get(), nullptr, 128);
    EXPECT_EQ(Px(*d, 528, 0), kUntouched);
    EXPECT_EQ(Px(*d, 527, 0), At1);
    EXPECT_EQ(Px(*d, 400, 599), At128);
    EXPECT_EQ(Px(*d, 273, 0), At255);
    EXPECT_EQ(Px(*d, 272, 0), kUntouched);

    // Effect 63 at 128: E = 272; columns 272 + i at alpha i.
    d = Solid(800, 600, Grey(100, 0x55));
    Draw(63, d.get(), a.get(), nullptr, 128);
    EXPECT_EQ(Px(*d, 272, 0), kUntouched);
    EXPECT_EQ(Px(*d, 273, 0), At1);
    EXPECT_EQ(Px(*d, 527, 0), At255);
    EXPECT_EQ(Px(*d, 528, 0), kUntouched);

    // Effect 64 at 128: E = (128 * 856) >> 8 = 428; rows 173..428.
    d = Solid(800, 600, Grey(100, 0x55));
    Draw(64, d.get(), a.get(), nullptr, 128);
    EXPECT_EQ(Px(*d, 0, 428), kUntouched);
    EXPECT_EQ(Px(*d, 0, 300), At128);
    EXPECT_EQ(Px(*d, 799, 173), At255);
    EXPECT_EQ(Px(*d, 0, 172), kUntouched);

    // Effect 65 at 128: E = 172; rows 172 + i at alpha i.
    d = Solid(800, 600, Grey(100, 0x55));
    Draw(65, d.get(), a.get(), nullptr, 128);
    EXPECT_EQ(Px(*d, 0, 172), kUntouched);
    EXPECT_EQ(Px(*d, 0, 173), At1);
    EXPECT_EQ(Px(*d, 0, 427), At255);
    EXPECT_EQ(Px(*d, 0, 428), kUntouched);
}

TEST_F(SoftWipeTest, CentreRampsBlendTheMiddleLineTwice) {
    // Effect 66 at 32: a = (32 * 1056) >> 9 = 66. Columns 334 + i and 466 - i
    // at alpha i; column 400 (i = 66) twice: 51 + 73 = 124, then
    // 51 + (124 * 189 >> 8) = 142. Column 399 (i = 65): 50 + 74 = 124.
    Draw(66, d.get(), a.get(), nullptr, 32);
    EXPECT_EQ(Px(*d, 400, 10), Grey(142));
    EXPECT_EQ(Px(*d, 399, 10), Grey(124));
    EXPECT_EQ(Px(*d, 401, 10), Grey(124));
    EXPECT_EQ(Px(*d, 334, 10), kUntouched);
    EXPECT_EQ(Px(*d, 335, 10), At1);
    EXPECT_EQ(Px(*d, 465, 10), At1);
    EXPECT_EQ(Px(*d, 466, 10), kUntouched);

    // Effect 67 at 32: a = 27392 >> 9 = 53; row 300 twice at alpha 53:
    // 41 + 78 = 119, then 41 + (119 * 202 >> 8) = 134.
    d = Solid(800, 600, Grey(100, 0x55));
    Draw(67, d.get(), a.get(), nullptr, 32);
    EXPECT_EQ(Px(*d, 5, 300), Grey(134));
    EXPECT_EQ(Px(*d, 5, 247), kUntouched);
    EXPECT_EQ(Px(*d, 5, 248), At1);
    EXPECT_EQ(Px(*d, 5, 352), At1);

    // p = 0 draws nothing; p = 255 copies A.
    d = Solid(800, 600, Grey(100, 0x55));
    Draw(62, d.get(), a.get(), nullptr, 0);
    EXPECT_EQ(Px(*d, 0, 0), kUntouched);
    Draw(62, d.get(), a.get(), nullptr, 255);
    EXPECT_EQ(Pixels(*d), Pixels(*a));
}

TEST_F(TransitionTest, InterlacedFadesAlternateRowsByTheStoredParity) {
    // p = 128, a = 200, d = 100: tA[200] - tA[100] + 100 = 150.
    auto a = Solid(4, 4, Grey(200, 0x77));
    auto d = Solid(4, 4, Grey(100, 0x55));
    Draw(4, d.get(), a.get(), nullptr, 128, 4, 4);
    EXPECT_EQ(Px(*d, 0, 0), Grey(150, 0x55));
    EXPECT_EQ(Px(*d, 3, 2), Grey(150, 0x55));
    EXPECT_EQ(Px(*d, 0, 1), Grey(100, 0x55));
    EXPECT_EQ(Px(*d, 0, 3), Grey(100, 0x55));
    EXPECT_EQ(a->GetInterlaceParity(), 1);
    // The second frame takes the odd rows.
    Draw(4, d.get(), a.get(), nullptr, 128, 4, 4);
    EXPECT_EQ(Px(*d, 0, 1), Grey(150, 0x55));
    EXPECT_EQ(Px(*d, 0, 0), Grey(150, 0x55));
    EXPECT_EQ(a->GetInterlaceParity(), 0);
    // The third the even ones again: tA[200] - tA[150] + 150 = 100 - 75 + 150.
    Draw(4, d.get(), a.get(), nullptr, 128, 4, 4);
    EXPECT_EQ(Px(*d, 0, 0), Grey(175, 0x55));
    EXPECT_EQ(Px(*d, 0, 1), Grey(150, 0x55));

    // p = 0: nothing, parity kept. p = 256: A copied from (sx, sy).
    Draw(4, d.get(), a.get(), nullptr, 0, 4, 4);
    EXPECT_EQ(a->GetInterlaceParity(), 1);
    auto coded = Coded(kTagA, 4, 4);
    Draw(4, d.get(), coded.get(), nullptr, 256, 3, 4, 0, 0, 1, 0);
    EXPECT_FROM(d, 0, 0, kTagA, 1, 0);
    EXPECT_FROM(d, 2, 3, kTagA, 3, 3);

    // Effect 37: tA[255 - 200] + tB[100] = 27 + 50 = 77.
    a->SetInterlaceParity(0);
    auto b = Solid(4, 4, Grey(100));
    auto n = Solid(4, 4, Grey(9, 0x55));
    Draw(37, n.get(), a.get(), b.get(), 128, 4, 4);
    EXPECT_EQ(Px(*n, 1, 0), Grey(77, 0x55));
    EXPECT_EQ(Px(*n, 1, 1), Grey(9, 0x55));
}

TEST_F(TransitionTest, DitherCopiesThePatternOfTheLevel) {
    auto d = Coded(kTagD);
    auto colourOfA = [](int x, int y) {
        return (Code(kTagA, x, y) & 0x00FFFFFFu) | (Code(kTagD, x, y) & 0xFF000000u);
    };
    // p = 0: pattern 0x2080, bits 13 and 7: (x & 3, y & 3) = (0, 2), (2, 0).
    Draw(15, d.get(), a_.get(), b_.get(), 0);
    EXPECT_EQ(Px(*d, 0, 2), colourOfA(0, 2));
    EXPECT_EQ(Px(*d, 2, 0), colourOfA(2, 0));
    EXPECT_EQ(Px(*d, 6, 4), colourOfA(6, 4));
    EXPECT_EQ(Px(*d, 796, 598), colourOfA(796, 598));
    for (auto [x, y] : std::initializer_list<std::pair<int, int>>{
             {0, 0}, {1, 0}, {0, 1}, {2, 2}, {1, 2}, {3, 3}, {4, 4}})
        EXPECT_SAME(d, x, y, kTagD);
    // p = 31 is still level 0; p = 32 is 0xA0A0, which adds (0, 0) and (2, 2).
    Draw(15, d.get(), a_.get(), b_.get(), 31);
    EXPECT_SAME(d, 0, 0, kTagD);
    Draw(15, d.get(), a_.get(), b_.get(), 32);
    EXPECT_EQ(Px(*d, 0, 0), colourOfA(0, 0));
    EXPECT_EQ(Px(*d, 2, 2), colourOfA(2, 2));
    EXPECT_SAME(d, 1, 1, kTagD);
    // p = 224 copies every pixel's colour bytes.
    Draw(15, d.get(), a_.get(), b_.get(), 224);
    EXPECT_EQ(Px(*d, 1, 1), colourOfA(1, 1));
    EXPECT_EQ(Px(*d, 799, 599), colourOfA(799, 599));
}

TEST_F(TransitionTest, MosaicsTakeTheTopLeftPixelOfEachBlock) {
    // Effect 3 at 100: b = 3200 / 256 + 1 = 13; (27, 40) gets A(26, 39).
    Draw(3, d_.get(), a_.get(), b_.get(), 100);
    EXPECT_FROM(d_, 27, 40, kTagA, 26, 39);
    EXPECT_FROM(d_, 25, 38, kTagA, 13, 26);
    EXPECT_FROM(d_, 799, 599, kTagA, 793, 598); // 799 - 799 mod 13, 599 - 599 mod 13

    // 5x3 of a 6x4 surface at 16: b = 3; (4, 2) gets A(3, 0).
    auto a = Coded(kTagA, 6, 4);
    auto d = Coded(kTagD, 6, 4);
    Draw(3, d.get(), a.get(), nullptr, 16, 5, 3);
    EXPECT_FROM(d, 4, 2, kTagA, 3, 0);
    EXPECT_FROM(d, 2, 2, kTagA, 0, 0);
    EXPECT_SAME(d, 5, 0, kTagD);
    EXPECT_SAME(d, 0, 3, kTagD);

    // Effect 38: b = 33 at 0 (one block here); b = 1 from 249.
    Draw(38, d.get(), a.get(), nullptr, 0, 5, 3);
    EXPECT_FROM(d, 4, 2, kTagA, 0, 0);
    Draw(38, d.get(), a.get(), nullptr, 249, 5, 3);
    EXPECT_SAME(d, 4, 2, kTagA);
    EXPECT_SAME(d, 3, 1, kTagA);
}

TEST_F(TransitionTest, BlendMixesWithWeightTables) {
    auto a = MakePicture(4, 2, [](int x, int) { return Grey(100 + 50 * x, 0x77); });
    auto b = Solid(3, 2, Grey(100));
    // a 200 (x = 2), b 100 at 128: tA[200] + tB[100] = 100 + 50; dst keeps
    // its fourth byte.
    auto d = Solid(3, 2, Grey(30, 0x55));
    Draw(68, d.get(), a.get(), b.get(), 128, 3, 2);
    EXPECT_EQ(Px(*d, 2, 0), Grey(150, 0x55));
    // A read at (sx, sy) = (1, 0): A(1, 0) = 150: tA[150] + tB[100] = 75 + 50.
    d = Solid(3, 2, Grey(30, 0x55));
    Draw(68, d.get(), a.get(), b.get(), 128, 3, 2, 0, 0, 1, 0);
    EXPECT_EQ(Px(*d, 0, 0), Grey(125, 0x55));
    // No B: dst stands in for it. tA[200] + tB[30] = 100 + 15.
    d = Solid(3, 2, Grey(30, 0x55));
    Draw(68, d.get(), a.get(), nullptr, 128, 3, 2);
    EXPECT_EQ(Px(*d, 2, 1), Grey(115, 0x55));
    // p = 0 draws nothing.
    Draw(68, d.get(), a.get(), nullptr, 0, 3, 2);
    EXPECT_EQ(Px(*d, 2, 1), Grey(115, 0x55));

    // Effect 73 (through grey). A (30, 60, 90): grey 60; B 100.
    auto colour = Solid(2, 1, 0x00005A3C1Eu);
    auto grey100 = Solid(2, 1, Grey(100));
    auto g = Solid(2, 1, Grey(0, 0x55));
    // p = 64: k = 128, 100 + floor(-40 * 128 / 256) = 80.
    Draw(73, g.get(), colour.get(), grey100.get(), 64, 2, 1);
    EXPECT_EQ(Px(*g, 0, 0), Grey(80, 0x55));
    // p = 128: k = 0, the grey of A.
    Draw(73, g.get(), colour.get(), grey100.get(), 128, 2, 1);
    EXPECT_EQ(Px(*g, 0, 0), Grey(60, 0x55));
    // p = 192: k = 128: 60 - 15, 60, 60 + 15.
    Draw(73, g.get(), colour.get(), grey100.get(), 192, 2, 1);
    EXPECT_EQ(Px(*g, 1, 0), 0x55000000u | (75u << 16) | (60u << 8) | 45u);
}

// ---------------------------------------------------------------- distortions

TEST_F(TransitionTest, LineJitterShiftsRowsByRandomOffsets) {
    // Effect 1 at 255 and effect 2 at 1: n = 1, every offset 0.
    Draw(1, d_.get(), a_.get(), b_.get(), 255);
    EXPECT_EQ(Pixels(*d_), Pixels(*a_));
    auto d = Coded(kTagD);
    Draw(2, d.get(), a_.get(), b_.get(), 1);
    EXPECT_EQ(Pixels(*d), Pixels(*a_));

    // Effect 2 at 2 after srand(0): offsets 38 % 2 - 1 = -1, 7719 % 2 - 1 = 0.
    auto a = Coded(kTagA, 4, 2);
    auto small = Coded(kTagD, 4, 2);
    platform::Srand(0);
    Draw(2, small.get(), a.get(), nullptr, 2, 4, 2);
    EXPECT_FROM(small, 0, 0, kTagA, 1, 0);
    EXPECT_FROM(small, 2, 0, kTagA, 3, 0);
    EXPECT_SAME(small, 3, 0, kTagD);
    EXPECT_SAME(small, 0, 1, kTagA);
    EXPECT_SAME(small, 3, 1, kTagA);
}

TEST_F(TransitionTest, RowWavesBendRowsAlongACosine) {
    // Effect 22 at 0: row 0 off = (65536 * 255) >> 15 = 510; row 128 off 0;
    // row 256 off -510.
    Draw(22, d_.get(), a_.get(), b_.get(), 0);
    EXPECT_SAME(d_, 509, 0, kTagD);
    EXPECT_FROM(d_, 510, 0, kTagA, 0, 0);
    EXPECT_FROM(d_, 799, 0, kTagA, 289, 0);
    EXPECT_SAME(d_, 0, 128, kTagA);
    EXPECT_FROM(d_, 0, 256, kTagA, 510, 256);
    EXPECT_FROM(d_, 289, 256, kTagA, 799, 256);
    EXPECT_SAME(d_, 290, 256, kTagD);
    // Effect 23 at 0, the opposite phase: row 0 off -510.
    auto d = Coded(kTagD);
    Draw(23, d.get(), a_.get(), b_.get(), 0);
    EXPECT_FROM(d, 0, 0, kTagA, 510, 0);
    EXPECT_SAME(d, 290, 0, kTagD);
    // Effect 22 at 255: no offsets, A row by row.
    Draw(22, d.get(), a_.get(), b_.get(), 255);
    EXPECT_EQ(Pixels(*d), Pixels(*a_));
}

// Per colour byte (x * wx + y * wy) >> 8, fourth byte `fourth`.
std::uint32_t Mix(std::uint32_t x, std::uint32_t wx, std::uint32_t y, std::uint32_t wy,
                  std::uint32_t fourth) {
    std::uint32_t out = fourth << 24;
    for (int c = 0; c < 3; ++c)
        out |= ((((x >> (8 * c)) & 0xFF) * wx + ((y >> (8 * c)) & 0xFF) * wy) >> 8) << (8 * c);
    return out;
}

TEST_F(TransitionTest, SwirlsTurnPixelsAboutTheCentre) {
    // Effect 17, flag 1, p = 128 on 800x600: twist k = 256, Rc = 500 * 65536.
    Draw(17, d_.get(), a_.get(), b_.get(), 128, 800, 600, 0, 0, 0, 0, 1);
    // Corner (0, 0): d = Rc, angle 0, the pixel itself, blended over B.
    // A(0,0) colour 0xA00000 and B(0,0) 0xB00000 average to 0xA80000.
    EXPECT_EQ(Px(*d_, 0, 0), 0x2BA80000u);
    // (300, 300): rx = -100, angle (400 * 256) >> 7 = 800 mod 512 = 288;
    // c = cosT[224] = -60547, s = cosT[96] = 25079; X = 92 + 400 = 492,
    // Y = -39 + 300 = 261. A(492, 261) = 0xA415EC and B(300, 300) = 0xB4B12C
    // average to 0xAC638C; the fourth byte is B's.
    EXPECT_EQ(Px(*d_, 300, 300), 0x2BAC638Cu);
    // (401, 300): angle 486, c = 62228, s = 20557: X = 400, Y = 300.
    EXPECT_EQ(Px(*d_, 401, 300),
              Mix(Code(kTagA, 400, 300), 128, Code(kTagB, 401, 300), 128, kTagB));

    // Flag 0: A copied first, B sampled; the same angle (k = 2p = 256).
    auto d = Coded(kTagD);
    Draw(17, d.get(), a_.get(), b_.get(), 128);
    EXPECT_EQ(Px(*d, 300, 300), Mix(Code(kTagA, 300, 300), 128, Code(kTagB, 492, 261), 128, kTagA));

    // Effect 16, flag 1, p = 1: k = 510; (401, 300): angle (499 * 510) >> 7
    // = 1988 mod 512 = 452, c = cosT[60] = 48558, s = cosT[-68] = 44011;
    // (u, v) = (256, 0): X = 189 + 400, Y = 171 + 300.
    d = Coded(kTagD);
    Draw(16, d.get(), a_.get(), b_.get(), 1, 800, 600, 0, 0, 0, 0, 1);
    EXPECT_EQ(Px(*d, 401, 300), (Code(kTagA, 589, 471) & 0xFFFFFFu) | (kTagB << 24));
    // Far from the centre the zoomed source lies outside A: B stays.
    EXPECT_SAME(d, 799, 0, kTagB);
    // Flag 0 at 255 mirrors it: B at (589, 471) over A.
    d = Coded(kTagD);
    Draw(16, d.get(), a_.get(), b_.get(), 255);
    EXPECT_EQ(Px(*d, 401, 300), (Code(kTagB, 589, 471) & 0xFFFFFFu) | (kTagA << 24));
}

TEST_F(TransitionTest, RippleDisplacesAlongTheRing) {
    // A: blue x, green y (low bytes); B grey 100; p = 128: tA = i/2, tB = i/2.
    auto a = MakePicture(800, 600, [](int x, int y) {
        return (static_cast<std::uint32_t>(y & 0xFF) << 8) | static_cast<std::uint32_t>(x & 0xFF);
    });
    auto b = Solid(800, 600, Grey(100));
    auto d = Solid(800, 600, Grey(0, 0x55));
    Draw(36, d.get(), a.get(), b.get(), 128);
    // (410, 300): r = 11, q = 1040, cosT[8 * (11 - 1040)] = cosT[472] = 57797,
    // >> 13 = 7; f = (501 * 7) / 512 = 6; offX = 60 / 11 = 5, offY = 0.
    // Blue 50 + tA[415 & 255 = 159] = 50 + 79; green 50 + tA[44]; red 50.
    EXPECT_EQ(Px(*d, 410, 300), 0x55000000u | (50u << 16) | (72u << 8) | 129u);
    // (400, 310): offY = 5: sample (400, 315), plus 2 * 5:
    // blue 50 + tA[144] + 10 = 132, green 50 + tA[59] + 10 = 89, red 60.
    EXPECT_EQ(Px(*d, 400, 310), 0x55000000u | (60u << 16) | (89u << 8) | 132u);
    // (400, 290): offY = -5: sample (400, 285), minus 10:
    // blue 50 + 72 - 10, green 50 + tA[29] - 10 = 54, red 40.
    EXPECT_EQ(Px(*d, 400, 290), 0x55000000u | (40u << 16) | (54u << 8) | 112u);
    // Corner: r = 501, amplitude -8, f = -88 / 512 = 0: a plain blend.
    EXPECT_EQ(Px(*d, 0, 0), Grey(50, 0x55));
}

TEST_F(TransitionTest, ScatteredTilesStartNearlyInPlace) {
    // Effect 20 at 1: K = 1400 - ((255 * 1400) >> 8) = 6, alpha 254. Tile
    // (0, 0): t = 500, (ux, uy) = (-204, -153), rnd[0] = 38:
    // X = (38 * -204 * 6) >> 16 = -1, Y = (38 * -153 * 6) >> 16 = -1.
    // Pixel (0, 0) is then B(1, 1) blended at 254 over A's black.
    auto a = Solid(800, 600, Grey(0));
    auto b = MakePicture(800, 600, [](int x, int y) {
        return (64u << 16) | (static_cast<std::uint32_t>(100 + (y & 0x7F)) << 8) |
               static_cast<std::uint32_t>(100 + (x & 0x7F));
    });
    auto d = Coded(kTagD);
    Draw(20, d.get(), a.get(), b.get(), 1);
    // (101 * 254) >> 8 = 100, (64 * 254) >> 8 = 63.
    EXPECT_EQ(Px(*d, 0, 0), (63u << 16) | (100u << 8) | 100u);
}

TEST_F(TransitionTest, IncrementalSwirlBlendsTheTurnedPixelOverTheLastFrame) {
    // Effect 18 at p = 128: twist k = 2 * (255 - 128) = 254, Rc = 500 << 16.
    Draw(18, d_.get(), a_.get(), b_.get(), 128);
    // (300, 300): d = 100 << 16, angle (400 * 254) >> 7 = 793 mod 512 = 281;
    // c = cosT[231] = -62475, s = cosT[103] = 19792; rx = -100, ry = 0:
    // X = (6247500 >> 16) + 400 = 95 + 400, Y = (-1979200 >> 16) + 300 = 269.
    EXPECT_EQ(Px(*d_, 300, 300),
              Mix(Code(kTagA, 495, 269), 128, Code(kTagD, 300, 300), 128, kTagD));
    // (600, 150): rx = 200, ry = -150, d = 250 << 16, angle 496;
    // c = cosT[16] = 64276, s = cosT[400] = 12785:
    // X = 196 - (-30) + 400 = 626, Y = 39 + 300 + (-148) = 191.
    EXPECT_EQ(Px(*d_, 600, 150),
              Mix(Code(kTagA, 626, 191), 128, Code(kTagD, 600, 150), 128, kTagD));
    // (100, 450): rx = -300, ry = 150, (Rc - d) >> 16 = 164, angle 325;
    // c = cosT[187] = -43412, s = cosT[59] = 49095: Y = -225 + 300 + (-100)
    // = -25 lies above A, so the last frame's pixel stays.
    EXPECT_SAME(d_, 100, 450, kTagD);

    // At 255 the twist is gone and A is copied outright, fourth byte too.
    auto d = Coded(kTagD);
    Draw(18, d.get(), a_.get(), b_.get(), 255);
    EXPECT_EQ(Pixels(*d), Pixels(*a_));
    // Below 1 nothing is drawn.
    d = Coded(kTagD);
    Draw(18, d.get(), a_.get(), b_.get(), 0);
    EXPECT_SAME(d, 300, 300, kTagD);
}

TEST_F(TransitionTest, GatheringTilesSettleAlongTheirRaysOverB) {
    // Effect 19 at p = 250: B first, K = 1400 - ((1400 * 250) >> 8) = 33,
    // A's 4x4 tiles blended at alpha 250: (A * 250 >> 8) + (B * 5 >> 8).
    auto d = Coded(kTagD);
    Draw(19, d.get(), a_.get(), b_.get(), 250);
    // The centre tile (400, 300): t = 0, (ux, uy) = (0, 0), in place.
    // A(401, 301) = 0xA4B591, B = 0xB4B591: blue (145 * 250 >> 8) + (145 * 5
    // >> 8) = 141 + 2, green 176 + 3, red 160 + 3; the fourth byte is 0.
    EXPECT_EQ(Px(*d, 401, 301), 0x00A3B38Fu);
    // Tile (404, 300): t = 4, ux = 256, rnd[(10 * 300 + 404) mod 256] = 187:
    // X = (187 * 256 * 33 >> 16) + 404 = 428. Pixel (429, 301) is A(405, 301).
    EXPECT_EQ(Px(*d, 429, 301), 0x00A3B394u);
    // Tile (0, 0): t = 500, (ux, uy) = (-204, -153), rnd[0] = 38:
    // X = (38 * -204 * 33 >> 16) = -4, Y = -3; it leaves (0, 0) to B, and
    // no tile reaches (410, 301): the place the tile (404, 300) left.
    EXPECT_SAME(d, 0, 0, kTagB);
    EXPECT_SAME(d, 410, 301, kTagB);
}

TEST_F(TransitionTest, SwirlingTilesTurnWithTheCosineAndLeaveTrails) {
    // Effect 21 at p = 160: K = 1400 - ((1400 * 160) >> 8) = 525; u uses
    // cosT[2 * 96 - 128] = cosT[64] = 46340, v uses cosT[192] = -46340.
    Draw(21, d_.get(), a_.get(), b_.get(), 160);
    // Tile (404, 300): t = 4, u = ((46340 * 1024) >> 16) / 4 = 724 / 4 = 181,
    // v = 0: X = (181 * 525 >> 8) + 404 = 371 + 404 = 775.
    EXPECT_FROM(d_, 775, 300, kTagA, 404, 300);
    // Tile (396, 298): rx = -4, ry = -2, t = 4: u = -725 / 4 = -181,
    // v = (-46340 * -512 >> 16) / 4 = 362 / 4 = 90: X = -372 + 396 = 24,
    // Y = (90 * 525 >> 8) + 298 = 184 + 298 = 482.
    EXPECT_FROM(d_, 24, 482, kTagA, 396, 298);
    // Tile (500, 400): t = 141, u = (46340 * 25600 >> 16) / 141 = 128,
    // v = -128: X = 262 + 500, Y = -263 + 400.
    EXPECT_FROM(d_, 762, 137, kTagA, 500, 400);
    // The centre tile stays (t = 0, u = rx = 0); what no tile reaches keeps
    // the last frame.
    EXPECT_FROM(d_, 401, 300, kTagA, 401, 300);
    EXPECT_SAME(d_, 420, 300, kTagD);
}

// ---------------------------------------------------------------- mended faults

TEST_F(TransitionTest, MaskEffectsWithoutAUsableMaskCrossFade) {
    auto a = Solid(4, 3, Grey(200, 0x77));
    auto b = Solid(4, 3, Grey(100, 0x66));
    const std::vector<std::uint32_t> crossFaded(12, Grey(149));
    for (int effect : {32, 40, 50, 59, 69, 70}) {
        // No mask at all.
        g_maskImage.reset();
        auto d = Solid(4, 3, Grey(5, 0x55));
        Draw(effect, d.get(), a.get(), b.get(), 128, 4, 3);
        EXPECT_EQ(Pixels(*d), crossFaded) << effect;
        // A mask picture without pixels.
        g_maskImage = std::make_unique<CDib>();
        d = Solid(4, 3, Grey(5, 0x55));
        Draw(effect, d.get(), a.get(), b.get(), 128, 4, 3);
        EXPECT_EQ(Pixels(*d), crossFaded) << effect;
        // A mask one column short of the area.
        g_maskImage = Solid(3, 3, 0xFF);
        d = Solid(4, 3, Grey(5, 0x55));
        Draw(effect, d.get(), a.get(), b.get(), 128, 4, 3);
        EXPECT_EQ(Pixels(*d), crossFaded) << effect;
    }
    // A mask that covers what is drawn is used even when the rectangle
    // reaches past the surfaces: mask 255 at T = 160 gives weight 255.
    g_maskImage = Solid(4, 3, 0xFF);
    auto d = Solid(4, 3, Grey(5, 0x55));
    Draw(40, d.get(), a.get(), b.get(), 128, 10, 10);
    EXPECT_EQ(Px(*d, 3, 2), Grey(199, 0x55));
}

TEST_F(TransitionTest, ProgressProductsDoNotWrapAt32Bits) {
    // p * 400 for p = 10,000,000 passes 2^31: in 32 bits it would turn
    // negative and draw nothing; the rectangle is the whole screen.
    Draw(9, d_.get(), a_.get(), b_.get(), 10'000'000);
    EXPECT_EQ(Pixels(*d_), Pixels(*a_));
    auto d = Coded(kTagD);
    Draw(14, d.get(), a_.get(), b_.get(), 10'000'000);
    EXPECT_EQ(Pixels(*d), Pixels(*a_));
}

TEST_F(TransitionTest, DitherAndMaskBlendHoldProgressToTheirTables) {
    // Past 255 the dither stays on its last level (every pixel) and the
    // mask blend on its last weight (W = tA[m] + 254).
    auto d = Coded(kTagD);
    Draw(15, d.get(), a_.get(), b_.get(), 300);
    EXPECT_EQ(Px(*d, 1, 1), (Code(kTagA, 1, 1) & 0xFFFFFFu) | (kTagD << 24));
    d = Coded(kTagD);
    Draw(15, d.get(), a_.get(), b_.get(), -40);
    EXPECT_SAME(d, 0, 0, kTagD);
    EXPECT_EQ(Px(*d, 0, 2), (Code(kTagA, 0, 2) & 0xFFFFFFu) | (kTagD << 24));

    g_maskImage = Solid(2, 1, 0);
    auto a = Solid(2, 1, Grey(200));
    auto b = Solid(2, 1, Grey(100));
    auto m = Solid(2, 1, Grey(0, 0x44));
    Draw(32, m.get(), a.get(), b.get(), 100000, 2, 1);
    EXPECT_EQ(Px(*m, 0, 0), Grey(199, 0x44)); // W = 254: 100 + 99
    // The blend's weights hold at 256 (all A), not wrapping bytes.
    auto g = Solid(2, 1, Grey(30, 0x55));
    Draw(68, g.get(), a.get(), b.get(), 300, 2, 1);
    EXPECT_EQ(Px(*g, 0, 0), Grey(200, 0x55));
}

TEST_F(TransitionTest, MosaicBlocksAreAtLeastOnePixel) {
    // p = -100: (-3200 / 256) + 1 = -11, held at 1: A pixel for pixel.
    auto a = Coded(kTagA, 5, 3);
    auto d = Coded(kTagD, 5, 3);
    Draw(3, d.get(), a.get(), nullptr, -100, 5, 3);
    EXPECT_EQ(Pixels(*d), Pixels(*a));
    d = Coded(kTagD, 5, 3);
    Draw(38, d.get(), a.get(), nullptr, 100000, 5, 3);
    EXPECT_EQ(Pixels(*d), Pixels(*a));
}

TEST_F(TransitionTest, InterlacedRowPastAnOddRectangleIsLeftAlone) {
    // h = 3 with parity 1: rows 1 and 3; row 3 lies outside the rectangle.
    auto a = Solid(4, 4, Grey(200));
    a->SetInterlaceParity(1);
    auto d = Solid(4, 4, Grey(100));
    Draw(4, d.get(), a.get(), nullptr, 128, 4, 3);
    EXPECT_EQ(Px(*d, 0, 1), Grey(150));
    EXPECT_EQ(Px(*d, 0, 3), Grey(100));
    EXPECT_EQ(Px(*d, 0, 0), Grey(100));
}

TEST_F(TransitionTest, InterlacedFadesCountRowsFromTheTopWhateverDyAndSy) {
    // dx = 1, dy = 2, sx = 2, sy = 1, w = 2, h = 3, parity 0: rows 0 and 2
    // of dst, columns 1 and 2, each from the same row of A at columns 2 and 3.
    // p = 128, a = 200, d = 100: tA[200] - tA[100] + 100 = 150.
    auto a = MakePicture(
        6, 6, [](int x, int y) { return Grey(x >= 2 && x <= 3 && y % 2 == 0 ? 200 : 0); });
    auto d = Solid(6, 6, Grey(100));
    Draw(4, d.get(), a.get(), nullptr, 128, 2, 3, 1, 2, 2, 1);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool faded = (y == 0 || y == 2) && (x == 1 || x == 2);
            EXPECT_EQ(Px(*d, x, y), Grey(faded ? 150 : 100)) << x << "," << y;
        }
    // Effect 37 reads B at (dx, row) too: tA[255 - 200] + tB[60] = 27 + 30 = 57.
    a->SetInterlaceParity(0);
    auto b = MakePicture(
        6, 6, [](int x, int y) { return Grey(x >= 1 && x <= 2 && y % 2 == 0 ? 60 : 0); });
    auto n = Solid(6, 6, Grey(9));
    Draw(37, n.get(), a.get(), b.get(), 128, 2, 3, 1, 2, 2, 1);
    EXPECT_EQ(Px(*n, 1, 0), Grey(57));
    EXPECT_EQ(Px(*n, 2, 2), Grey(57));
    EXPECT_EQ(Px(*n, 1, 3), Grey(9));
    EXPECT_EQ(Px(*n, 0, 0), Grey(9));
}

TEST_F(TransitionTest, WaveBlendsReadTheirOwnRowAsItWasBeforeTheCopy) {
    // Effect 24 on one 800-wide row at p = 128: off = 127. B is copied to
    // 127.., then dst's own row to 127.. (read as it was after that copy),
    // then A blended at 128. So dst[k] = blend(A[k - 127], B[k - 254]) for
    // k >= 254, and blend(A, D[k - 127]) below.
    auto a = Solid(800, 1, Grey(200));
    auto b =
        MakePicture(800, 1, [](int x, int) { return Grey(static_cast<std::uint32_t>(x & 0xFF)); });
    auto d = Solid(800, 1, Grey(7, 0x55));
    Draw(24, d.get(), a.get(), b.get(), 128, 800, 1);
    // 100 + (46 * 127 >> 8) = 122 (a smear would repeat D: 100 + 3).
    EXPECT_EQ(Px(*d, 300, 0), Grey(122));
    EXPECT_EQ(Px(*d, 150, 0), Grey(103));
    EXPECT_EQ(Px(*d, 100, 0), Grey(7, 0x55));

    // Effect 25 at 128: m = 128; A's first 128 pixels, then A's row (base)
    // at 128.., dst's row onto itself at 128.., B blended at alpha
    // 255 - 64 = 191. dst[k] = blend(B, A[k - 256]) for k >= 256.
    auto a2 = MakePicture(
        800, 1, [](int x, int) { return Grey(static_cast<std::uint32_t>(x & 0xFF), 0x77); });
    auto b2 = Solid(800, 1, Grey(200));
    auto d2 = Solid(800, 1, Grey(7, 0x55));
    Draw(25, d2.get(), a2.get(), b2.get(), 128, 800, 1);
    // 149 + (144 * 64 >> 8) = 185 (a smear would give A[16]: 149 + 4).
    EXPECT_EQ(Px(*d2, 400, 0), Grey(185));
    EXPECT_EQ(Px(*d2, 200, 0), Grey(167)); // A[72]: 149 + 18
    EXPECT_EQ(Px(*d2, 100, 0), Grey(100, 0x77));
}

TEST_F(TransitionTest, EffectsClipToSurfacesAndRectangle) {
    // Cross-fade of a 10x10 rectangle at (-2, -1) onto 4x4: dst(0, 0) takes
    // A(sx + 2, sy + 1) over B at the same place.
    auto a = MakePicture(12, 12,
                         [](int x, int y) { return Grey(static_cast<std::uint32_t>(10 * x + y)); });
    auto b = Solid(12, 12, Grey(0));
    auto d = Solid(4, 4, Grey(9));
    Draw(39, d.get(), a.get(), b.get(), 255, 10, 10, -2, -1, 0, 0);
    // A(2, 1) = 21: 21 * 255 >> 8 = 20.
    EXPECT_EQ(Px(*d, 0, 0), Grey(20));
    // A(5, 4) = 54: 53.
    EXPECT_EQ(Px(*d, 3, 3), Grey(53));

    // A rectangle smaller than the surfaces leaves the rest alone even when
    // an effect moves pixels out of it: row waves at (1, 1, 3, 2) on 6x4,
    // p = 254: row 0 shifts by (65536 * 1) >> 15 = 2, row 1 by
    // (cosT[1] = 65531) >> 15 = 1.
    auto ca = Coded(kTagA, 6, 4);
    auto cd = Coded(kTagD, 6, 4);
    Draw(22, cd.get(), ca.get(), nullptr, 254, 3, 2, 1, 1);
    EXPECT_SAME(cd, 1, 1, kTagD);
    EXPECT_FROM(cd, 3, 1, kTagA, 0, 0);
    EXPECT_FROM(cd, 2, 2, kTagA, 0, 1);
    EXPECT_FROM(cd, 3, 2, kTagA, 1, 1);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            if (x >= 1 && x < 4 && y >= 1 && y < 3) continue;
            EXPECT_SAME(cd, x, y, kTagD) << x << "," << y;
        }
    }
}

} // namespace
