// The five rectangle kernels of both renderer classes, with pixels worked by
// hand from the integer formulas, and the clipping and stretch walk they
// share.
#include "GfxTestSupport.h"

#include <gtest/gtest.h>

using namespace gfx_test;

namespace {

class BothClasses : public ::testing::TestWithParam<Kind> {};

// Slot arithmetic on one pixel: src pixel s over dst pixel d.
std::uint32_t AlphaOne(Kind k, std::uint32_t s, std::uint32_t d) {
    auto src = MakeDib(k, 1, 1, {s});
    auto dst = MakeDib(k, 1, 1, {d});
    dst->BltAlpha(src.get(), 0, 0, nullptr, nullptr, nullptr);
    return dst->GetPixel(0, 0);
}
std::uint32_t BlendOne(Kind k, std::uint32_t s, std::uint32_t d, std::uint32_t df,
                       std::uint32_t sf) {
    auto src = MakeDib(k, 1, 1, {s});
    auto dst = MakeDib(k, 1, 1, {d});
    dst->BltBlend(src.get(), 0, 0, df, sf, nullptr, nullptr, nullptr);
    return dst->GetPixel(0, 0);
}
std::uint32_t AlphaBlendOne(Kind k, std::uint32_t s, std::uint32_t d, std::uint32_t df,
                            std::uint32_t sf) {
    auto src = MakeDib(k, 1, 1, {s});
    auto dst = MakeDib(k, 1, 1, {d});
    dst->BltAlphaBlend(src.get(), 0, 0, df, sf, nullptr, nullptr, nullptr);
    return dst->GetPixel(0, 0);
}

} // namespace

TEST(KernelTest, PerPixelAlphaDiffersBetweenTheClasses) {
    // S = a 128, (r, g, b) = (200, 100, 50); D = (100, 50, 150).
    // Plain: a' = 128, b' = 127: r 100 + (100*127 >> 8 = 49) = 149;
    //        g 50 + (50*127 >> 8 = 24) = 74; b 25 + (150*127 >> 8 = 74) = 99.
    // MMX:   256 - a = 128: r 100 + 50 = 150; g 50 + 25 = 75; b 25 + 75 = 100.
    EXPECT_EQ(AlphaOne(Kind::Plain, 0x80C86432, 0x00643296), 0x00954A63u);
    EXPECT_EQ(AlphaOne(Kind::Mmx, 0x80C86432, 0x00643296), 0x00964B64u);
}

TEST(KernelTest, PerPixelAlphaEnds) {
    // Alpha 255: plain gives S's colours with fourth byte 0, MMX copies S whole.
    EXPECT_EQ(AlphaOne(Kind::Plain, 0xFF102030, 0x7F405060), 0x00102030u);
    EXPECT_EQ(AlphaOne(Kind::Mmx, 0xFF102030, 0x7F405060), 0xFF102030u);
    // Alpha 0: plain gives D's colours with fourth byte 0, MMX leaves D alone.
    EXPECT_EQ(AlphaOne(Kind::Plain, 0x00102030, 0x7F405060), 0x00405060u);
    EXPECT_EQ(AlphaOne(Kind::Mmx, 0x00102030, 0x7F405060), 0x7F405060u);
    // Alpha 1: plain S*1 >> 8 = 0 and D*254 >> 8; MMX D*255 >> 8.
    // D = 255 in every channel: plain 254*255 >> 8 = 253, MMX 255*255 >> 8 = 254.
    EXPECT_EQ(AlphaOne(Kind::Plain, 0x01FFFFFF, 0x00FFFFFF), 0x00FDFDFDu);
    EXPECT_EQ(AlphaOne(Kind::Mmx, 0x01FFFFFF, 0x00FFFFFF), 0x00FEFEFEu);
}

TEST_P(BothClasses, ConstantBlendIsTheSameInBothClasses) {
    const Kind k = GetParam();
    // Opacity 255 (factors 0xFFFFFF and 0): 200*255 >> 8 = 199, not 200.
    EXPECT_EQ(BlendOne(k, 0x00C8C8C8, 0x00646464, 0, 0xFFFFFF), 0x00C7C7C7u);
    // Full weights both ways saturate: 199 + 199 -> 255.
    EXPECT_EQ(BlendOne(k, 0xFFC8C8C8, 0xFFC8C8C8, 0xFFFFFF, 0xFFFFFF), 0x00FFFFFFu);
    // Separate weights per channel: sf (r, g, b) = (128, 64, 32), df = (16, 32, 64),
    // S = D = 255: r 127 + 15 = 142; g 63 + 31 = 94; b 31 + 63 = 94.
    EXPECT_EQ(BlendOne(k, 0x00FFFFFF, 0x00FFFFFF, 0x00102040, 0x00804020), 0x008E5E5Eu);
}

TEST_P(BothClasses, AlphaTimesOpacity) {
    const Kind k = GetParam();
    // Opacity 128 (sf 0x808080, df 0x7F7F7F), a = 255 (a' = 256):
    // ws = 128, wd = 255 - (256*128 >> 8) = 127; S 200, D 100: 100 + 49 = 149.
    EXPECT_EQ(AlphaBlendOne(k, 0xFFC8C8C8, 0x00646464, 0x7F7F7F, 0x808080), 0x00959595u);
    // Opacity 200 (sf 0xC8C8C8, df 0x373737), a = 128: ws = 128*200 >> 8 = 100,
    // wd = 255 - (128*200 >> 8) = 155; S = D = 255: 99 + 154 = 253.
    EXPECT_EQ(AlphaBlendOne(k, 0x80FFFFFF, 0x00FFFFFF, 0x373737, 0xC8C8C8), 0x00FDFDFDu);
}

TEST(KernelTest, AlphaTimesOpacityAtAlphaZero) {
    // Plain: ws 0, wd 255: D*255 >> 8 = 100*255 >> 8 = 99, fourth byte 0.
    EXPECT_EQ(AlphaBlendOne(Kind::Plain, 0x00FFFFFF, 0x33646464, 0x7F7F7F, 0x808080), 0x00636363u);
    // MMX: untouched.
    EXPECT_EQ(AlphaBlendOne(Kind::Mmx, 0x00FFFFFF, 0x33646464, 0x7F7F7F, 0x808080), 0x33646464u);
}

TEST_P(BothClasses, KeyedCopyComparesTheWholeWord) {
    const Kind k = GetParam();
    auto src = MakeDib(k, 3, 1, {0x0000FF00, 0xFF00FF00, 0x00123456});
    auto dst = MakeDib(k, 3, 1, 0x00777777);
    dst->BltKeyed(src.get(), 0, 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x00777777, 0xFF00FF00, 0x00123456}));
    // The key is the source's own.
    src->SetColorKeyValue(0x123456);
    dst->FillRect(0, 0, 3, 1, 0x00777777);
    dst->BltKeyed(src.get(), 0, 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x0000FF00, 0xFF00FF00, 0x00777777}));
}

TEST_P(BothClasses, CopyClipsAtTheDestinationEdges) {
    const Kind k = GetParam();
    // A 100x100 source whose pixel names its column; copied to (-30, 10).
    auto src = MakeDib(k, 100, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            src->SetPixel(x, y, 1000 + x);
    auto dst = MakeDib(k, 800, 600, 7);
    dst->Blt(src.get(), -30, 10, nullptr, nullptr, nullptr);
    EXPECT_EQ(dst->GetPixel(0, 10), 1030u);
    EXPECT_EQ(dst->GetPixel(69, 109), 1099u);
    EXPECT_EQ(dst->GetPixel(70, 10), 7u);
    EXPECT_EQ(dst->GetPixel(0, 9), 7u);
    EXPECT_EQ(dst->GetPixel(0, 110), 7u);
}

TEST_P(BothClasses, CopyOfWholeRowsBetweenImagesOfOneWidth) {
    const Kind k = GetParam();
    auto src = MakeDib(k, 3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    auto dst = MakeDib(k, 3, 4, 0);
    // Whole rows, one block: source rows 0..2 land on rows 1..3.
    dst->Blt(src.get(), 0, 1, nullptr, nullptr, nullptr);
    EXPECT_EQ(Pixels(*dst), (std::vector<std::uint32_t>{0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    // Shifted right by one: rows are copied one by one.
    dst->Blt(src.get(), 1, 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(Pixels(*dst), (std::vector<std::uint32_t>{0, 1, 2, 1, 4, 5, 4, 7, 8, 7, 8, 9}));
}

TEST_P(BothClasses, SourceRectangleReachingOutsideDrawsNothing) {
    const Kind k = GetParam();
    // The destination is wider than the source, so nothing trims the rectangle.
    auto src = MakeDib(k, 800, 20, 5);
    auto dst = MakeDib(k, 1000, 20, 9);
    const DibRect r{0, 0, 801, 10};
    EXPECT_EQ(dst->Renderer().ClipBlt(src.get(), 0, 0, &r, nullptr, nullptr), kClipSourceOutside);
    dst->Blt(src.get(), 0, 0, &r, nullptr, nullptr);
    for (std::uint32_t p : Pixels(*dst))
        ASSERT_EQ(p, 9u);
    // When the destination clips the outside part away, the rest is drawn:
    // the rectangle's column -1 would land at x = -1.
    const DibRect shifted{-1, 0, 799, 10};
    dst->Blt(src.get(), -1, 0, &shifted, nullptr, nullptr);
    EXPECT_EQ(dst->GetPixel(0, 0), 5u);
    EXPECT_EQ(dst->GetPixel(798, 9), 5u);
    EXPECT_EQ(dst->GetPixel(799, 0), 9u);
    EXPECT_EQ(dst->GetPixel(0, 10), 9u);
}

TEST_P(BothClasses, ClipRectangleIsClampedInPlace) {
    const Kind k = GetParam();
    auto src = MakeDib(k, 4, 4, 3);
    auto dst = MakeDib(k, 6, 6, 0);
    DibRect clip{-10, 2, 100, 4};
    dst->Blt(src.get(), 0, 0, nullptr, nullptr, &clip);
    EXPECT_EQ(clip.left, 0);
    EXPECT_EQ(clip.top, 2);
    EXPECT_EQ(clip.right, 6);
    EXPECT_EQ(clip.bottom, 4);
    EXPECT_EQ(Row(*dst, 1), (std::vector<std::uint32_t>(6, 0)));
    EXPECT_EQ(Row(*dst, 2), (std::vector<std::uint32_t>{3, 3, 3, 3, 0, 0}));
    EXPECT_EQ(Row(*dst, 4), (std::vector<std::uint32_t>(6, 0)));
}

TEST_P(BothClasses, EmptyImagesDrawNothing) {
    const Kind k = GetParam();
    ScopedRendererClass cls(k);
    CDib empty;
    auto full = MakeDib(k, 3, 3, 4);
    full->Blt(&empty, 0, 0, nullptr, nullptr, nullptr);
    for (std::uint32_t p : Pixels(*full))
        EXPECT_EQ(p, 4u);
    EXPECT_EQ(empty.Blt(full.get(), 0, 0, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(full->Blt(nullptr, 0, 0, nullptr, nullptr, nullptr), 0);
    const DibSize zero{0, 3};
    EXPECT_EQ(full->Renderer().ClipBlt(full.get(), 0, 0, nullptr, &zero, nullptr), kClipNothing);
}

TEST_P(BothClasses, StretchSamplesByTheErrorWalk) {
    const Kind k = GetParam();
    auto src = MakeDib(k, 6, 1, {10, 11, 12, 13, 14, 15});
    auto dst = MakeDib(k, 8, 1, 0);
    // One pixel to two: the same pixel twice.
    DibRect one{2, 0, 3, 1};
    DibSize two{2, 1};
    dst->Blt(src.get(), 0, 0, &one, &two, nullptr);
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{12, 12, 0, 0, 0, 0, 0, 0}));
    // Three to two: columns 0 and floor((1*3 - 1) / 2) = 1.
    DibRect three{0, 0, 3, 1};
    dst->Blt(src.get(), 4, 0, &three, &two, nullptr);
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{12, 12, 0, 0, 10, 11, 0, 0}));
    // Six to four (q 1, r 2): columns floor((6i - 1) / 4) = 0, 1, 2, 4.
    DibSize four{4, 1};
    dst->Blt(src.get(), 0, 0, nullptr, &four, nullptr);
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{10, 11, 12, 14, 10, 11, 0, 0}));
    // Two to six (q 0, r 2): floor((2i - 1) / 6) = 0, 0, 0, 0, 1, 1.
    dst->FillRect(0, 0, 8, 1, 0);
    DibRect pair{4, 0, 6, 1};
    DibSize six{6, 1};
    dst->Blt(src.get(), 1, 0, &pair, &six, nullptr);
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0, 14, 14, 14, 14, 15, 15, 0}));
}

TEST_P(BothClasses, StretchLeftClipAdvancesTheSourceByTheDocumentedRule) {
    const Kind k = GetParam();
    auto src = MakeDib(k, 6, 1, {10, 11, 12, 13, 14, 15});
    auto dst = MakeDib(k, 4, 1, 0);
    // Six to four at x = -2: c = 2, e = -4 + 2*6 = 8 > 0, k = 8/4 + 1 = 3:
    // the first drawn column reads source 3; e = 8 - 12 - 1 = -5, then +2
    // stays negative, so the next reads 3 + 1 = 4.
    DibSize four{4, 1};
    dst->Blt(src.get(), -2, 0, nullptr, &four, nullptr);
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{13, 14, 0, 0}));
    // Three to two at x = -1: e = -2 + 3 = 1, k = 1: source column 1.
    DibRect three{0, 0, 3, 1};
    DibSize two{2, 1};
    dst->FillRect(0, 0, 4, 1, 0);
    dst->Blt(src.get(), -1, 0, &three, &two, nullptr);
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{11, 0, 0, 0}));
}

TEST_P(BothClasses, StretchRowsAndTopClip) {
    const Kind k = GetParam();
    // Source rows 0..3 hold 100, 101, 102, 103; stretched to 6 rows (q 0, r 4):
    // rows floor((4i - 1) / 6) = 0, 0, 1, 1, 2, 3.
    auto src = MakeDib(k, 1, 4, {100, 101, 102, 103});
    auto dst = MakeDib(k, 1, 6, 0);
    DibSize tall{1, 6};
    dst->Blt(src.get(), 0, 0, nullptr, &tall, nullptr);
    std::vector<std::uint32_t> col;
    for (int y = 0; y < 6; ++y)
        col.push_back(dst->GetPixel(0, y));
    EXPECT_EQ(col, (std::vector<std::uint32_t>{100, 100, 101, 101, 102, 103}));
    // Placed at y = -3: c = 3, e = -6 + 12 = 6 > 0, k = 6/6 + 1 = 2: rows from 2;
    // e = 6 - 12 - 1 = -7; +4 = -3: row 2 again; +4 = 1 >= 0: row 3.
    dst->Fill(0, nullptr);
    dst->Blt(src.get(), 0, -3, nullptr, &tall, nullptr);
    col.clear();
    for (int y = 0; y < 6; ++y)
        col.push_back(dst->GetPixel(0, y));
    EXPECT_EQ(col, (std::vector<std::uint32_t>{102, 102, 103, 0, 0, 0}));
}

TEST_P(BothClasses, StretchedKernelsUseTheirOwnArithmetic) {
    const Kind k = GetParam();
    // Every stretched kernel samples first, then applies its per-pixel rule.
    auto src = MakeDib(k, 1, 1, {0x80C86432});
    auto dst = MakeDib(k, 2, 1, {0x00643296, 0x00643296});
    DibSize two{2, 1};
    dst->BltAlpha(src.get(), 0, 0, nullptr, &two, nullptr);
    const std::uint32_t want = k == Kind::Plain ? 0x00954A63u : 0x00964B64u;
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{want, want}));
    dst->BltBlend(src.get(), 0, 0, 0, 0xFFFFFF, nullptr, &two, nullptr);
    // 200*255 >> 8 = 199, 100 -> 99, 50 -> 49.
    EXPECT_EQ(Row(*dst, 0), (std::vector<std::uint32_t>{0x00C76331, 0x00C76331}));
}

TEST_P(BothClasses, DrawingAnImageOntoItselfReadsEachRowWhole) {
    const Kind k = GetParam();
    auto d = MakeDib(k, 6, 1, {1, 2, 3, 4, 5, 6});
    // Copy columns 0..3 to 2..5 of the same row: a row taken whole, not a smear.
    const DibRect r{0, 0, 4, 1};
    d->Blt(d.get(), 2, 0, &r, nullptr, nullptr);
    EXPECT_EQ(Row(*d, 0), (std::vector<std::uint32_t>{1, 2, 1, 2, 3, 4}));
    auto e = MakeDib(k, 6, 1, {1, 2, 3, 4, 5, 6});
    e->BltKeyed(e.get(), 1, 0, &r, nullptr, nullptr);
    EXPECT_EQ(Row(*e, 0), (std::vector<std::uint32_t>{1, 1, 2, 3, 4, 6}));
}

INSTANTIATE_TEST_SUITE_P(Classes, BothClasses, ::testing::Values(Kind::Plain, Kind::Mmx),
                         [](const auto& info) {
                             return info.param == Kind::Plain ? "Plain" : "Mmx";
                         });
