// The rectangle blits under the transitions: clipping, stretch stepping, the
// blend arithmetic, self-blits, and the SIMD row kernels against their plain
// twins.
#include "gfx/TransitionBlit.h"
#include "gfx/Dib.h"
#include "gfx/TransitionKernels.h"
#include "gfx/TransitionTestSupport.h"

#include <gtest/gtest.h>

#include <array>

using namespace transition_test;
namespace tb = transition_blit;

namespace {

const tb::Rect kNoClip{-100000, -100000, 100000, 100000};

TEST(TransitionBlitTest, UnscaledCopyClipsDestinationAndMovesTheSource) {
    // A 100-wide source row copied to x = -30 lands as source columns 30..99
    // on columns 0..69; column 70 keeps its old pixel.
    auto src = Coded(kTagA, 100, 20);
    auto dst = Coded(kTagD, 120, 40);
    tb::Copy(dst.get(), -30, 10, src.get(), 0, 0, 100, 20, kNoClip);
    EXPECT_EQ(Px(*dst, 0, 10), Code(kTagA, 30, 0));
    EXPECT_EQ(Px(*dst, 69, 10), Code(kTagA, 99, 0));
    EXPECT_EQ(Px(*dst, 69, 29), Code(kTagA, 99, 19));
    EXPECT_EQ(Px(*dst, 70, 10), Code(kTagD, 70, 10));
    EXPECT_EQ(Px(*dst, 0, 9), Code(kTagD, 0, 9));
    EXPECT_EQ(Px(*dst, 0, 30), Code(kTagD, 0, 30));

    // The clip rectangle limits the destination as the image does.
    auto clipped = Coded(kTagD, 8, 4);
    tb::Copy(clipped.get(), 0, 0, src.get(), 0, 0, 8, 4, tb::Rect{2, 1, 5, 3});
    EXPECT_EQ(Px(*clipped, 1, 1), Code(kTagD, 1, 1));
    EXPECT_EQ(Px(*clipped, 2, 1), Code(kTagA, 2, 1));
    EXPECT_EQ(Px(*clipped, 4, 2), Code(kTagA, 4, 2));
    EXPECT_EQ(Px(*clipped, 5, 2), Code(kTagD, 5, 2));
    EXPECT_EQ(Px(*clipped, 4, 3), Code(kTagD, 4, 3));
}

TEST(TransitionBlitTest, SourceReachingOutsideItsImageDrawsNothing) {
    auto src = Coded(kTagA, 8, 2);
    auto dst = Coded(kTagD, 10, 2);
    const auto before = Pixels(*dst);
    tb::Copy(dst.get(), 0, 0, src.get(), 0, 0, 9, 1, kNoClip); // one column too wide
    tb::Copy(dst.get(), 0, 0, src.get(), -1, 0, 4, 1, kNoClip);
    tb::Copy(dst.get(), 0, 0, src.get(), 0, 0, 0, 1, kNoClip);           // empty
    tb::Stretch(dst.get(), 0, 0, -3, 1, src.get(), 0, 0, 2, 1, kNoClip); // negative size
    tb::Copy(dst.get(), 0, 0, nullptr, 0, 0, 4, 1, kNoClip);
    tb::Copy(nullptr, 0, 0, src.get(), 0, 0, 4, 1, kNoClip);
    EXPECT_EQ(Pixels(*dst), before);
}

TEST(TransitionBlitTest, StretchStepsThroughTheSource) {
    auto src = Coded(kTagA, 3, 3);
    // 1 -> 2: the same source pixel twice.
    auto dst = Coded(kTagD, 4, 1);
    tb::Stretch(dst.get(), 0, 0, 2, 1, src.get(), 1, 0, 1, 1, kNoClip);
    EXPECT_EQ(Px(*dst, 0, 0), Code(kTagA, 1, 0));
    EXPECT_EQ(Px(*dst, 1, 0), Code(kTagA, 1, 0));
    EXPECT_EQ(Px(*dst, 2, 0), Code(kTagD, 2, 0));
    // 3 -> 2: columns 0 and 1 (floor((i * 3 - 1) / 2) for i = 1 is 1).
    tb::Stretch(dst.get(), 0, 0, 2, 1, src.get(), 0, 0, 3, 1, kNoClip);
    EXPECT_EQ(Px(*dst, 0, 0), Code(kTagA, 0, 0));
    EXPECT_EQ(Px(*dst, 1, 0), Code(kTagA, 1, 0));

    // 2 -> 4 at x = -1: error starts at -4 + 1 * 2 = -2 (not above 0), then
    // -3; steps add 2: the clipped row reads columns 0, 0, 1.
    auto row = Coded(kTagD, 4, 1);
    tb::Stretch(row.get(), -1, 0, 4, 1, src.get(), 0, 0, 2, 1, kNoClip);
    EXPECT_EQ(Px(*row, 0, 0), Code(kTagA, 0, 0));
    EXPECT_EQ(Px(*row, 1, 0), Code(kTagA, 0, 0));
    EXPECT_EQ(Px(*row, 2, 0), Code(kTagA, 1, 0));
    EXPECT_EQ(Px(*row, 3, 0), Code(kTagD, 3, 0));

    // Rows step the same way: 3 rows onto 2 read rows 0 and 1.
    auto column = Coded(kTagD, 1, 3);
    tb::Stretch(column.get(), 0, 0, 1, 2, src.get(), 2, 0, 1, 3, kNoClip);
    EXPECT_EQ(Px(*column, 0, 0), Code(kTagA, 2, 0));
    EXPECT_EQ(Px(*column, 0, 1), Code(kTagA, 2, 1));
    EXPECT_EQ(Px(*column, 0, 2), Code(kTagD, 0, 2));
}

TEST(TransitionBlitTest, BlendArithmeticAndAlphaRanges) {
    auto src = Solid(2, 1, Grey(200, 0x77));
    // Alpha 128: (200 * 128 >> 8) + (100 * 127 >> 8) = 100 + 49; fourth byte 0.
    auto dst = Solid(2, 1, Grey(100, 0x55));
    tb::StretchBlend(dst.get(), 0, 0, 2, 1, src.get(), 0, 0, 2, 1, 128, kNoClip);
    EXPECT_EQ(Px(*dst, 0, 0), Grey(149));
    // Alpha 255 (factors 255 and 0): 200 * 255 >> 8 = 199.
    dst = Solid(2, 1, Grey(100, 0x55));
    tb::StretchBlend(dst.get(), 0, 0, 2, 1, src.get(), 0, 0, 2, 1, 255, kNoClip);
    EXPECT_EQ(Px(*dst, 1, 0), Grey(199));
    // 256 copies the whole word; 0 and 65536 (low 16 bits 0) draw nothing.
    dst = Solid(2, 1, Grey(100, 0x55));
    tb::StretchBlend(dst.get(), 0, 0, 2, 1, src.get(), 0, 0, 2, 1, 256, kNoClip);
    EXPECT_EQ(Px(*dst, 0, 0), Grey(200, 0x77));
    dst = Solid(2, 1, Grey(100, 0x55));
    tb::StretchBlend(dst.get(), 0, 0, 2, 1, src.get(), 0, 0, 2, 1, 0, kNoClip);
    tb::StretchBlend(dst.get(), 0, 0, 2, 1, src.get(), 0, 0, 2, 1, 65536, kNoClip);
    EXPECT_EQ(Px(*dst, 0, 0), Grey(100, 0x55));

    // BlendEx: alpha 0 leaves even the base out; 300 copies `over`.
    auto base = Solid(2, 1, Grey(100, 0x66));
    dst = Solid(2, 1, Grey(7, 0x55));
    tb::BlendEx(dst.get(), base.get(), 0, 0, src.get(), 0, 0, 2, 1, 0, kNoClip);
    EXPECT_EQ(Px(*dst, 0, 0), Grey(7, 0x55));
    tb::BlendEx(dst.get(), base.get(), 0, 0, src.get(), 0, 0, 2, 1, 300, kNoClip);
    EXPECT_EQ(Px(*dst, 0, 0), Grey(200, 0x77));
    tb::BlendEx(dst.get(), base.get(), 0, 0, src.get(), 0, 0, 2, 1, 128, kNoClip);
    EXPECT_EQ(Px(*dst, 1, 0), Grey(149));
}

TEST(TransitionBlitTest, BlendExWithOneSourceTooSmallStillDoesTheOtherStep) {
    // The base cannot cover the rectangle, so only the blend of `over` onto
    // what dst held is drawn: (200 * 64 >> 8) + (40 * 191 >> 8) = 50 + 29.
    auto over = Solid(2, 1, Grey(200));
    auto base = Solid(1, 1, Grey(100));
    auto dst = Solid(2, 1, Grey(40));
    tb::BlendEx(dst.get(), base.get(), 0, 0, over.get(), 0, 0, 2, 1, 64, kNoClip);
    EXPECT_EQ(Px(*dst, 0, 0), Grey(79));
    EXPECT_EQ(Px(*dst, 1, 0), Grey(79));
}

TEST(TransitionBlitTest, SelfBlitAtAnOffsetReadsTheSourceAsItWas) {
    // Row 1 2 3 4 5 6 copied from columns 0..4 to 1..5 of itself: as if the
    // source had been copied first (1 1 2 3 4 5), never smeared (1 1 1 1 1 1).
    auto row = MakePicture(6, 1, [](int x, int) { return static_cast<std::uint32_t>(x + 1); });
    tb::Copy(row.get(), 1, 0, row.get(), 0, 0, 5, 1, kNoClip);
    EXPECT_EQ(Pixels(*row), (std::vector<std::uint32_t>{1, 1, 2, 3, 4, 5}));
    // Leftward and downward overlaps as well.
    tb::Copy(row.get(), 0, 0, row.get(), 2, 0, 4, 1, kNoClip);
    EXPECT_EQ(Pixels(*row), (std::vector<std::uint32_t>{2, 3, 4, 5, 4, 5}));
    auto column = MakePicture(1, 4, [](int, int y) { return static_cast<std::uint32_t>(y + 1); });
    tb::Copy(column.get(), 0, 1, column.get(), 0, 0, 1, 3, kNoClip);
    EXPECT_EQ(Pixels(*column), (std::vector<std::uint32_t>{1, 1, 2, 3}));

    // OverBlend with the same place for the copy changes nothing before the blend.
    auto dst =
        MakePicture(3, 1, [](int x, int) { return Grey(static_cast<std::uint32_t>(10 * x)); });
    auto over = Solid(3, 1, Grey(200));
    tb::OverBlend(dst.get(), 0, 0, over.get(), nullptr, 0, 0, 3, 1, 128, kNoClip);
    // (200 * 128 >> 8) + (20 * 127 >> 8) = 100 + 9.
    EXPECT_EQ(Px(*dst, 2, 0), Grey(109));
}

TEST(TransitionBlitTest, StretchedAndBlendedSelfBlitsReadTheSourceAsItWas) {
    // Rows 0..1 of the column 1 2 3 4 stretched over all four rows: the
    // error starts at -4 - 1 and gains 2 a row, so rows 0, 0, 0, 1 are read:
    // 1 1 1 2. Drawn row by row from the live picture the last row would
    // read back row 1 already overwritten, giving 1 1 1 1.
    auto column = MakePicture(1, 4, [](int, int y) { return static_cast<std::uint32_t>(y + 1); });
    tb::Stretch(column.get(), 0, 0, 1, 4, column.get(), 0, 0, 1, 2, kNoClip);
    EXPECT_EQ(Pixels(*column), (std::vector<std::uint32_t>{1, 1, 1, 2}));

    // Rows 0..1 blended one row down at 128. Row 1: (0 * 128 >> 8) +
    // (100 * 127 >> 8) = 49; row 2 reads row 1 as it was (100):
    // 50 + (200 * 127 >> 8) = 50 + 99, not 24 + 99 from the new row 1.
    auto greys =
        MakePicture(1, 3, [](int, int y) { return Grey(static_cast<std::uint32_t>(100 * y)); });
    tb::StretchBlend(greys.get(), 0, 1, 1, 2, greys.get(), 0, 0, 1, 2, 128, kNoClip);
    EXPECT_EQ(Px(*greys, 0, 0), Grey(0));
    EXPECT_EQ(Px(*greys, 0, 1), Grey(49));
    EXPECT_EQ(Px(*greys, 0, 2), Grey(149));

    // A source starting above the picture, moved down by two and clipped to
    // rows 2..3: the clip brings the read back to rows 0..1, which land on
    // rows 2..3 (1 2 1 2).
    column = MakePicture(1, 4, [](int, int y) { return static_cast<std::uint32_t>(y + 1); });
    tb::Copy(column.get(), 0, 1, column.get(), 0, -1, 1, 3, tb::Rect{0, 2, 1, 4});
    EXPECT_EQ(Pixels(*column), (std::vector<std::uint32_t>{1, 2, 1, 2}));
    // Unclipped, the same source reaches outside the picture: nothing drawn.
    tb::Stretch(column.get(), 0, 0, 1, 4, column.get(), 0, -1, 1, 3, kNoClip);
    EXPECT_EQ(Pixels(*column), (std::vector<std::uint32_t>{1, 2, 1, 2}));
}

TEST(TransitionBlitTest, FillUsesTheFillColourAndClips) {
    auto dst = Coded(kTagD, 4, 3);
    tb::FillWithFillColour(dst.get(), -1, 1, 3, 5, tb::Rect{0, 0, 4, 2});
    EXPECT_EQ(Px(*dst, 0, 1), 0u);
    EXPECT_EQ(Px(*dst, 1, 1), 0u);
    EXPECT_EQ(Px(*dst, 2, 1), Code(kTagD, 2, 1));
    EXPECT_EQ(Px(*dst, 0, 2), Code(kTagD, 0, 2));
    EXPECT_EQ(Px(*dst, 0, 0), Code(kTagD, 0, 0));
}

TEST(TransitionBlitTest, AgreesWithTheSurfaceBlits) {
    // The transition blits stand in for the surface's own copy and blend
    // kernels with a clip rectangle; over a grid of positions, sizes, scales
    // and clips they must draw the same pixels.
    auto src = Coded(kTagA, 7, 5);
    const std::array<tb::Rect, 3> clips = {tb::Rect{0, 0, 9, 6}, tb::Rect{1, 2, 6, 5},
                                           tb::Rect{-3, -3, 20, 4}};
    int compared = 0;
    for (const tb::Rect& clip : clips) {
        for (int dx = -4; dx <= 8; dx += 3) {
            for (int sx = -1; sx <= 3; sx += 2) {
                for (int w = 1; w <= 7; w += 3) {
                    for (int dw = 1; dw <= 13; dw += 4) {
                        for (std::uint32_t alpha : {0u, 1u, 128u, 255u}) {
                            auto mine = Coded(kTagD, 9, 6);
                            auto theirs = Coded(kTagD, 9, 6);
                            const int dy = dx / 2, sy = sx / 2, h = w / 2 + 1, dh = dw / 2 + 1;
                            DibRect k{static_cast<int>(clip.left), static_cast<int>(clip.top),
                                      static_cast<int>(clip.right), static_cast<int>(clip.bottom)};
                            const DibRect sr{sx, sy, sx + w, sy + h};
                            const DibSize size{dw, dh};
                            if (alpha == 0) {
                                tb::Stretch(mine.get(), dx, dy, dw, dh, src.get(), sx, sy, w, h,
                                            clip);
                                theirs->Blt(src.get(), dx, dy, &sr, &size, &k);
                            } else {
                                tb::StretchBlendKernel(mine.get(), dx, dy, dw, dh, src.get(), sx,
                                                       sy, w, h, alpha, clip);
                                theirs->BltBlend(src.get(), dx, dy, (255 - alpha) * 0x010101u,
                                                 alpha * 0x010101u, &sr, &size, &k);
                            }
                            ASSERT_EQ(Pixels(*mine), Pixels(*theirs))
                                << "dx " << dx << " sx " << sx << " w " << w << " dw " << dw
                                << " alpha " << alpha << " clip " << clip.left << "," << clip.top;
                            ++compared;
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(compared, 3 * 5 * 3 * 3 * 4 * 4);
}

TEST(TransitionKernelTest, SimdBlendMatchesThePlainLoop) {
    // Rows of every length up to 19 (tails included), values across the
    // whole byte range, every alpha.
    std::vector<std::uint32_t> s(19), b(19);
    for (std::size_t i = 0; i < s.size(); ++i) {
        s[i] = static_cast<std::uint32_t>(i * 0x0D1F2B37u + 0xFF00FF00u);
        b[i] = static_cast<std::uint32_t>(i * 0x7F1F0301u + 0x00FF00FFu);
    }
    for (std::uint32_t alpha = 0; alpha < 256; ++alpha) {
        for (std::size_t n = 0; n <= s.size(); ++n) {
            std::vector<std::uint32_t> plain(n, 0xDEADBEEF), simd(n, 0xDEADBEEF);
            transition_kernels::BlendRowScalar(plain.data(), s.data(), b.data(), n, alpha);
            transition_kernels::BlendRowSimd(simd.data(), s.data(), b.data(), n, alpha);
            ASSERT_EQ(plain, simd) << "alpha " << alpha << " n " << n;
        }
    }
    // In place (d is b) as the stretched blend uses it.
    std::vector<std::uint32_t> plain = b, simd = b;
    transition_kernels::BlendRowScalar(plain.data(), s.data(), plain.data(), plain.size(), 77);
    transition_kernels::BlendRowSimd(simd.data(), s.data(), simd.data(), simd.size(), 77);
    EXPECT_EQ(plain, simd);
    // And the plain loop itself against a worked pixel: 200/100 at 128 -> 149.
    std::uint32_t d = 0;
    const std::uint32_t sv = Grey(200, 9), bv = Grey(100, 9);
    transition_kernels::BlendRowScalar(&d, &sv, &bv, 1, 128);
    EXPECT_EQ(d, Grey(149));
}

TEST(TransitionKernelTest, SimdMaskMixMatchesThePlainLoop) {
    std::vector<std::uint32_t> a(256), b(256), m(256), d0(256);
    for (std::uint32_t i = 0; i < 256; ++i) {
        a[i] = (i * 0x01030507u) ^ 0xA5A5A5A5u;
        b[i] = (i * 0x0B0D1113u) ^ 0x5A5A5A5Au;
        m[i] = 0x12345600u | i; // only the first byte counts
        d0[i] = (i << 24) | 0x00ABCDEFu;
    }
    for (std::int64_t threshold : {-5000LL, -1LL, 0LL, 1LL, 2LL, 64LL, 128LL, 200LL, 256LL, 257LL,
                                   300LL, 318LL, 320LL, 1023LL, 1025LL, 100000LL}) {
        for (std::size_t n : {0u, 1u, 3u, 4u, 5u, 255u, 256u}) {
            auto plain = d0, simd = d0;
            transition_kernels::MaskMixRowScalar(plain.data(), a.data(), b.data(), m.data(), n,
                                                 threshold);
            transition_kernels::MaskMixRowSimd(simd.data(), a.data(), b.data(), m.data(), n,
                                               threshold);
            ASSERT_EQ(plain, simd) << "threshold " << threshold << " n " << n;
        }
    }
    // Worked pixel: threshold 256, mask 1 -> weight 4; a 100, b 200:
    // 200 + floor(-100 * 4 / 256) = 200 - 2; the fourth byte of d stays.
    std::uint32_t d = Grey(0, 0x44);
    const std::uint32_t av = Grey(100), bv = Grey(200), mv = 1;
    transition_kernels::MaskMixRowScalar(&d, &av, &bv, &mv, 1, 256);
    EXPECT_EQ(d, Grey(198, 0x44));
}

} // namespace
