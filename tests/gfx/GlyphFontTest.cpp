// The glyph font with a glyph source that hands out exact bitmaps, so every
// blended byte can be worked out by hand:
//   w = (256 - 4 * level) mod 256 (65 levels) or (256 - 16 * level) mod 256
//   (17 levels); each written byte d becomes (c * (255 - w) + d * w) >> 8,
//   with c the colour's byte and 255 for the fourth byte.
#include "gfx/GlyphFont.h"
#include "TestSupport.h"
#include "app/Shell.h"
#include "gfx/Dib.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

using platform::GlyphBitmap;
using platform::GlyphLevels;
using platform::GlyphResult;
using platform::TextDirection;

namespace {

class FakeGlyphSource : public platform::GlyphSource {
public:
    struct FontCall {
        std::string face;
        int height;
        int width;
        TextDirection direction;
    };

    bool SetFont(std::string_view face, int height, int width, TextDirection direction) override {
        fontCalls.push_back({std::string(face), height, width, direction});
        return true;
    }
    int Ascent() const override { return ascent; }
    GlyphResult GetGlyph(std::uint32_t code, GlyphLevels levels, GlyphBitmap& out) override {
        requests.push_back({code, levels});
        auto it = glyphs.find(code);
        if (it == glyphs.end()) return GlyphResult::Missing;
        out = it->second;
        return GlyphResult::Ok;
    }

    int ascent = 10;
    std::map<std::uint32_t, GlyphBitmap> glyphs;
    std::vector<FontCall> fontCalls;
    std::vector<std::pair<std::uint32_t, GlyphLevels>> requests;
};

// A glyph from its rows of levels; rows are padded to four bytes with `pad`,
// which must never reach the surface.
GlyphBitmap MakeGlyph(const std::vector<std::vector<std::uint8_t>>& rows, int originX, int originY,
                      int cellIncX, std::uint8_t pad = 64) {
    GlyphBitmap g;
    g.blackBoxY = static_cast<int>(rows.size());
    g.blackBoxX = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    g.originX = originX;
    g.originY = originY;
    g.cellIncX = cellIncX;
    const int stride = GlyphBitmap::RowStride(g.blackBoxX);
    for (const auto& row : rows) {
        g.bits.insert(g.bits.end(), row.begin(), row.end());
        g.bits.insert(g.bits.end(), static_cast<size_t>(stride - g.blackBoxX), pad);
    }
    return g;
}

// Background of every blend test: blue 0x10, green 0x80, red 0xF0, fourth
// byte 0x00 (or 0x5A where the fourth byte must stay).
constexpr std::uint32_t kBack = 0x00F08010;
constexpr std::uint32_t kBackWithFourth = 0x5AF08010;
// Colour 0x00336699: red 51, green 102, blue 153.
constexpr std::uint32_t kColour = 0x00336699;

class GlyphFontTest : public ::testing::Test {
protected:
    GlyphFontTest() {
        auto source = std::make_unique<FakeGlyphSource>();
        fake = source.get();
        font = std::make_unique<CGlyphFont>(std::move(source));
        font->SetFont(26, 0);
        dib.Create(platform::WindowHandle::None, 16, 12, 24);
        dib.FillRect(0, 0, 16, 12, kBack);
    }

    std::uint32_t At(int x, int y) { return *dib.GetPixelPtr(x, y); }
    // Pixels other than those listed still hold the background.
    void ExpectOnlyChanged(const std::vector<std::pair<int, int>>& changed,
                           std::uint32_t back = kBack) {
        for (int y = 0; y < dib.GetHeight(); ++y)
            for (int x = 0; x < dib.GetWidth(); ++x) {
                bool listed = false;
                for (auto [cx, cy] : changed)
                    listed |= cx == x && cy == y;
                if (!listed) {
                    EXPECT_EQ(At(x, y), back) << "pixel " << x << "," << y;
                }
            }
    }

    FakeGlyphSource* fake = nullptr;
    std::unique_ptr<CGlyphFont> font;
    CDib dib;
};

// 'A' as a 3x1 glyph of levels 64, 32 and 1 with its origin at (2, 7): drawn
// at (5, 3) with ascent 10 its top-left lands on (5 + 2, 3 + 10 - 7) = (7, 6).
constexpr std::uint32_t kCodeA = 0x41;

TEST_F(GlyphFontTest, OnePassBlendsEachLevelIntoAllFourBytes) {
    fake->glyphs[kCodeA] = MakeGlyph({{64, 32, 1, 0}}, 2, 7, 13);
    // Width 4 is already a multiple of four: no padding, the level-0 byte is
    // inside the box and skipped.
    EXPECT_EQ(font->DrawChar32(&dib, 5, 3, "A", kColour), 13);
    // Level 64, w = 0: c * 255 >> 8 -> blue 153*255>>8 = 152, green 101,
    // red 50, fourth 254.
    EXPECT_EQ(At(7, 6), 0xFE326598u);
    // Level 32, w = 128: (c*127 + d*128) >> 8 -> blue (19431+2048)>>8 = 83,
    // green (12954+16384)>>8 = 114, red (6477+30720)>>8 = 145,
    // fourth (32385+0)>>8 = 126.
    EXPECT_EQ(At(8, 6), 0x7E917253u);
    // Level 1, w = 252: (c*3 + d*252) >> 8 -> blue (459+4032)>>8 = 17,
    // green (306+32256)>>8 = 127, red (153+60480)>>8 = 236, fourth 765>>8 = 2.
    EXPECT_EQ(At(9, 6), 0x02EC7F11u);
    ExpectOnlyChanged({{7, 6}, {8, 6}, {9, 6}});
    EXPECT_EQ(fake->requests.back().second, GlyphLevels::Levels65);
}

TEST_F(GlyphFontTest, TwoPassesMakePartlyCoveredPixelsHeavierAndLeaveFullOnesAlone) {
    fake->glyphs[kCodeA] = MakeGlyph({{64, 32}}, 2, 7, 13);
    EXPECT_EQ(font->DrawChar(&dib, 5, 3, "A", kColour), 13);
    // Full coverage: the second pass with w = 0 gives the same 152, 101, 50, 254.
    EXPECT_EQ(At(7, 6), 0xFE326598u);
    // Level 32 after the first pass: 83, 114, 145, 126 (above). Second pass,
    // w = 128: blue (19431 + 83*128)>>8 = 30055>>8 = 117, green (12954 +
    // 114*128)>>8 = 27546>>8 = 107, red (6477 + 145*128)>>8 = 25037>>8 = 97,
    // fourth (32385 + 126*128)>>8 = 48513>>8 = 189.
    EXPECT_EQ(At(8, 6), 0xBD616B75u);
    // Width 2 is padded to 4; the padding (level 64) must not be drawn.
    ExpectOnlyChanged({{7, 6}, {8, 6}});
}

TEST_F(GlyphFontTest, WhiteOnFullCoverageGives254InEveryByte) {
    fake->glyphs[kCodeA] = MakeGlyph({{64}}, 0, 10, 13);
    font->DrawChar(&dib, 0, 0, "A", 0xFFFFFF);
    EXPECT_EQ(At(0, 0), 0xFEFEFEFEu);
    // The colour's top byte is ignored: the fourth byte blends towards 255.
    fake->glyphs['B'] = MakeGlyph({{64}}, 1, 10, 13);
    font->DrawChar32(&dib, 0, 0, "B", 0xAB000000u);
    // Level 64: black colour bytes become 0, fourth byte 254.
    EXPECT_EQ(At(1, 0), 0xFE000000u);
}

TEST_F(GlyphFontTest, SeventeenLevelsWeighSixteenPerLevelInTwoPasses) {
    font->SetFont(10, 1);
    fake->glyphs[kCodeA] = MakeGlyph({{16, 4, 0}}, 2, 7, 13, 16);
    // DrawCharGray4 steps by the size, not by the glyph's increment.
    EXPECT_EQ(font->DrawCharGray4(&dib, 5, 3, "A", kColour), 10);
    EXPECT_EQ(fake->requests.back().second, GlyphLevels::Levels17);
    // Level 16, w = 0: 152, 101, 50, 254.
    EXPECT_EQ(At(7, 6), 0xFE326598u);
    // Level 4, w = 192: first pass (c*63 + d*192) >> 8 -> blue
    // (9639+3072)>>8 = 49, green (6426+24576)>>8 = 121, red (3213+46080)>>8 =
    // 192, fourth 16065>>8 = 62; second pass -> blue (9639+49*192)>>8 =
    // 19047>>8 = 74, green (6426+121*192)>>8 = 29658>>8 = 115, red
    // (3213+192*192)>>8 = 40077>>8 = 156, fourth (16065+62*192)>>8 =
    // 27969>>8 = 109.
    EXPECT_EQ(At(8, 6), 0x6D9C734Au);
    ExpectOnlyChanged({{7, 6}, {8, 6}});
}

TEST_F(GlyphFontTest, PlainSeventeenLevelsSkipLevelOneAndKeepTheFourthByte) {
    dib.FillRect(0, 0, 16, 12, kBackWithFourth);
    fake->glyphs[kCodeA] = MakeGlyph({{1, 2, 16}}, 2, 7, 9, 16);
    EXPECT_EQ(font->DrawCharGray4Plain(&dib, 5, 3, "A", kColour), 9);
    EXPECT_EQ(fake->requests.back().second, GlyphLevels::Levels17);
    // Level 1 is not inked.
    EXPECT_EQ(At(7, 6), kBackWithFourth);
    // Level 2, w = 224, one pass, colour bytes only: blue (4743+3584)>>8 = 32,
    // green (3162+28672)>>8 = 124, red (1581+53760)>>8 = 216; fourth stays 0x5A.
    EXPECT_EQ(At(8, 6), 0x5AD87C20u);
    // Level 16: 152, 101, 50 and the fourth byte still 0x5A.
    EXPECT_EQ(At(9, 6), 0x5A326598u);
    ExpectOnlyChanged({{7, 6}, {8, 6}, {9, 6}}, kBackWithFourth);
}

TEST_F(GlyphFontTest, ShadowsFallTwoRightAndTwoDownAndLaterInkCoversThem) {
    // Levels 64 at (0, 0) and 32 at (2, 2) of the box, whose top-left lands on
    // (7, 6): ink at (7, 6) and (9, 8), shadows at (9, 8) and (11, 10).
    fake->glyphs[kCodeA] = MakeGlyph({{64, 0, 0}, {0, 0, 0}, {0, 0, 32}}, 2, 7, 13);
    EXPECT_EQ(font->DrawCharShadow(&dib, 5, 3, "A", kColour), 13);
    EXPECT_EQ(fake->requests.back().second, GlyphLevels::Levels65);
    // One pass of level 64: 152, 101, 50, 254.
    EXPECT_EQ(At(7, 6), 0xFE326598u);
    // Shadow with w = 0: every byte (31 * 255) >> 8 = 30. Then the ink of
    // level 32, w = 128, over it: blue (153*127 + 30*128) >> 8 = 23271 >> 8 =
    // 90, green (12954 + 3840) >> 8 = 65, red (6477 + 3840) >> 8 = 40, fourth
    // (32385 + 3840) >> 8 = 141.
    EXPECT_EQ(At(9, 8), 0x8D28415Au);
    // Shadow of level 32 on the background: (31*127 + d*128) >> 8 -> blue
    // (3937 + 2048) >> 8 = 23, green (3937 + 16384) >> 8 = 79, red (3937 +
    // 30720) >> 8 = 135, fourth 3937 >> 8 = 15.
    EXPECT_EQ(At(11, 10), 0x0F874F17u);
    ExpectOnlyChanged({{7, 6}, {9, 8}, {11, 10}});

    // Ink left of the surface still casts its shadow onto it; a shadow past
    // the right edge is dropped.
    dib.FillRect(0, 0, 16, 12, kBack);
    fake->glyphs['B'] = MakeGlyph({{64}}, 0, 10, 13);
    font->DrawCharShadow(&dib, -2, 0, "B", kColour);
    font->DrawCharShadow(&dib, 15, 0, "B", kColour);
    EXPECT_EQ(At(0, 2), 0x1E1E1E1Eu);
    EXPECT_EQ(At(15, 0), 0xFE326598u);
    ExpectOnlyChanged({{0, 2}, {15, 0}});
}

TEST_F(GlyphFontTest, TwentyFourBitTextSkipsLevelOneAndKeepsTheFourthByte) {
    dib.FillRect(0, 0, 16, 12, kBackWithFourth);
    fake->glyphs[kCodeA] = MakeGlyph({{1, 2, 64, 32}}, 2, 7, 11);
    EXPECT_EQ(font->DrawChar24(&dib, 5, 3, "A", kColour), 11);
    EXPECT_EQ(fake->requests.back().second, GlyphLevels::Levels65);
    EXPECT_EQ(At(7, 6), kBackWithFourth);
    // Level 2 of 65, w = 248: blue (153*7 + 16*248) >> 8 = 5039 >> 8 = 19,
    // green (714 + 31744) >> 8 = 126, red (357 + 59520) >> 8 = 233.
    EXPECT_EQ(At(8, 6), 0x5AE97E13u);
    EXPECT_EQ(At(9, 6), 0x5A326598u);
    // Level 32, w = 128: 83, 114, 145 as in one pass above.
    EXPECT_EQ(At(10, 6), 0x5A917253u);
    ExpectOnlyChanged({{8, 6}, {9, 6}, {10, 6}}, kBackWithFourth);
}

TEST_F(GlyphFontTest, RowsGoDownTheSurfaceFromTheCellTop) {
    fake->ascent = 4;
    fake->glyphs[0xBADA] = MakeGlyph({{64, 0}, {0, 64}}, 1, 3, 26);
    font->SetFont(26, 0);
    // Top-left at (2 + 1, 5 + 4 - 3) = (3, 6); the second row one row lower.
    EXPECT_EQ(font->DrawChar32(&dib, 2, 5, "\xBA\xDA", 0xFFFFFF), 26);
    EXPECT_EQ(At(3, 6), 0xFEFEFEFEu);
    EXPECT_EQ(At(4, 7), 0xFEFEFEFEu);
    ExpectOnlyChanged({{3, 6}, {4, 7}});
}

TEST_F(GlyphFontTest, IdeographicSpaceReturnsTheSizeAndDrawsNothing) {
    fake->glyphs[0xA1A1] = MakeGlyph({{64}}, 0, 10, 99);
    EXPECT_EQ(font->DrawChar(&dib, 0, 0, "\xA1\xA1", kColour), 26);
    EXPECT_EQ(font->DrawChar32(&dib, 0, 0, "\xA1\xA1", kColour), 26);
    EXPECT_EQ(font->DrawCharGray4Plain(&dib, 0, 0, "\xA1\xA1", kColour), 26);
    font->SetFont(12, 1);
    EXPECT_EQ(font->DrawCharGray4(&dib, 0, 0, "\xA1\xA1", kColour), 12);
    EXPECT_TRUE(fake->requests.empty());
    ExpectOnlyChanged({});
}

TEST_F(GlyphFontTest, CharacterCodesFollowTheLeadByteRule) {
    fake->glyphs[kCodeA] = MakeGlyph({{64}}, 0, 10, 13);
    fake->glyphs[0xBADA] = MakeGlyph({{64}}, 0, 10, 26);
    // A single byte is drawn from itself; the lead byte after it is not used.
    EXPECT_EQ(font->DrawChar(&dib, 0, 0, "A\xBA\xDA", kColour), 13);
    // A lead byte takes the byte after it.
    EXPECT_EQ(font->DrawChar(&dib, 0, 0, "\xBA\xDA", kColour), 26);
    // 0xA1 followed by something else is an ordinary double-byte character.
    font->DrawChar(&dib, 0, 0, "\xA1\xA2", kColour);
    // 0x80 and 0xFF are not lead bytes.
    font->DrawChar(&dib, 0, 0, "\x80\xBA", kColour);
    font->DrawChar(&dib, 0, 0, "\xFF\xBA", kColour);
    ASSERT_EQ(fake->requests.size(), 5u);
    EXPECT_EQ(fake->requests[0].first, 0x41u);
    EXPECT_EQ(fake->requests[1].first, 0xBADAu);
    EXPECT_EQ(fake->requests[2].first, 0xA1A2u);
    EXPECT_EQ(fake->requests[3].first, 0x80u);
    EXPECT_EQ(fake->requests[4].first, 0xFFu);
    // Nothing to draw: no request, no advance.
    EXPECT_EQ(font->DrawChar(&dib, 0, 0, "", kColour), 0);
    EXPECT_EQ(fake->requests.size(), 5u);
}

TEST_F(GlyphFontTest, MissingGlyphsDrawNothingAndKeepTheLayout) {
    // Nothing is known to the source: half a cell for a single byte, a whole
    // cell for a double byte, the size for column text.
    EXPECT_EQ(font->DrawChar(&dib, 0, 0, "A", kColour), 13);
    EXPECT_EQ(font->DrawChar32(&dib, 0, 0, "\xBA\xDA", kColour), 26);
    EXPECT_EQ(font->DrawCharGray4Plain(&dib, 0, 0, "\x7F", kColour), 13);
    // A lead byte cut off at the end of the text still counts as double.
    EXPECT_EQ(font->DrawChar(&dib, 0, 0, std::string_view("\xBA", 1), kColour), 26);
    EXPECT_EQ(fake->requests.back().first, 0xBA00u);
    font->SetFont(23, 1);
    EXPECT_EQ(font->DrawCharGray4(&dib, 0, 0, "A", kColour), 23);
    font->SetFont(23, 0);
    EXPECT_EQ(font->DrawChar(&dib, 0, 0, "A", kColour), 11);
    ExpectOnlyChanged({});
}

TEST_F(GlyphFontTest, ReturnsFollowTheOperation) {
    fake->glyphs[kCodeA] = MakeGlyph({{64}}, 0, 10, 13);
    fake->glyphs[0xBADA] = MakeGlyph({{64}}, 0, 10, 25);
    font->SetFont(10, 1);
    EXPECT_EQ(font->DrawCharGray4(&dib, 0, 0, "A", kColour), 10);
    EXPECT_EQ(font->DrawCharGray4(&dib, 0, 0, "\xBA\xDA", kColour), 10);
    EXPECT_EQ(font->DrawChar(&dib, 0, 0, "A", kColour), 13);
    EXPECT_EQ(font->DrawChar32(&dib, 0, 0, "\xBA\xDA", kColour), 25);
    EXPECT_EQ(font->DrawCharGray4Plain(&dib, 0, 0, "\xBA\xDA", kColour), 25);
    // A null surface only measures.
    EXPECT_EQ(font->DrawChar(nullptr, 0, 0, "\xBA\xDA", kColour), 25);
    EXPECT_EQ(font->DrawCharGray4(nullptr, 0, 0, "A", kColour), 10);
}

TEST_F(GlyphFontTest, SetFontChoosesFaceDirectionAndHalfWidth) {
    font->SetFont(10, 1);
    font->SetFont(14, 2);
    font->SetFont(24, 0);
    font->SetFont(23, 7);
    font->SetFont(18, -1);
    ASSERT_EQ(fake->fontCalls.size(), 6u); // the first made by the fixture
    const auto& c = fake->fontCalls;
    EXPECT_EQ(c[0].face, "\xBA\xDA\xCC\xE5"); // 黑体
    EXPECT_EQ(c[0].height, 26);
    EXPECT_EQ(c[0].width, 13);
    EXPECT_EQ(c[1].face, "@\xBA\xDA\xCC\xE5"); // @黑体
    EXPECT_EQ(c[1].direction, TextDirection::Vertical);
    EXPECT_EQ(c[1].height, 10);
    EXPECT_EQ(c[1].width, 5);
    EXPECT_EQ(c[2].face, "\xD0\xC2\xCB\xCE\xCC\xE5"); // 新宋体
    EXPECT_EQ(c[2].direction, TextDirection::Horizontal);
    EXPECT_EQ(c[2].width, 7);
    EXPECT_EQ(c[3].face, "\xBA\xDA\xCC\xE5");
    EXPECT_EQ(c[4].face, "\xBA\xDA\xCC\xE5");
    EXPECT_EQ(c[4].direction, TextDirection::Horizontal);
    EXPECT_EQ(c[4].width, 11); // 23 / 2 rounds toward zero
    EXPECT_EQ(c[5].face, "\xBA\xDA\xCC\xE5");
    EXPECT_EQ(c[5].width, 9);
    EXPECT_EQ(font->GetSize(), 18);
}

TEST_F(GlyphFontTest, GlyphsAreClippedToTheSurface) {
    CDib small;
    small.Create(platform::WindowHandle::None, 4, 4, 24);
    small.FillRect(0, 0, 4, 4, 0);
    fake->ascent = 0;
    font->SetFont(26, 0);
    // A 3x3 fully covered block whose top-left lands on (x, y).
    fake->glyphs[kCodeA] = MakeGlyph({{64, 64, 64}, {64, 64, 64}, {64, 64, 64}}, 0, 0, 3);
    auto inked = [&](int x, int y) { return *small.GetPixelPtr(x, y) != 0; };
    auto count = [&] {
        int n = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                n += inked(x, y);
        return n;
    };

    font->DrawChar(&small, -1, -1, "A", 0xFFFFFF); // over the top-left corner
    EXPECT_EQ(count(), 4);
    EXPECT_TRUE(inked(0, 0) && inked(1, 0) && inked(0, 1) && inked(1, 1));

    small.FillRect(0, 0, 4, 4, 0);
    font->DrawChar(&small, 2, 2, "A", 0xFFFFFF); // over the bottom-right corner
    EXPECT_EQ(count(), 4);
    EXPECT_TRUE(inked(2, 2) && inked(3, 2) && inked(2, 3) && inked(3, 3));

    small.FillRect(0, 0, 4, 4, 0);
    font->DrawChar(&small, 3, -2, "A", 0xFFFFFF); // only its bottom-left pixel inside
    EXPECT_EQ(count(), 1);
    EXPECT_TRUE(inked(3, 0));

    small.FillRect(0, 0, 4, 4, 0);
    font->DrawChar(&small, -3, 1, "A", 0xFFFFFF); // just left of the surface
    font->DrawChar(&small, 4, 1, "A", 0xFFFFFF);  // just right of it
    font->DrawChar(&small, 1, 4, "A", 0xFFFFFF);  // just below
    font->DrawChar(&small, 1, -3, "A", 0xFFFFFF); // just above
    font->DrawChar(&small, INT_MAX, INT_MAX, "A", 0xFFFFFF);
    font->DrawChar(&small, INT_MIN, INT_MIN, "A", 0xFFFFFF);
    EXPECT_EQ(count(), 0);

    // A surface without pixels is left alone.
    CDib empty;
    empty.Create(platform::WindowHandle::None, 0, 0, 24);
    EXPECT_EQ(font->DrawChar(&empty, 0, 0, "A", 0xFFFFFF), 3);
}

TEST_F(GlyphFontTest, AGlyphWhoseBitmapIsShortDrawsNothing) {
    GlyphBitmap g = MakeGlyph({{64, 64}, {64, 64}}, 0, 10, 13);
    g.bits.resize(5); // two rows of stride 4 need 8 bytes
    fake->glyphs[kCodeA] = g;
    EXPECT_EQ(font->DrawChar(&dib, 0, 0, "A", kColour), 13);
    ExpectOnlyChanged({});
}

TEST(GlyphFontCacheTest, KeepsGlyphsPerSizeAndFaceAndDrawsTheSamePixels) {
    auto run = [](GlyphCache mode, CDib& dib, int& requests) {
        auto source = std::make_unique<FakeGlyphSource>();
        FakeGlyphSource* fake = source.get();
        fake->glyphs[0xBADA] = MakeGlyph({{64, 40, 3}, {12, 64, 1}}, 1, 8, 26);
        CGlyphFont font(std::move(source), mode);
        dib.Create(platform::WindowHandle::None, 40, 16, 24);
        dib.FillRect(0, 0, 40, 16, 0x40302010);
        font.SetFont(26, 0);
        font.DrawChar(&dib, 0, 0, "\xBA\xDA", 0xFF8040);
        font.DrawChar(&dib, 8, 0, "\xBA\xDA", 0xFF8040);
        font.DrawCharGray4Plain(&dib, 16, 0, "\xBA\xDA", 0xFF8040); // other levels
        font.DrawChar(&dib, 24, 0, "Z", 0xFF8040);                  // missing
        font.DrawChar(&dib, 24, 0, "Z", 0xFF8040);
        font.SetFont(24, 0);
        font.DrawChar(&dib, 32, 0, "\xBA\xDA", 0xFF8040); // another size
        requests = static_cast<int>(fake->requests.size());
    };
    CDib cached, uncached;
    int cachedRequests = 0, uncachedRequests = 0;
    run(GlyphCache::On, cached, cachedRequests);
    run(GlyphCache::Off, uncached, uncachedRequests);
    EXPECT_EQ(uncachedRequests, 6);
    // Once for 65 levels, once for 17, once for the missing 'Z', once at 24.
    EXPECT_EQ(cachedRequests, 4);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(*cached.GetPixelPtr(x, y), *uncached.GetPixelPtr(x, y)) << x << "," << y;
}

class GlyphFontShellTest : public testing_support::HeadlessTest {};

TEST_F(GlyphFontShellTest, TheWindowMakesTheFontAtSize26AndFreesIt) {
    ASSERT_TRUE(platform::CreateMainWindow(g_windowTitle));
    OnCreate(platform::WindowHandle::Main);
    ASSERT_NE(g_glyphFont, nullptr);
    EXPECT_EQ(g_glyphFont->GetSize(), 26);
    // The ideographic space needs no font file.
    EXPECT_EQ(g_glyphFont->DrawChar(nullptr, 0, 0, "\xA1\xA1", 0), 26);
    OnDestroy();
    EXPECT_EQ(g_glyphFont, nullptr);
}

} // namespace
