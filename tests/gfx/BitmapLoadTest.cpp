// Loading Windows bitmaps of every depth into images, and refusing damaged
// ones without touching the picture already there.
#include "GfxTestSupport.h"
#include "TestSupport.h"

#include "lib/BmpWriter.h"
#include "lib/PackWriter.h"

#include <gtest/gtest.h>

using namespace gfx_test;
using bmp_writer::BmpImage;

namespace {

class BitmapLoadTest : public testing_support::HeadlessTest {
protected:
    void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        testing_support::WriteFile(dir_.path() / name, bytes);
    }
    bool Load(CDib& d, const std::string& name) {
        return d.LoadFile(platform::WindowHandle::Main, name.c_str());
    }

    // An image already holding a picture, to see that refusals keep it.
    std::unique_ptr<CDib> Existing() { return MakeDib(Kind::Mmx, 2, 2, {1, 2, 3, 4}); }
    void ExpectUntouched(const CDib& d) {
        EXPECT_EQ(d.GetWidth(), 2);
        EXPECT_EQ(d.GetHeight(), 2);
        EXPECT_EQ(Pixels(d), (std::vector<std::uint32_t>{1, 2, 3, 4}));
        EXPECT_EQ(d.GetState(), kDibStateLoadFailed);
    }

    static BmpImage Rgb24(int w, int h) {
        BmpImage im;
        im.width = w;
        im.height = h;
        im.bitCount = 24;
        for (int i = 0; i < w * h; ++i)
            im.pixels.push_back(0x00010203u * (i + 1));
        return im;
    }
};

} // namespace

TEST_F(BitmapLoadTest, HandMadeTwentyFourBitFileWithPaddedRows) {
    // 3x2 pixels, 24 bits: each row 9 bytes padded to 12, bottom row first.
    std::vector<std::uint8_t> f = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, // file header
                                   40,  0,   0, 0, 3, 0, 0, 0, 2, 0, 0,  0, 1, 0,
                                   24,  0,   0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0,
                                   0,   0,   0, 0, 0, 0, 0, 0, 0, 0, 0,  0};
    // Bottom row: (b, g, r) = (1, 2, 3), (0, 255, 0) pure green, (7, 8, 9); 3 pad bytes.
    for (int v : {1, 2, 3, 0, 255, 0, 7, 8, 9, 0xEE, 0xEE, 0xEE})
        f.push_back(static_cast<std::uint8_t>(v));
    // Top row: (10, 20, 30), (40, 50, 60), (70, 80, 90).
    for (int v : {10, 20, 30, 40, 50, 60, 70, 80, 90, 0, 0, 0})
        f.push_back(static_cast<std::uint8_t>(v));
    Write("hand.bmp", f);

    CDib d;
    ASSERT_TRUE(Load(d, "hand.bmp"));
    EXPECT_EQ(d.GetState(), kDibStateLoaded);
    EXPECT_EQ(d.GetBitCount(), 24);
    EXPECT_EQ(Row(d, 0), (std::vector<std::uint32_t>{0x001E140A, 0x003C3228, 0x005A5046}));
    EXPECT_EQ(Row(d, 1), (std::vector<std::uint32_t>{0x00030201, 0x0000FF00, 0x00090807}));

    // The pure green pixel is the colour key: a keyed copy skips it.
    auto dst = MakeDib(Kind::Mmx, 3, 2, 0x00777777);
    dst->BltKeyed(&d, 0, 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(Row(*dst, 1), (std::vector<std::uint32_t>{0x00030201, 0x00777777, 0x00090807}));
}

TEST_F(BitmapLoadTest, ThirtyTwoBitKeepsTheFourthByte) {
    BmpImage im;
    im.width = 2;
    im.height = 1;
    im.bitCount = 32;
    im.pixels = {0x80112233, 0x00FFFFFF};
    Write("a.bmp", bmp_writer::EncodeBmp(im));
    CDib d;
    ASSERT_TRUE(Load(d, "a.bmp"));
    EXPECT_EQ(d.GetBitCount(), 32);
    EXPECT_EQ(Row(d, 0), (std::vector<std::uint32_t>{0x80112233, 0x00FFFFFF}));
}

TEST_F(BitmapLoadTest, OneBitRowsOfWidthTenAreFourBytes) {
    BmpImage im;
    im.width = 10;
    im.height = 2;
    im.bitCount = 1;
    im.palette = {0x00102030, 0x00A0B0C0};
    // Top row 1010000011, bottom row 0000000001.
    im.indices = {1, 0, 1, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    const auto bytes = bmp_writer::EncodeBmp(im);
    ASSERT_EQ(bytes.size(), 14u + 40 + 8 + 2 * 4);
    Write("one.bmp", bytes);
    CDib d;
    ASSERT_TRUE(Load(d, "one.bmp"));
    const std::uint32_t a = 0x00102030, b = 0x00A0B0C0;
    EXPECT_EQ(Row(d, 0), (std::vector<std::uint32_t>{b, a, b, a, a, a, a, a, b, b}));
    EXPECT_EQ(Row(d, 1), (std::vector<std::uint32_t>{a, a, a, a, a, a, a, a, a, b}));
    EXPECT_EQ(d.GetBitCount(), 1);
}

TEST_F(BitmapLoadTest, FourBitsHighNibbleFirst) {
    BmpImage im;
    im.width = 3;
    im.height = 1;
    im.bitCount = 4;
    im.palette.resize(16);
    for (int i = 0; i < 16; ++i)
        im.palette[i] = 0x00010101u * i;
    im.indices = {15, 2, 9};
    Write("four.bmp", bmp_writer::EncodeBmp(im));
    CDib d;
    ASSERT_TRUE(Load(d, "four.bmp"));
    EXPECT_EQ(Row(d, 0), (std::vector<std::uint32_t>{0x000F0F0F, 0x00020202, 0x00090909}));
}

TEST_F(BitmapLoadTest, EightBitsWithSixteenColoursReadsPixelsFromTheOffset) {
    BmpImage im;
    im.width = 3;
    im.height = 1;
    im.bitCount = 8;
    im.colorsUsed = 16;
    for (int i = 0; i < 16; ++i)
        im.palette.push_back(0x00100000u * i + 0x55);
    im.indices = {5, 15, 200}; // 200 lies past the 16 listed colours
    im.gapBeforePixels = 6;    // bfOffBits is not the end of the table
    Write("eight.bmp", bmp_writer::EncodeBmp(im));
    CDib d;
    ASSERT_TRUE(Load(d, "eight.bmp"));
    EXPECT_EQ(Row(d, 0), (std::vector<std::uint32_t>{0x00500055, 0x00F00055, 0}));
}

TEST_F(BitmapLoadTest, SixteenBitsAreAlwaysFiveFiveFive) {
    BmpImage im;
    im.width = 3;
    im.height = 1;
    im.bitCount = 16;
    // Plain 5-5-5: (r, g, b) = (0x88, 0x44, 0x22) keeps the top 5 bits: (0x88, 0x40, 0x20).
    im.pixels = {0x00884422, 0x0000FF00, 0x00FF0000};
    Write("plain16.bmp", bmp_writer::EncodeBmp(im));
    CDib d;
    ASSERT_TRUE(Load(d, "plain16.bmp"));
    EXPECT_EQ(Row(d, 0), (std::vector<std::uint32_t>{0x00884020, 0x0000F800, 0x00F80000}));

    // 5-6-5 masks are ignored: green 0x07E0 reads as g 0x1F, r 1 -> (8, 0xF8, 0);
    // red 0xF800 reads as r 0x1E, g 0 -> (0xF0, 0, 0).
    im.bitfields = true;
    im.masks = {0xF800, 0x07E0, 0x001F};
    Write("bf16.bmp", bmp_writer::EncodeBmp(im));
    ASSERT_TRUE(Load(d, "bf16.bmp"));
    EXPECT_EQ(Row(d, 0)[1], 0x0008F800u);
    EXPECT_EQ(Row(d, 0)[2], 0x00F00000u);
    EXPECT_EQ(d.GetBitCount(), 16);
}

TEST_F(BitmapLoadTest, ThirtyTwoBitBitfieldsCopyTheWord) {
    BmpImage im;
    im.width = 1;
    im.height = 1;
    im.bitCount = 32;
    im.bitfields = true;
    im.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    im.pixels = {0x7F010203};
    Write("bf32.bmp", bmp_writer::EncodeBmp(im));
    CDib d;
    ASSERT_TRUE(Load(d, "bf32.bmp"));
    EXPECT_EQ(d.GetPixel(0, 0), 0x7F010203u);
}

TEST_F(BitmapLoadTest, TopDownRowsLoadTheRightWayUp) {
    BmpImage im = Rgb24(2, 3);
    im.topDown = true;
    Write("td.bmp", bmp_writer::EncodeBmp(im));
    CDib d;
    ASSERT_TRUE(Load(d, "td.bmp"));
    EXPECT_EQ(d.GetHeight(), 3);
    EXPECT_EQ(Row(d, 0), (std::vector<std::uint32_t>{0x00010203, 0x00020406}));
    EXPECT_EQ(Row(d, 2), (std::vector<std::uint32_t>{0x00050A0F, 0x00060C12}));
}

TEST_F(BitmapLoadTest, ColourTableFollowsALargerHeader) {
    for (std::uint32_t header : {52u, 108u, 124u}) {
        BmpImage im;
        im.width = 2;
        im.height = 1;
        im.bitCount = 8;
        im.headerSize = header;
        im.palette = {0x00111111, 0x00222222, 0x00333333};
        im.indices = {2, 1};
        Write("v5.bmp", bmp_writer::EncodeBmp(im));
        CDib d;
        ASSERT_TRUE(Load(d, "v5.bmp")) << header;
        EXPECT_EQ(Row(d, 0), (std::vector<std::uint32_t>{0x00333333, 0x00222222})) << header;
    }
}

TEST_F(BitmapLoadTest, SameSizeOverwritesAndOtherSizeReplaces) {
    Write("a.bmp", bmp_writer::EncodeBmp(Rgb24(2, 2)));
    Write("b.bmp", bmp_writer::EncodeBmp(Rgb24(3, 1)));
    auto d = Existing();
    const std::uint32_t* before = d->GetBits();
    ASSERT_TRUE(Load(*d, "a.bmp"));
    EXPECT_EQ(d->GetBits(), before);
    EXPECT_EQ(d->GetPixel(0, 0), 0x00010203u);
    ASSERT_TRUE(Load(*d, "b.bmp"));
    EXPECT_EQ(d->GetWidth(), 3);
    EXPECT_EQ(d->GetHeight(), 1);
}

TEST_F(BitmapLoadTest, NamesAreFoundInFoldersAndWithAnyCase) {
    testing_support::WriteFile(dir_.path() / "system" / "Base.BMP",
                               bmp_writer::EncodeBmp(Rgb24(1, 1)));
    CDib d;
    EXPECT_TRUE(Load(d, "system\\base.bmp"));
    EXPECT_EQ(d.GetPixel(0, 0), 0x00010203u);
}

TEST_F(BitmapLoadTest, PicturesAreReadFromArchivesToo) {
    // bmp.dat beside the (missing) bmp folder holds A.BMP, scrambled and
    // LZSS-coded: the loader sees the decoded file.
    const std::vector<packwriter::PackMember> members{
        {"A.BMP", bmp_writer::EncodeBmp(Rgb24(2, 1)), 0x10000 | 0x200}};
    ASSERT_TRUE(packwriter::WriteArchive(dir_.path() / "bmp.dat", members));
    CDib d;
    ASSERT_TRUE(Load(d, "bmp\\a.bmp"));
    EXPECT_EQ(Row(d, 0), (std::vector<std::uint32_t>{0x00010203, 0x00020406}));
}

// ---------------------------------------------------------------- refusals

TEST_F(BitmapLoadTest, MissingFileAndEmptyNameLeaveThePicture) {
    auto d = Existing();
    EXPECT_FALSE(Load(*d, "nothing.bmp"));
    ExpectUntouched(*d);
    d->SetState(kDibStateNew);
    EXPECT_FALSE(Load(*d, ""));
    ExpectUntouched(*d);
    EXPECT_FALSE(d->LoadFile(platform::WindowHandle::Main, nullptr));
}

TEST_F(BitmapLoadTest, TwoBitDepthIsRefusedBeforeTheStoreChanges) {
    BmpImage im;
    im.width = 4;
    im.height = 4;
    im.bitCount = 2;
    im.indices.assign(16, 1);
    Write("two.bmp", bmp_writer::EncodeBmp(im));
    auto d = Existing();
    EXPECT_FALSE(Load(*d, "two.bmp"));
    ExpectUntouched(*d);
    EXPECT_EQ(d->GetBitCount(), 0);
}

TEST_F(BitmapLoadTest, RefusedHeaders) {
    const std::vector<std::uint8_t> good = bmp_writer::EncodeBmp(Rgb24(2, 2));
    struct Damage {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        int width; // 2 or 4 bytes
    };
    const Damage cases[] = {
        {"not BM", 0, 'B' | ('X' << 8), 2},
        {"header size 12", bmp_writer::kOffBiSize, 12, 4},
        {"header size past the file", bmp_writer::kOffBiSize, 100000, 4},
        {"width 0", bmp_writer::kOffBiWidth, 0, 4},
        {"negative width", bmp_writer::kOffBiWidth, static_cast<std::uint32_t>(-2), 4},
        {"width 16385", bmp_writer::kOffBiWidth, 16385, 4},
        {"width 2^31 - 1", bmp_writer::kOffBiWidth, 0x7FFFFFFF, 4},
        {"height 0", bmp_writer::kOffBiHeight, 0, 4},
        {"height 16385", bmp_writer::kOffBiHeight, 16385, 4},
        {"height -16385", bmp_writer::kOffBiHeight, static_cast<std::uint32_t>(-16385), 4},
        {"height INT_MIN", bmp_writer::kOffBiHeight, 0x80000000u, 4},
        {"two planes", bmp_writer::kOffBiPlanes, 2, 2},
        {"depth 0", bmp_writer::kOffBiBitCount, 0, 2},
        {"depth 64", bmp_writer::kOffBiBitCount, 64, 2},
        {"RLE8", bmp_writer::kOffBiCompression, 1, 4},
        {"RLE4", bmp_writer::kOffBiCompression, 2, 4},
        {"JPEG", bmp_writer::kOffBiCompression, 4, 4},
        {"pixels past the end", bmp_writer::kOffBfOffBits, 1000, 4},
        {"pixels inside the header", bmp_writer::kOffBfOffBits, 20, 4},
    };
    for (const Damage& c : cases) {
        std::vector<std::uint8_t> bad = good;
        if (c.width == 2)
            bmp_writer::Put16(bad, c.at, static_cast<std::uint16_t>(c.value));
        else
            bmp_writer::Put32(bad, c.at, c.value);
        Write("bad.bmp", bad);
        auto d = Existing();
        EXPECT_FALSE(Load(*d, "bad.bmp")) << c.what;
        ExpectUntouched(*d);
    }
}

TEST_F(BitmapLoadTest, TruncatedFiles) {
    const std::vector<std::uint8_t> good = bmp_writer::EncodeBmp(Rgb24(2, 4));
    // Shorter than the two headers: refused.
    for (std::size_t n : {0u, 2u, 14u, 53u}) {
        Write("cut.bmp", std::vector<std::uint8_t>(good.begin(), good.begin() + n));
        auto d = Existing();
        EXPECT_FALSE(Load(*d, "cut.bmp")) << n;
        ExpectUntouched(*d);
    }
    // Cut inside the pixels (rows of 8 bytes, bottom row first): the rows the
    // file holds load, the rest read as zero. 54 + 8 + 3 bytes: the bottom row
    // whole, 3 bytes of the next (its first pixel), nothing of the top two.
    Write("cut.bmp", std::vector<std::uint8_t>(good.begin(), good.begin() + 54 + 8 + 3));
    CDib d;
    ASSERT_TRUE(Load(d, "cut.bmp"));
    EXPECT_EQ(Row(d, 3), (std::vector<std::uint32_t>{0x00070E15, 0x00081018}));
    EXPECT_EQ(Row(d, 2), (std::vector<std::uint32_t>{0x00050A0F, 0}));
    EXPECT_EQ(Row(d, 1), (std::vector<std::uint32_t>{0, 0}));
    EXPECT_EQ(Row(d, 0), (std::vector<std::uint32_t>{0, 0}));
    // No pixel bytes at all (offset at the very end): a black picture.
    std::vector<std::uint8_t> none(good.begin(), good.begin() + 54);
    bmp_writer::Put32(none, bmp_writer::kOffBfOffBits, 54);
    Write("none.bmp", none);
    ASSERT_TRUE(Load(d, "none.bmp"));
    for (std::uint32_t p : Pixels(d))
        EXPECT_EQ(p, 0u);
}

TEST_F(BitmapLoadTest, TruncatedColourTable) {
    BmpImage im;
    im.width = 2;
    im.height = 1;
    im.bitCount = 8;
    im.palette = {0x00ABCDEF, 0x00123456};
    im.indices = {1, 0};
    std::vector<std::uint8_t> f = bmp_writer::EncodeBmp(im);
    // Keep the header and the first 6 bytes of the table; the offset then
    // points at the end of what is left: entry 1 is cut short, no pixels.
    f.resize(54 + 6);
    bmp_writer::Put32(f, bmp_writer::kOffBfOffBits, 60);
    Write("t.bmp", f);
    CDib d;
    ASSERT_TRUE(Load(d, "t.bmp"));
    // Both pixels are index 0 (zero-filled): entry 0 as stored.
    EXPECT_EQ(Row(d, 0), (std::vector<std::uint32_t>{0x00ABCDEF, 0x00ABCDEF}));
}

TEST_F(BitmapLoadTest, HugeColourCountAndLargestSide) {
    BmpImage im;
    im.width = 16384;
    im.height = 1;
    im.bitCount = 8;
    im.palette = {0, 0x00FFFFFF};
    im.indices.assign(16384, 1);
    std::vector<std::uint8_t> f = bmp_writer::EncodeBmp(im);
    // A colour count past any table reads only the 256 entries there are.
    bmp_writer::Put32(f, bmp_writer::kOffBiClrUsed, 0xFFFFFFFFu);
    Write("wide.bmp", f);
    CDib d;
    ASSERT_TRUE(Load(d, "wide.bmp"));
    EXPECT_EQ(d.GetWidth(), 16384);
    EXPECT_EQ(d.GetPixel(16383, 0), 0x00FFFFFFu);
    // The same side as height, claimed by a file without the rows.
    BmpImage tall = Rgb24(1, 1);
    std::vector<std::uint8_t> t = bmp_writer::EncodeBmp(tall);
    bmp_writer::Put32(t, bmp_writer::kOffBiHeight, 16384);
    Write("tall.bmp", t);
    ASSERT_TRUE(Load(d, "tall.bmp"));
    EXPECT_EQ(d.GetHeight(), 16384);
    EXPECT_EQ(d.GetPixel(0, 16383), 0x00010203u); // the one stored row is the bottom one
    EXPECT_EQ(d.GetPixel(0, 0), 0u);
}

TEST_F(BitmapLoadTest, PackedBlocksAreCheckedToo) {
    // CreateFromDib is reachable on its own: a block too short for its own
    // table or with a refused header changes nothing.
    auto d = Existing();
    EXPECT_EQ(d->CreateFromDib({}), kDibNoBlock);
    std::vector<std::uint8_t> block(40, 0);
    bmp_writer::Put32(block, 0, 40);
    bmp_writer::Put32(block, 4, 2);
    bmp_writer::Put32(block, 8, 2);
    bmp_writer::Put16(block, 12, 1);
    bmp_writer::Put16(block, 14, 8); // needs a 1024-byte table
    EXPECT_EQ(d->CreateFromDib(block), kDibUnsupported);
    bmp_writer::Put16(block, 14, 2);
    EXPECT_EQ(d->CreateFromDib(block), kDibUnsupported);
    EXPECT_EQ(Pixels(*d), (std::vector<std::uint32_t>{1, 2, 3, 4}));
}
