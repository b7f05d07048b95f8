// The blend library: per-channel formulas worked by hand, the opacity
// thresholds, the fourth-byte rules, clipping and the stretched forms.
#include "GfxTestSupport.h"

#include "gfx/Blend.h"
#include "gfx/Blit.h"

#include <gtest/gtest.h>

using namespace gfx_test;

namespace {
std::unique_ptr<CDib> One(std::uint32_t p) {
    return MakeDib(Kind::Mmx, 1, 1, {p});
}
} // namespace

TEST(BlendTest, AddWeighsTheSourceAndSaturates) {
    // o 128: 100*128 >> 8 = 50; 200 + 50 = 250; 220 + 50 = 270 -> 255.
    auto src = MakeDib(Kind::Mmx, 2, 1, {0x80646464, 0x80646464});
    auto dst = MakeDib(Kind::Mmx, 2, 1, {0x33C8C8C8, 0x33DCDCDC});
    EXPECT_TRUE(BlendAdd(dst.get(), 0, 0, src.get(), 0, 0, 2, 1, 128));
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x00FAFAFA, 0x00FFFFFF}));
    // The source pixels read lose their fourth byte, so an alpha blit of
    // them afterwards changes nothing.
    EXPECT_EQ(Row(*src, 0), (std::vector<std::uint32_t>{0x00646464, 0x00646464}));
    auto back = MakeDib(Kind::Mmx, 2, 1, 0x00123456);
    BltAlpha(back.get(), 0, 0, src.get(), 0, 0, 2, 1);
    EXPECT_EQ(Row(*back, 0), (std::vector<std::uint32_t>{0x00123456, 0x00123456}));
}

TEST(BlendTest, AddThresholds) {
    auto src = One(0x80646464);
    auto dst = One(0x00010203);
    EXPECT_FALSE(BlendAdd(dst.get(), 0, 0, src.get(), 0, 0, 1, 1, 0));
    EXPECT_EQ(dst->GetPixel(0, 0), 0x00010203u);
    EXPECT_EQ(src->GetPixel(0, 0), 0x80646464u);
    EXPECT_TRUE(BlendAdd(dst.get(), 0, 0, src.get(), 0, 0, 1, 1, 256));
    EXPECT_EQ(dst->GetPixel(0, 0), 0x80646464u); // a copy
}

TEST(BlendTest, AddTwoSources) {
    // D 10 + (100*128 >> 8 = 50) + (60*128 >> 8 = 30) = 90; fourth byte kept.
    auto a = One(0x00646464), b = One(0x003C3C3C), dst = One(0x5A0A0A0A);
    EXPECT_TRUE(BlendAdd2(dst.get(), 0, 0, a.get(), b.get(), 0, 0, 1, 1, 128));
    EXPECT_EQ(dst->GetPixel(0, 0), 0x5A5A5A5Au);
    EXPECT_FALSE(BlendAdd2(dst.get(), 0, 0, a.get(), b.get(), 0, 0, 1, 1, 0));
    EXPECT_TRUE(BlendAdd2(dst.get(), 0, 0, a.get(), b.get(), 0, 0, 1, 1, 256));
    EXPECT_EQ(dst->GetPixel(0, 0), 0x00646464u);
}

TEST(BlendTest, Multiply) {
    // S 128, D 200: S*D >> 8 = 100. o 255: 100*255 >> 8 = 99 + 0 = 99.
    // o 128: 50 + (200*127 >> 8 = 99) = 149. Fourth byte kept.
    auto src = One(0x00808080);
    auto dst = One(0x44C8C8C8);
    EXPECT_TRUE(BlendMultiply(dst.get(), 0, 0, src.get(), 0, 0, 1, 1, 255));
    EXPECT_EQ(dst->GetPixel(0, 0), 0x44636363u);
    dst->SetPixel(0, 0, 0x44C8C8C8);
    EXPECT_TRUE(BlendMultiply(dst.get(), 0, 0, src.get(), 0, 0, 1, 1, 128));
    EXPECT_EQ(dst->GetPixel(0, 0), 0x44959595u);
    EXPECT_FALSE(BlendMultiply(dst.get(), 0, 0, src.get(), 0, 0, 1, 1, 0));
}

TEST(BlendTest, MultiplyWithSourceAlpha) {
    // a 128, S 100, D 200, o 200: (200*127 >> 8 = 99) + ((100*128 >> 8 = 50)*200 >> 8 = 39)
    // = 138; 138*200 >> 8 = 107, plus 200*55 >> 8 = 42 -> 149.
    auto src = MakeDib(Kind::Mmx, 2, 1, {0x80646464, 0x00646464});
    auto dst = MakeDib(Kind::Mmx, 2, 1, {0x11C8C8C8, 0x11C8C8C8});
    EXPECT_TRUE(BlendMultiplyAlpha(dst.get(), 0, 0, src.get(), 0, 0, 2, 1, 200));
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x11959595, 0x11C8C8C8}));
    // No special case above 255: o 300 gives 138*300 >> 8 = 161 plus
    // 200*(255 - 300) >> 8 = -9000 >> 8 = -36 -> 125.
    dst->SetPixel(0, 0, 0x11C8C8C8);
    EXPECT_TRUE(BlendMultiplyAlpha(dst.get(), 0, 0, src.get(), 0, 0, 1, 1, 300));
    EXPECT_EQ(dst->GetPixel(0, 0), 0x117D7D7Du);
    EXPECT_FALSE(BlendMultiplyAlpha(dst.get(), 0, 0, src.get(), 0, 0, 1, 1, 0));
}

TEST(BlendTest, AddWithSourceAlpha) {
    // a 128, S 200, D 50, o 128: (200*128 >> 8 = 100)*128 >> 8 = 50 -> 100;
    // the destination's fourth byte becomes 0. Alpha 0 leaves the pixel whole.
    auto src = MakeDib(Kind::Mmx, 2, 1, {0x80C8C8C8, 0x00C8C8C8});
    auto dst = MakeDib(Kind::Mmx, 2, 1, {0x77323232, 0x77323232});
    EXPECT_TRUE(BlendAddAlpha(dst.get(), 0, 0, src.get(), 0, 0, 2, 1, 128));
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x00646464, 0x77323232}));
    // 1000 is not special: (100*1000) >> 8 = 390 -> 255.
    EXPECT_TRUE(BlendAddAlpha(dst.get(), 0, 0, src.get(), 0, 0, 1, 1, 1000));
    EXPECT_EQ(dst->GetPixel(0, 0), 0x00FFFFFFu);
    EXPECT_FALSE(BlendAddAlpha(dst.get(), 0, 0, src.get(), 0, 0, 1, 1, 0));
}

TEST(BlendTest, Dodge) {
    // Blue: S 255 -> 255. Green: S 128, D 100: 25500 / 127 = 200.
    // Red: S 200, D 100: 25500 / 55 = 463 -> 255. Fourth bytes cleared.
    auto src = One(0x99C880FF);
    auto dst = One(0x55646464);
    EXPECT_TRUE(BlendDodge(dst.get(), 0, 0, src.get(), 0, 0, 1, 1, 1));
    EXPECT_EQ(dst->GetPixel(0, 0), 0x00FFC8FFu);
    EXPECT_EQ(src->GetPixel(0, 0), 0x00C880FFu);
    // S 0 keeps D: D*255 / 255.
    auto zero = One(0), d2 = One(0x00102030);
    EXPECT_TRUE(BlendDodge(d2.get(), 0, 0, zero.get(), 0, 0, 1, 1, 5));
    EXPECT_EQ(d2->GetPixel(0, 0), 0x00102030u);
    EXPECT_FALSE(BlendDodge(d2.get(), 0, 0, zero.get(), 0, 0, 1, 1, 0));
    EXPECT_TRUE(BlendDodge(d2.get(), 0, 0, src.get(), 0, 0, 1, 1, 256));
    EXPECT_EQ(d2->GetPixel(0, 0), 0x00C880FFu);
}

TEST(BlendTest, RectanglesAreClippedToBothImages) {
    auto src = MakeDib(Kind::Mmx, 2, 2, {0x010101, 0x020202, 0x030303, 0x040404});
    auto dst = MakeDib(Kind::Mmx, 3, 3, 0);
    // A 4x4 rectangle from (-1, -1) of the source at (0, 1) of the destination:
    // inside both are its columns 1..2 and row 1: source (0..1, 0) onto
    // destination (1..2, 2).
    EXPECT_TRUE(BlendAdd(dst.get(), 0, 1, src.get(), -1, -1, 4, 4, 256 - 1));
    // o 255: S*255 >> 8 = S - 1 for S 1..4 -> 0, 1, 2, 3.
    EXPECT_EQ(Row(*dst, 1), (std::vector<std::uint32_t>{0, 0, 0}));
    EXPECT_EQ(Row(*dst, 2), (std::vector<std::uint32_t>{0, 0, 0x010101}));
    // Wholly outside both: nothing, no fault.
    EXPECT_TRUE(BlendMultiply(dst.get(), 500, 500, src.get(), 0, 0, 100, 100, 10));
    EXPECT_TRUE(BlendAddAlpha(dst.get(), -100, 0, src.get(), 0, 0, 50, 50, 10));
    EXPECT_TRUE(BlendDodge(dst.get(), 0, 0, src.get(), 5, 5, 10, 10, 10));
    // Positions count by their low 16 bits: 65,538 is 2.
    auto d2 = MakeDib(Kind::Mmx, 3, 1, 0);
    auto s2 = One(0x00646464);
    EXPECT_TRUE(BlendAdd(d2.get(), 65538, 0, s2.get(), 0, 0, 1, 1, 128));
    EXPECT_EQ(Row(*d2, 0), (std::vector<std::uint32_t>{0, 0, 0x00323232}));
}

TEST(BlendTest, AddStretchIsAFullAddWhateverTheOpacity) {
    auto src = MakeDib(Kind::Mmx, 2, 1, {0x80102030, 0x80F0F0F0});
    auto dst = MakeDib(Kind::Mmx, 4, 1, 0x11101010);
    // 2 -> 4 (q 0, r 2): columns floor((2i - 1) / 4) = 0, 0, 0, 1.
    // 0x10 + 0x10 = 0x20 ...; 0xF0 + 0x10 = 0x100 -> 0xFF.
    EXPECT_TRUE(BlendAddStretch(dst.get(), 0, 0, 4, 1, src.get(), 0, 0, 2, 1, 1));
    EXPECT_EQ(Row(*dst, 0),
              (std::vector<std::uint32_t>{0x00203040, 0x00203040, 0x00203040, 0x00FFFFFF}));
    EXPECT_EQ(Row(*src, 0), (std::vector<std::uint32_t>{0x00102030, 0x00F0F0F0}));
    EXPECT_FALSE(BlendAddStretch(dst.get(), 0, 0, 4, 1, src.get(), 0, 0, 2, 1, 0));
    EXPECT_FALSE(BlendAddStretch(dst.get(), 0, 0, 0, 1, src.get(), 0, 0, 2, 1, 9));
    EXPECT_FALSE(BlendAddStretch(dst.get(), 0, 0, 4, -1, src.get(), 0, 0, 2, 1, 9));
}

TEST(BlendTest, AddAlphaStretchClippedOnTheLeftAdvancesTheSource) {
    // Source 200 wide, alpha 255, blue = column / 2; drawn 200 -> 100 wide at
    // x = -50. e = -100 + 50*200 = 9900 > 0: k = 9900/100 + 1 = 100, so column
    // 0 reads source 100, and every step moves 2 (q 2, r 0): x reads 100 + 2x.
    auto src = MakeDib(Kind::Mmx, 200, 1);
    for (int x = 0; x < 200; ++x)
        src->SetPixel(x, 0, 0xFF000000u | static_cast<std::uint32_t>(x / 2));
    auto dst = MakeDib(Kind::Mmx, 60, 1, 0x7F000000);
    // o 256: ((S*255 >> 8)*256) >> 8 = S*255 >> 8, so a blue of b lands as b - 1 (b > 0).
    EXPECT_TRUE(BlendAddAlphaStretch(dst.get(), -50, 0, 100, 1, src.get(), 0, 0, 200, 1, 256));
    EXPECT_EQ(dst->GetPixel(0, 0), 49u);          // source 100: blue 50 -> 49, fourth byte 0
    EXPECT_EQ(dst->GetPixel(1, 0), 50u);          // source 102: blue 51
    EXPECT_EQ(dst->GetPixel(49, 0), 98u);         // source 198: blue 99
    EXPECT_EQ(dst->GetPixel(50, 0), 0x7F000000u); // past the rectangle
}

TEST(BlendTest, StretchedFormsStopAtTheScreenAndTheImages) {
    // A destination wider than the screen is drawn up to column 799 only.
    auto wide = MakeDib(Kind::Mmx, 900, 1, 0);
    auto src = MakeDib(Kind::Mmx, 1, 1, {0x00010101});
    EXPECT_TRUE(BlendAddStretch(wide.get(), 790, 0, 50, 1, src.get(), 0, 0, 1, 1, 1));
    EXPECT_EQ(wide->GetPixel(799, 0), 0x010101u);
    EXPECT_EQ(wide->GetPixel(800, 0), 0u);
    // A destination smaller than the screen stops at its own edge.
    auto small = MakeDib(Kind::Mmx, 4, 2, 0);
    EXPECT_TRUE(BlendAddStretch(small.get(), 2, 1, 10, 10, src.get(), 0, 0, 1, 1, 1));
    EXPECT_EQ(Row(*small, 1), (std::vector<std::uint32_t>{0, 0, 0x010101, 0x010101}));
    // Source places outside the source image leave their pixels.
    auto s2 = MakeDib(Kind::Mmx, 2, 1, {0x00010101, 0x00020202});
    auto d2 = MakeDib(Kind::Mmx, 4, 1, 0);
    EXPECT_TRUE(BlendAddStretch(d2.get(), 0, 0, 4, 1, s2.get(), 1, 0, 4, 1, 1));
    EXPECT_EQ(Row(*d2, 0), (std::vector<std::uint32_t>{0x020202, 0, 0, 0}));
}
