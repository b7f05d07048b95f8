// The system glyph source on the Chinese fonts that scripts/install-deps
// installs: metrics, the GBK mapping, level ranges and vertical text.
#include "TestSupport.h"
#include "platform/Glyph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using platform::GlyphBitmap;
using platform::GlyphLevels;
using platform::GlyphResult;
using platform::TextDirection;

namespace {

constexpr char kHei[] = "\xBA\xDA\xCC\xE5";          // 黑体
constexpr char kVerticalHei[] = "@\xBA\xDA\xCC\xE5"; // @黑体
constexpr char kSong[] = "\xD0\xC2\xCB\xCE\xCC\xE5"; // 新宋体

constexpr std::uint32_t kCodeHei = 0xBADA;   // 黑
constexpr std::uint32_t kCodeOne = 0xD2BB;   // 一, one horizontal stroke
constexpr std::uint32_t kCodeStick = 0xD8AD; // 丨, one vertical stroke
constexpr std::uint32_t kCodeComma = 0xA3AC; // ，full-width comma

struct Ink {
    int left = 0, top = 0, right = 0, bottom = 0; // in cell coordinates, exclusive
    int total = 0;
    int maxLevel = 0;
    bool partial = false; // some level between none and full
};

// Where the inked pixels of a glyph fall in a cell whose top-left is (0, 0).
Ink InkOf(const GlyphBitmap& g, int ascent, int full) {
    Ink ink;
    ink.left = ink.top = 1 << 20;
    ink.right = ink.bottom = -(1 << 20);
    const int stride = GlyphBitmap::RowStride(g.blackBoxX);
    for (int y = 0; y < g.blackBoxY; ++y)
        for (int x = 0; x < g.blackBoxX; ++x) {
            const int level = g.bits[static_cast<size_t>(y) * stride + x];
            if (level == 0) continue;
            ink.total += level;
            ink.maxLevel = std::max(ink.maxLevel, level);
            ink.partial |= level < full;
            const int cx = g.originX + x;
            const int cy = ascent - g.originY + y;
            ink.left = std::min(ink.left, cx);
            ink.right = std::max(ink.right, cx + 1);
            ink.top = std::min(ink.top, cy);
            ink.bottom = std::max(ink.bottom, cy + 1);
        }
    return ink;
}

class GlyphSourceTest : public ::testing::Test {
protected:
    GlyphBitmap Glyph(std::uint32_t code, GlyphLevels levels = GlyphLevels::Levels65) {
        GlyphBitmap g;
        EXPECT_EQ(source->GetGlyph(code, levels, g), GlyphResult::Ok) << std::hex << code;
        return g;
    }

    std::unique_ptr<platform::GlyphSource> source = platform::CreateGlyphSource();
};

TEST_F(GlyphSourceTest, CellsHoldTheirInkAndAdvanceByFullAndHalfWidths) {
    struct Case {
        const char* face;
        int size;
        TextDirection direction;
    };
    const Case cases[] = {
        {kHei, 26, TextDirection::Horizontal},       {kVerticalHei, 23, TextDirection::Vertical},
        {kSong, 14, TextDirection::Horizontal},      {kHei, 12, TextDirection::Horizontal},
        {kVerticalHei, 10, TextDirection::Vertical},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) +
                     (c.direction == TextDirection::Vertical ? " V" : " H"));
        ASSERT_TRUE(source->SetFont(c.face, c.size, c.size / 2, c.direction));
        const int ascent = source->Ascent();
        // The baseline sits in the lower part of the cell, with room below it.
        EXPECT_GT(ascent, c.size / 2);
        EXPECT_LT(ascent, c.size);

        for (std::uint32_t code : {kCodeHei, std::uint32_t{'A'}}) {
            SCOPED_TRACE(code);
            const GlyphBitmap g = Glyph(code);
            ASSERT_GT(g.blackBoxX, 0);
            ASSERT_GT(g.blackBoxY, 0);
            EXPECT_EQ(g.bits.size(),
                      static_cast<size_t>(GlyphBitmap::RowStride(g.blackBoxX)) * g.blackBoxY);
            const Ink ink = InkOf(g, ascent, 64);
            EXPECT_GE(ink.left, 0);
            EXPECT_GE(ink.top, 0);
            EXPECT_LE(ink.right, c.size);
            EXPECT_LE(ink.bottom, c.size);
            if (code == kCodeHei) {
                // Full width: as wide as the cell is high, within a pixel.
                EXPECT_NEAR(g.cellIncX, c.size, 1);
                // An ideograph fills most of its cell.
                EXPECT_GE(ink.right - ink.left, c.size * 6 / 10);
                EXPECT_GE(ink.bottom - ink.top, c.size * 6 / 10);
            } else {
                // Half width, give or take the face's Latin design.
                EXPECT_GE(g.cellIncX, c.size * 4 / 10);
                EXPECT_LE(g.cellIncX, c.size * 7 / 10);
            }
        }
    }
}

TEST_F(GlyphSourceTest, GbkCodesReachTheRightCharacters) {
    ASSERT_TRUE(source->SetFont(kHei, 26, 13, TextDirection::Horizontal));
    const int ascent = source->Ascent();
    const Ink one = InkOf(Glyph(kCodeOne), ascent, 64);
    const Ink stick = InkOf(Glyph(kCodeStick), ascent, 64);
    // 一 is a wide flat stroke, 丨 a tall thin one.
    EXPECT_GT(one.right - one.left, 4 * (one.bottom - one.top));
    EXPECT_GT(stick.bottom - stick.top, 4 * (stick.right - stick.left));
    // 黑 carries far more ink than 一.
    EXPECT_GT(InkOf(Glyph(kCodeHei), ascent, 64).total, 4 * one.total);

    // Spaces, single-byte and ideographic, have no ink but advance.
    for (std::uint32_t code : {std::uint32_t{' '}, std::uint32_t{0xA1A1}}) {
        const GlyphBitmap space = Glyph(code);
        EXPECT_EQ(InkOf(space, ascent, 64).total, 0);
        EXPECT_GT(space.cellIncX, 0);
    }

    // Codes that are no GBK character are missing, not drawn as something else.
    GlyphBitmap g;
    EXPECT_EQ(source->GetGlyph(0x8130, GlyphLevels::Levels65, g), GlyphResult::Missing);
    EXPECT_EQ(source->GetGlyph(0xFFFF, GlyphLevels::Levels65, g), GlyphResult::Missing);
    EXPECT_EQ(source->GetGlyph(0x12345, GlyphLevels::Levels65, g), GlyphResult::Missing);
}

TEST_F(GlyphSourceTest, LevelsSpanSixtyFiveOrSeventeenSteps) {
    ASSERT_TRUE(source->SetFont(kHei, 26, 13, TextDirection::Horizontal));
    const GlyphBitmap fine = Glyph(kCodeHei, GlyphLevels::Levels65);
    const GlyphBitmap coarse = Glyph(kCodeHei, GlyphLevels::Levels17);
    const Ink fineInk = InkOf(fine, 0, 64);
    const Ink coarseInk = InkOf(coarse, 0, 16);
    // Solid strokes reach the top level, edges are anti-aliased, and nothing
    // goes past the top level.
    EXPECT_EQ(fineInk.maxLevel, 64);
    EXPECT_EQ(coarseInk.maxLevel, 16);
    EXPECT_TRUE(fineInk.partial);
    EXPECT_TRUE(coarseInk.partial);
    // The same box either way, and each coarse level is its fine level
    // rounded to a quarter of the steps.
    ASSERT_EQ(fine.blackBoxX, coarse.blackBoxX);
    ASSERT_EQ(fine.blackBoxY, coarse.blackBoxY);
    ASSERT_EQ(fine.bits.size(), coarse.bits.size());
    for (size_t i = 0; i < fine.bits.size(); ++i)
        EXPECT_LE(std::abs(fine.bits[i] - 4 * coarse.bits[i]), 3);
    // Padding bytes of each row are zero.
    const int stride = GlyphBitmap::RowStride(fine.blackBoxX);
    for (int y = 0; y < fine.blackBoxY; ++y)
        for (int x = fine.blackBoxX; x < stride; ++x)
            EXPECT_EQ(fine.bits[static_cast<size_t>(y) * stride + x], 0);
}

TEST_F(GlyphSourceTest, VerticalFacesTurnLatinAndKeepIdeographsUpright) {
    ASSERT_TRUE(source->SetFont(kHei, 23, 11, TextDirection::Horizontal));
    const int ascent = source->Ascent();
    const GlyphBitmap flatHei = Glyph(kCodeHei);
    const Ink flatL = InkOf(Glyph('l'), ascent, 64);
    const Ink flatComma = InkOf(Glyph(kCodeComma), ascent, 64);

    ASSERT_TRUE(source->SetFont(kVerticalHei, 23, 11, TextDirection::Vertical));
    ASSERT_EQ(source->Ascent(), ascent);
    // 黑 is the same glyph in both directions.
    const GlyphBitmap upright = Glyph(kCodeHei);
    EXPECT_EQ(upright.bits, flatHei.bits);
    EXPECT_EQ(upright.originX, flatHei.originX);
    EXPECT_EQ(upright.originY, flatHei.originY);

    // 'l' stands tall on a line and lies flat in a column, inside the cell.
    const Ink turnedL = InkOf(Glyph('l'), ascent, 64);
    EXPECT_GT(flatL.bottom - flatL.top, 3 * (flatL.right - flatL.left));
    EXPECT_GT(turnedL.right - turnedL.left, 3 * (turnedL.bottom - turnedL.top));
    EXPECT_GE(turnedL.left, 0);
    EXPECT_LE(turnedL.right, 23);
    EXPECT_GE(turnedL.top, 0);
    EXPECT_LE(turnedL.bottom, 23);

    // The comma moves from the lower left of a line cell to the upper right
    // of a column cell.
    const Ink columnComma = InkOf(Glyph(kCodeComma), ascent, 64);
    EXPECT_LT(flatComma.left, 23 / 2);
    EXPECT_GT(flatComma.bottom, 23 / 2);
    EXPECT_GE(columnComma.left, 23 / 2);
    EXPECT_LE(columnComma.bottom, 23 * 2 / 3);
    EXPECT_LE(columnComma.right, 23);
    EXPECT_GE(columnComma.top, 0);
}

TEST_F(GlyphSourceTest, FacesMapToDifferentFontsAndUnknownNamesStillFindChinese) {
    ASSERT_TRUE(source->SetFont(kHei, 14, 7, TextDirection::Horizontal));
    const GlyphBitmap sans = Glyph(kCodeHei);
    ASSERT_TRUE(source->SetFont(kSong, 14, 7, TextDirection::Horizontal));
    const GlyphBitmap serif = Glyph(kCodeHei);
    EXPECT_NE(sans.bits, serif.bits);

    // A face nobody has installed falls back to a Chinese one.
    ASSERT_TRUE(source->SetFont("\xCE\xDE\xB4\xCB\xD7\xD6\xCC\xE5" /* 无此字体 */, 14, 7,
                                TextDirection::Horizontal));
    EXPECT_GT(InkOf(Glyph(kCodeHei), source->Ascent(), 64).total, 0);
}

TEST_F(GlyphSourceTest, SizesOutOfRangeOpenNothing) {
    GlyphBitmap g;
    for (int size : {0, -5, 100000}) {
        EXPECT_FALSE(source->SetFont(kHei, size, size / 2, TextDirection::Horizontal));
        EXPECT_EQ(source->GetGlyph(kCodeHei, GlyphLevels::Levels65, g), GlyphResult::Missing);
    }
    // A good size afterwards works again.
    EXPECT_TRUE(source->SetFont(kHei, 18, 9, TextDirection::Horizontal));
    EXPECT_EQ(source->GetGlyph(kCodeHei, GlyphLevels::Levels65, g), GlyphResult::Ok);
}

// Runs the probe with fontconfig limited to the fonts in `fontDir` and
// returns its lines.
std::vector<std::string> RunProbeWithFonts(const std::filesystem::path& root,
                                           const std::filesystem::path& fontDir) {
    const auto conf = root / "fonts.conf";
    {
        std::ofstream f(conf);
        f << "<?xml version=\"1.0\"?>\n<fontconfig><dir>" << fontDir.string() << "</dir><cachedir>"
          << (root / "cache").string() << "</cachedir></fontconfig>\n";
    }
    const std::string command = "FONTCONFIG_FILE=" + conf.string() + " " +
                                std::string(NORVANE_TEST_BIN_DIR) + "/glyph_font_probe 2>/dev/null";
    std::vector<std::string> lines;
    FILE* probe = ::popen(command.c_str(), "r");
    if (!probe) return lines;
    std::array<char, 128> line{};
    while (std::fgets(line.data(), line.size(), probe))
        lines.emplace_back(line.data());
    EXPECT_EQ(::pclose(probe), 0);
    return lines;
}

TEST(GlyphFontWithoutChineseFacesTest, DrawsWhatItCanAndKeepsTheLayout) {
    testing_support::TempDir dir;
    const auto fonts = dir.path() / "fonts";
    std::filesystem::create_directories(fonts);

    // No font at all: nothing is drawn, advances keep the layout.
    auto lines = RunProbeWithFonts(dir.path(), fonts);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "A 13 0\n");
    EXPECT_EQ(lines[1], "hei 26 0\n");

    // A Latin-only face: Latin letters draw, ideographs are missing.
    const std::filesystem::path latin = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!std::filesystem::exists(latin)) GTEST_SKIP() << "no Latin-only face to try";
    std::filesystem::copy_file(latin, fonts / "latin.ttf");
    lines = RunProbeWithFonts(dir.path(), fonts);
    ASSERT_EQ(lines.size(), 2u);
    int advance = 0, inked = 0;
    ASSERT_EQ(std::sscanf(lines[0].c_str(), "A %d %d", &advance, &inked), 2);
    EXPECT_GT(advance, 0);
    EXPECT_GT(inked, 20);
    EXPECT_EQ(lines[1], "hei 26 0\n");
}

} // namespace
