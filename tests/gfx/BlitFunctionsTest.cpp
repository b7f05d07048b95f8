// The free blit functions screens call: their opacity thresholds, the
// cross-fades and the colour negative.
#include "GfxTestSupport.h"

#include "gfx/Blit.h"

#include <gtest/gtest.h>

using namespace gfx_test;

TEST(BlitFunctionsTest, CopyTakesARectangleAsPositionAndSize) {
    for (Kind k : {Kind::Plain, Kind::Mmx}) {
        auto src = MakeDib(k, 3, 2, {1, 2, 3, 4, 5, 6});
        auto dst = MakeDib(k, 4, 3, 0);
        EXPECT_TRUE(BltCopy(dst.get(), 2, 1, src.get(), 1, 0, 2, 2));
        EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0, 0, 0, 0}));
        EXPECT_EQ(Row(*dst, 1), (std::vector<std::uint32_t>{0, 0, 2, 3}));
        EXPECT_EQ(Row(*dst, 2), (std::vector<std::uint32_t>{0, 0, 5, 6}));
        EXPECT_TRUE(BltCopyTwin(dst.get(), 0, 0, src.get(), 0, 0, 1, 1));
        EXPECT_EQ(dst->GetPixel(0, 0), 1u);
        EXPECT_TRUE(src->BltTo(dst.get(), 1, 0, 2, 1, 1, 1));
        EXPECT_EQ(dst->GetPixel(1, 0), 6u);
        // A rectangle reaching outside the source draws nothing, yet succeeds.
        EXPECT_TRUE(BltCopy(dst.get(), 0, 0, src.get(), 2, 0, 2, 1));
        EXPECT_EQ(dst->GetPixel(0, 0), 1u);
        EXPECT_TRUE(BltNothing(dst.get(), 0, 0, src.get(), 0, 0, 3, 2));
        EXPECT_EQ(dst->GetPixel(0, 0), 1u);
        EXPECT_TRUE(BltCopy(nullptr, 0, 0, src.get(), 0, 0, 1, 1));
        EXPECT_TRUE(BltCopy(dst.get(), 0, 0, nullptr, 0, 0, 1, 1));
    }
}

TEST(BlitFunctionsTest, AlphaBlendThresholds) {
    // S = (200, 200, 200) alpha 255 over D = 100.
    const std::uint32_t S = 0xFFC8C8C8, D = 0x00646464;
    for (Kind k : {Kind::Plain, Kind::Mmx}) {
        auto src = MakeDib(k, 1, 1, {S});
        auto dst = MakeDib(k, 1, 1, {D});
        // 255 is the per-pixel alpha blit: plain S's colours, MMX S whole.
        EXPECT_TRUE(BltAlphaBlend(dst.get(), 0, 0, src.get(), 0, 0, 1, 1, 255));
        EXPECT_EQ(dst->GetPixel(0, 0), k == Kind::Plain ? 0x00C8C8C8u : 0xFFC8C8C8u);
        // 254 goes through the opacity kernel: ws = 256*254 >> 8 = 254,
        // wd = 255 - (256*254 >> 8) = 1: 200*254 >> 8 = 198, 100*1 >> 8 = 0.
        dst->SetPixel(0, 0, D);
        EXPECT_TRUE(BltAlphaBlend(dst.get(), 0, 0, src.get(), 0, 0, 1, 1, 254));
        EXPECT_EQ(dst->GetPixel(0, 0), 0x00C6C6C6u);
        // 0 draws nothing; the opacity counts by its low 16 bits (65,536 is 0).
        dst->SetPixel(0, 0, D);
        EXPECT_TRUE(BltAlphaBlend(dst.get(), 0, 0, src.get(), 0, 0, 1, 1, 0));
        EXPECT_TRUE(BltAlphaBlend(dst.get(), 0, 0, src.get(), 0, 0, 1, 1, 65536));
        EXPECT_EQ(dst->GetPixel(0, 0), D);
        // Above 255 as 255.
        EXPECT_TRUE(BltAlphaBlend(dst.get(), 0, 0, src.get(), 0, 0, 1, 1, 300));
        EXPECT_EQ(dst->GetPixel(0, 0), k == Kind::Plain ? 0x00C8C8C8u : 0xFFC8C8C8u);
    }
}

TEST(BlitFunctionsTest, StretchedAlphaBlendAndStretchedCopy) {
    auto src = MakeDib(Kind::Plain, 2, 1, {0xFFC8C8C8, 0x80FFFFFF});
    auto dst = MakeDib(Kind::Plain, 4, 1, 0x00646464);
    // 2 -> 4 (q 0, r 2): columns floor((2i - 1) / 4) = 0, 0, 0, 1. Opacity 128: a 255 gives ws 128,
    // wd 127: 100 + 49 = 149; a 128: ws = 128*128 >> 8 = 64, wd = 255 - 64 = 191: 255*64 >> 8 = 63,
    // 100*191 >> 8 = 74 -> 137.
    EXPECT_TRUE(BltStretchAlphaBlend(dst.get(), 0, 0, 4, 1, src.get(), 0, 0, 2, 1, 128));
    EXPECT_EQ(Row(*dst, 0),
              (std::vector<std::uint32_t>{0x00959595, 0x00959595, 0x00959595, 0x00898989}));
    EXPECT_TRUE(BltStretch(dst.get(), 1, 0, 3, 1, src.get(), 1, 0, 1, 1));
    EXPECT_EQ(Row(*dst, 0),
              (std::vector<std::uint32_t>{0x00959595, 0x80FFFFFF, 0x80FFFFFF, 0x80FFFFFF}));
}

TEST(BlitFunctionsTest, StretchBlendBlendsUpTo255AndCopiesFrom256) {
    auto src = MakeDib(Kind::Mmx, 1, 1, {0x00C8C8C8});
    auto dst = MakeDib(Kind::Mmx, 2, 1, 0x00646464);
    // 255: 200*255 >> 8 = 199, 100*0 >> 8 = 0.
    EXPECT_TRUE(BltStretchBlend(dst.get(), 0, 0, 2, 1, src.get(), 0, 0, 0, 1, 1, 255));
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x00C7C7C7, 0x00C7C7C7}));
    EXPECT_TRUE(BltStretchBlend(dst.get(), 0, 0, 2, 1, src.get(), 0, 0, 0, 1, 1, 256));
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x00C8C8C8, 0x00C8C8C8}));
    dst->Fill(0x00646464, nullptr);
    EXPECT_TRUE(BltStretchBlend(dst.get(), 0, 0, 2, 1, src.get(), 0, 0, 0, 1, 1, 0));
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x00646464, 0x00646464}));
    // 64: 200*64 >> 8 = 50, 100*191 >> 8 = 74 -> 124.
    EXPECT_TRUE(BltStretchBlend(dst.get(), 0, 0, 2, 1, src.get(), 0, 0, 0, 1, 1, 64));
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x007C7C7C, 0x007C7C7C}));
}

TEST(BlitFunctionsTest, BlendExCrossFadesTwoImages) {
    auto base = MakeDib(Kind::Mmx, 2, 1, 0x00646464);
    auto over = MakeDib(Kind::Mmx, 2, 1, 0x00C8C8C8);
    auto dst = MakeDib(Kind::Mmx, 3, 1, 0x00010101);
    // 0: not even the base is copied.
    EXPECT_TRUE(dst->BltBlendEx(base.get(), 1, 0, over.get(), 0, 0, 2, 1, 0, 0));
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x010101, 0x010101, 0x010101}));
    // 128: base, then 200*128 >> 8 = 100 plus 100*127 >> 8 = 49.
    EXPECT_TRUE(dst->BltBlendEx(base.get(), 1, 0, over.get(), 0, 0, 2, 1, 128, 7));
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x010101, 0x959595, 0x959595}));
    // 300: over's rectangle copied.
    EXPECT_TRUE(dst->BltBlendEx(base.get(), 1, 0, over.get(), 0, 0, 2, 1, 300, 0));
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x010101, 0xC8C8C8, 0xC8C8C8}));
}

TEST(BlitFunctionsTest, OverBlendCopiesTheBaseThenFadesOverOntoTheDestinationItself) {
    auto base = MakeDib(Kind::Plain, 3, 1, {0x00646464, 0x00646464, 0x00646464});
    auto over = MakeDib(Kind::Plain, 3, 1, 0x00C8C8C8);
    // Same place: the self-copy changes nothing, so over fades onto base.
    auto dst = MakeDib(Kind::Plain, 3, 1, 0x00000000);
    BltOverBlend(dst.get(), 0, 0, over.get(), base.get(), 0, 0, 3, 1, 128);
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x959595, 0x959595, 0x959595}));
    // Elsewhere: dst's own pixels at (sx, sy) replace the base copy at (dx, dy).
    auto other = MakeDib(Kind::Plain, 3, 1, {0x00000010, 0x00000020, 0x00000030});
    BltOverBlend(other.get(), 1, 0, over.get(), base.get(), 0, 0, 2, 1, 256);
    EXPECT_EQ(Row(*other, 0), (std::vector<std::uint32_t>{0x10, 0xC8C8C8, 0xC8C8C8}));
    auto third = MakeDib(Kind::Plain, 3, 1, {0x00000010, 0x00000020, 0x00000030});
    // Alpha 1: base copied to 1..2, then dst (0..1) = (0x10, 0x64..) copied to 1..2,
    // then over blended: blue 200*1 >> 8 = 0 plus D*254 >> 8:
    // 0x10 -> 16*254 >> 8 = 15; 0x64 -> 100*254 >> 8 = 99.
    BltOverBlend(third.get(), 1, 0, over.get(), base.get(), 0, 0, 2, 1, 1);
    EXPECT_EQ(Row(*third, 0), (std::vector<std::uint32_t>{0x10, 0x0F, 0x636363}));
}

TEST(BlitFunctionsTest, CopyBytesMakesANegativeAndClearsBothFourthBytes) {
    auto src = MakeDib(Kind::Mmx, 2, 1, {0x801E140A, 0xFF000000});
    auto dst = MakeDib(Kind::Mmx, 2, 1, 0x7F000000);
    EXPECT_TRUE(BltCopyBytes(dst.get(), 0, 0, src.get(), 0, 0, 2, 1));
    // (b, g, r) = (10, 20, 30) -> (245, 235, 225).
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x00E1EBF5, 0x00FFFFFF}));
    EXPECT_EQ(Row(*src, 0), (std::vector<std::uint32_t>{0x001E140A, 0x00000000}));
}

TEST(BlitFunctionsTest, CopyBytesClipsToBothImages) {
    auto src = MakeDib(Kind::Mmx, 3, 2, {1, 2, 3, 4, 5, 6});
    auto dst = MakeDib(Kind::Mmx, 3, 2, 0x00777777);
    // Starts left of the destination and runs past the source's bottom:
    // only dst (0..1, 0) is drawn, from src (1..2, 1) = 5, 6.
    EXPECT_TRUE(BltCopyBytes(dst.get(), -1, 0, src.get(), 0, 1, 3, 5));
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x00FFFFFA, 0x00FFFFF9, 0x00777777}));
    EXPECT_EQ(Row(*dst, 1), (std::vector<std::uint32_t>{0x00777777, 0x00777777, 0x00777777}));
    // Wholly outside, and a height of 0: nothing.
    EXPECT_TRUE(BltCopyBytes(dst.get(), 5, 5, src.get(), 0, 0, 2, 2));
    EXPECT_TRUE(BltCopyBytes(dst.get(), 0, 0, src.get(), 0, 0, 2, 0));
    EXPECT_EQ(Row(*dst, 1), (std::vector<std::uint32_t>{0x00777777, 0x00777777, 0x00777777}));
}
