#include "ScenarioFixture.h"
#include "gfx/GlyphFont.h"
#include "lib/BmpWriter.h"

using testing_support::ScenarioTest;
namespace hl = platform::headless;

namespace {

// Colours without the fourth byte, which the two renderer classes may set
// differently.
std::uint32_t Rgb(const CDib* dib, int x, int y) {
    const std::uint32_t* p = dib ? dib->GetPixelPtr(x, y) : nullptr;
    return p ? (*p & 0xFFFFFFu) : 0xDEADBEEFu;
}

// A 32-bit picture without pixels yet.
bmp_writer::BmpImage Blank(int w, int h) {
    bmp_writer::BmpImage image;
    image.width = w;
    image.height = h;
    image.bitCount = 32;
    return image;
}

class PictureOpcodeTest : public ScenarioTest {
protected:
    // A solid picture of `bits` 24 or 32 (the fourth byte of each word is
    // its alpha in 32 bits).
    void Picture(const std::string& path, int w, int h, std::uint32_t word, int bits = 24) {
        bmp_writer::BmpImage image;
        image.width = w;
        image.height = h;
        image.bitCount = bits;
        image.pixels.assign(static_cast<std::size_t>(w) * h, word);
        ASSERT_TRUE(bmp_writer::WriteBmp(dir_.path() / path, image));
    }
    void Picture(const std::string& path, const bmp_writer::BmpImage& image) {
        ASSERT_TRUE(bmp_writer::WriteBmp(dir_.path() / path, image));
    }
    // Rebuilds the script object so that its constructor loads the system
    // pictures written since.
    void Rebuild() {
        g_scenario.reset();
        g_scenario = std::make_unique<CScenario>(platform::WindowHandle::Main);
    }
};

} // namespace

TEST_F(PictureOpcodeTest, ABackgroundGetsItsLetterboxAndDayStrips) {
    Picture("system/obi.bmp", 800, 50, 0x00AA0000);
    // Day rows: row r of day.bmp is 165 x 28 of colour 0x10 * (r + 1), alpha
    // 255; of day2.bmp 70 x 10.
    bmp_writer::BmpImage day = Blank(165, 28 * 29);
    bmp_writer::BmpImage day2 = Blank(70, 10 * 29);
    for (int y = 0; y < day.height; ++y)
        for (int x = 0; x < day.width; ++x)
            day.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(y / 28 + 1));
    for (int y = 0; y < day2.height; ++y)
        for (int x = 0; x < day2.width; ++x)
            day2.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(0x100 * (y / 10 + 1)));
    Picture("system/day.bmp", day);
    Picture("system/day2.bmp", day2);
    Picture("bmp/bg01.bmp", 800, 600, 0x00336699);
    Rebuild();
    S().dayNumber = 3;
    Start("load_background surface=1 text=\"bg01.bmp\"\nend");
    g_scenario->Step();
    EXPECT_EQ(App().mode, 2);
    const CDib* s1 = cdib[1].get();
    ASSERT_NE(s1, nullptr);
    EXPECT_EQ(Rgb(s1, 400, 300), 0x336699u);
    EXPECT_EQ(Rgb(s1, 400, 0), 0xAA0000u); // band at the top
    EXPECT_EQ(Rgb(s1, 799, 49), 0xAA0000u);
    EXPECT_EQ(Rgb(s1, 400, 550), 0u); // black band at the bottom
    EXPECT_EQ(Rgb(s1, 0, 599), 0u);
    EXPECT_EQ(Rgb(s1, 400, 549), 0x336699u);
    // Row 2 of each day picture (day 3), opaque: its own colours.
    EXPECT_EQ(Rgb(s1, 6, 16), 3u);
    EXPECT_EQ(Rgb(s1, 170, 43), 3u);
    EXPECT_EQ(Rgb(s1, 171, 16), 0xAA0000u);
    EXPECT_EQ(Rgb(s1, 20, 45), 0x300u);
    EXPECT_EQ(Rgb(s1, 89, 54), 0x300u);
    EXPECT_EQ(Rgb(s1, 90, 54), 0x336699u);
    // The page gets the band, the backup the whole surface.
    EXPECT_EQ(Rgb(g_fullPage.get(), 400, 10), 0xAA0000u);
    EXPECT_EQ(Rgb(g_fullPage.get(), 6, 16), 0xAA0000u);
    EXPECT_EQ(Rgb(g_fullPage.get(), 400, 575), 0x336699u);
    EXPECT_EQ(Rgb(g_backupSurface.get(), 6, 16), 3u);
    EXPECT_EQ(Rgb(g_backupSurface.get(), 400, 575), 0u);
    EXPECT_EQ(std::string(App().surfaceNames[1].data()), "bg01.bmp");
    EXPECT_EQ(S().letterbox, 1);

    // Day 0 and day 30 draw no strips.
    for (int d : {0, 30}) {
        S().dayNumber = static_cast<std::int8_t>(d);
        Start("load_background surface=2 text=\"bg01.bmp\"\nend");
        g_scenario->Step();
        EXPECT_EQ(Rgb(cdib[2].get(), 6, 60), 0x336699u) << d;
        EXPECT_EQ(Rgb(cdib[2].get(), 20, 45), 0xAA0000u) << d; // inside the band
    }
}

TEST_F(PictureOpcodeTest, ACharacterSpriteLandsCentredAndItsRemovalRestoresTheBackground) {
    Picture("bmp/bg.bmp", 800, 600, 0x00204060);
    // 100 x 200 sprite: opaque red with a transparent left column.
    bmp_writer::BmpImage sprite = Blank(100, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 100; ++x)
            sprite.pixels.push_back(x == 0 ? 0x0000FF00u : 0xFFFF0000u);
    Picture("chara/ch01.bmp", sprite);
    Start("load_image surface=1 text=\"bg.bmp\"\nset_char_sprite slot=4 text=\"ch01.bmp\"\n"
          "set_char slot=4 face=6 x=400 y=100\nrestore_backup variant=0\nend");
    for (int i = 0; i < 3; ++i)
        StepOnce();
    const CDib* s1 = cdib[1].get();
    // Left edge at 400 - 100 / 2 = 350; its column is transparent.
    EXPECT_EQ(Rgb(s1, 350, 150), 0x204060u);
    EXPECT_EQ(Rgb(s1, 351, 100), 0xFF0000u);
    EXPECT_EQ(Rgb(s1, 449, 299), 0xFF0000u);
    EXPECT_EQ(Rgb(s1, 450, 150), 0x204060u);
    EXPECT_EQ(Rgb(s1, 400, 99), 0x204060u);
    EXPECT_EQ(Rgb(s1, 400, 300), 0x204060u);
    EXPECT_EQ(App().charCentreX[4], 400);
    EXPECT_EQ(App().charShown[4], 1);
    EXPECT_EQ(App().charParams[4], 6);
    EXPECT_EQ(std::string(App().charNames[4].data()), "ch01.bmp");
    EXPECT_EQ(Reports(), 0u);

    StepOnce(); // restore_backup: the sprite is gone from surface 1
    EXPECT_EQ(Rgb(cdib[1].get(), 400, 150), 0x204060u);
    EXPECT_EQ(App().charShown[4], 0);
    EXPECT_EQ(App().charCentreX[4], 0);
    EXPECT_EQ(std::string(App().charNames[4].data()), "ch01.bmp");
}

TEST_F(PictureOpcodeTest, CharacterOpcodesWithoutTheirPicturesSayWhatIsMissing) {
    cdib[1].reset();
    Start("set_char slot=3 face=0 x=0 y=0\nset_char_sprite slot=3 text=\"none.bmp\"\n"
          "set_char slot=3 face=0 x=5 y=6\nface_frame slot=9 face=0 ms=10\nface_frame slot=0 "
          "face=2 ms=10\nend");
    StepOnce();
    ASSERT_EQ(Reports(), 1u);
    EXPECT_EQ(hl::Questions()[0].gbkText, "Not Base");
    EXPECT_EQ(hl::Questions()[0].gbkCaption, "Error");
    EXPECT_EQ(App().mode, 2);
    StepOnce();
    StepOnce();
    ASSERT_EQ(Reports(), 2u);
    EXPECT_EQ(hl::Questions()[1].gbkText, "Not cdib[1]");
    EXPECT_EQ(hl::Questions()[1].gbkCaption, "Error:SetScrCharSet");
    EXPECT_EQ(App().charShown[3], 1);
    StepOnce();
    ASSERT_EQ(Reports(), 3u);
    EXPECT_EQ(hl::Questions()[2].gbkText, "Not Frame");
    EXPECT_EQ(App().mode, 39);
    StepOnce(); // surface 0 is there; no face sheet is
    ASSERT_EQ(Reports(), 4u);
    EXPECT_EQ(hl::Questions()[3].gbkText, "Not FaceFrame");
    // Placed at the last opcode 19's x.
    EXPECT_EQ(App().charCentreX[0], 5);
    EXPECT_EQ(App().charParams[0], 2);
    EXPECT_EQ(S().effectType, 2);
    EXPECT_EQ(S().effectDuration, 10u);
}

TEST_F(PictureOpcodeTest, PicturesNamedInTheCgTableSetTheirFlags) {
    Start("load_image surface=3 text=\"E001B.BMP\"\nload_layer layer=2 text=\"guest010.bmp\"\n"
          "load_layer_chara layer=3 text=\"e002b.bmp\"\nload_image surface=4 text=\"other.bmp\"\n"
          "load_image surface=5 text=\"e035b.bmp\"\nend");
    for (int i = 0; i < 5; ++i)
        StepOnce();
    EXPECT_EQ(g_config[config::kCgFlags + 1], 1);           // row 0, column 1
    EXPECT_EQ(g_config[config::kCgFlags + 43 * 21], 1);     // row 43
    EXPECT_EQ(g_config[config::kCgFlags + 1 * 21], 0);      // opcode 88 sets none
    EXPECT_EQ(g_config[config::kCgFlags + 33 * 21 + 1], 1); // row 33, column 1
    int set = 0;
    for (std::size_t i = 0; i < 60 * 21; ++i)
        set += g_config[config::kCgFlags + i];
    EXPECT_EQ(set, 3);
    // Missing pictures leave empty surfaces and the script goes on.
    ASSERT_NE(cdib[4], nullptr);
    EXPECT_EQ(cdib[4]->GetWidth(), 0);
    ASSERT_NE(g_layerImages[3], nullptr);
    EXPECT_EQ(App().mode, 2);
}

TEST_F(PictureOpcodeTest, FillsBlendsAndOverlaysFollowTheirFormulas) {
    Picture("system/black.bmp", 800, 600, 0x80000000, 32);
    Rebuild();
    Start("fill_background surface=1 color=0x336699\ncolor_blend color=0x80ff8000\n"
          "black_overlay surface=2\nfill_background surface=1 color=0x000010\n"
          "copy_rect dst=2 x=10 y=20 src=1 src_x=0 src_y=0 w=5 h=5\nblank_surface surface=7 w=33 "
          "h=44\nend");
    StepOnce();
    EXPECT_EQ(Rgb(cdib[1].get(), 0, 0), 0x336699u);
    EXPECT_EQ(S().fillColor, 0x336699u);
    EXPECT_EQ(App().surfaceNames[1][0], 1);
    EXPECT_EQ(App().surfaceNames[1][1], 0);
    EXPECT_EQ(Rgb(g_backupSurface.get(), 799, 599), 0x336699u);
    StepOnce();
    // Constant blend with A = 128: out = (S * 128 >> 8) + (D * 127 >> 8).
    // R: 127 + (0x33 * 127 >> 8 = 25) = 152; G: 64 + (0x66 * 127 >> 8 = 50) =
    // 114; B: 0 + (0x99 * 127 >> 8 = 75) = 75.
    EXPECT_EQ(Rgb(cdib[1].get(), 123, 456), 0x98724Bu);
    EXPECT_EQ(S().blendColor, 0x80FF8000u);
    StepOnce();
    // The backup (still the plain fill) under the black picture at alpha
    // 128: the plain class gives D * 127 >> 8 (25, 50, 75), the vector
    // class D * 128 >> 8 (25, 51, 76).
    const std::uint32_t over = Rgb(cdib[2].get(), 400, 300);
    EXPECT_TRUE(over == 0x19324Bu || over == 0x19334Cu) << std::hex << over;
    EXPECT_EQ(S().blackOverlay, 1u);
    EXPECT_EQ(S().blendColor, 0u);
    StepOnce();
    EXPECT_EQ(S().blackOverlay, 0u);
    StepOnce();
    EXPECT_EQ(Rgb(cdib[2].get(), 10, 20), 0x10u);
    EXPECT_EQ(Rgb(cdib[2].get(), 14, 24), 0x10u);
    EXPECT_EQ(Rgb(cdib[2].get(), 15, 24), over);
    StepOnce();
    ASSERT_NE(cdib[7], nullptr);
    EXPECT_EQ(cdib[7]->GetWidth(), 33);
    EXPECT_EQ(cdib[7]->GetHeight(), 44);
}

TEST_F(PictureOpcodeTest, MaskNumbersChooseTheirFiles) {
    Picture("bmp/mask30.bmp", 7, 3, 0);
    Picture("bmp/mask20.bmp", 5, 2, 0);
    const char* rect =
        " x=0 y=0 w=0 h=0 src_x=0 src_y=0 src_w=0 src_h=0 fixed_angle=0 angle=0 delay=0\n";
    Start(std::string("layer_mask layer=0 mask=21") + rect + "layer_mask layer=0 mask=20" + rect +
          "layer_mask layer=0 mask=29" + rect + "end");
    StepOnce();
    ASSERT_NE(g_maskImage, nullptr);
    EXPECT_EQ(g_maskImage->GetWidth(), 7);
    ASSERT_NE(cdib[1], nullptr);
    EXPECT_EQ(cdib[1]->GetWidth(), 800);
    StepOnce();
    EXPECT_EQ(g_maskImage->GetWidth(), 5);
    StepOnce();
    ASSERT_NE(g_maskImage, nullptr);
    EXPECT_EQ(g_maskImage->GetWidth(), 0);
    EXPECT_EQ(S().layerMaskWipe, 29);
}

TEST_F(PictureOpcodeTest, BakingDrawsLayersIntoTheBackground) {
    Picture("bmp/lay.bmp", 10, 10, 0x00FF0000);
    const auto bake = [&](int opacity) {
        Start("load_layer layer=0 text=\"lay.bmp\"\n"
              "layer_mask layer=0 mask=0 x=100 y=100 w=20 h=20 src_x=0 src_y=0 src_w=10 src_h=10 "
              "fixed_angle=0 angle=0 delay=0\n"
              "layer_wobble layer=0 sweep=90 opacity=" +
              std::to_string(opacity) + " ramp=0\nbake_layers last=0\nbake_layers last=-1\nend");
        cdib[0]->FillRect(0, 0, 800, 600, 0);
        g_backBuffer->FillRect(0, 0, 800, 600, 0);
        for (int i = 0; i < 4; ++i)
            StepOnce();
    };
    // sin 90 x 500 = 500, 256 or more: the stretched picture copied as it is.
    bake(500);
    EXPECT_EQ(Rgb(cdib[0].get(), 100, 100), 0xFF0000u);
    EXPECT_EQ(Rgb(cdib[0].get(), 119, 119), 0xFF0000u);
    EXPECT_EQ(Rgb(cdib[0].get(), 120, 120), 0u);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 110, 110), 0xFF0000u);
    bake(256);
    EXPECT_EQ(Rgb(cdib[0].get(), 110, 110), 0xFF0000u);
    // 255 still blends: out = S * 255 >> 8 = 254.
    bake(255);
    EXPECT_EQ(Rgb(cdib[0].get(), 110, 110), 0xFE0000u);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 110, 110), 0xFE0000u);
    // Below 0: nothing.
    bake(-10);
    EXPECT_EQ(Rgb(cdib[0].get(), 110, 110), 0u);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 110, 110), 0u);
}

TEST_F(PictureOpcodeTest, WindowStylesLoadTheirPicturesAndTheTextSurface) {
    Picture("system/window.bmp", 800, 139, 0x00010203, 24);
    Picture("system/window3.bmp", 790, 590, 0x00040506, 24);
    Rebuild();
    ASSERT_NE(g_msgWindowText, nullptr);
    EXPECT_EQ(g_msgWindowText->GetWidth(), 800);
    EXPECT_EQ(Rgb(g_msgWindowText.get(), 5, 5), 0x010203u);
    Start("window_style style=1\nwindow_style style=2\nwindow_style style=0\nend");
    StepOnce();
    EXPECT_EQ(App().mode, 37);
    EXPECT_EQ(S().messageStyle, 1);
    EXPECT_EQ(S().penX, 712);
    EXPECT_EQ(g_msgWindowText->GetWidth(), 790);
    EXPECT_EQ(Rgb(g_msgWindowText.get(), 5, 5), 0x040506u);
    StepOnce();
    EXPECT_EQ(S().messageStyle, 2);
    EXPECT_EQ(g_msgWindowBase->GetWidth(), 800);
    EXPECT_EQ(g_msgWindowText->GetWidth(), 790); // style 2 keeps the text surface
    StepOnce();
    EXPECT_EQ(g_msgWindowText->GetWidth(), 800);
}

TEST_F(PictureOpcodeTest, ErasingTheWindowRestoresItsBandFromTheBackground) {
    Picture("system/window.bmp", 800, 139, 0x00010203, 24);
    Rebuild();
    cdib[0]->FillRect(0, 0, 800, 600, 0x00123456);
    g_backBuffer->FillRect(0, 0, 800, 600, 0x00FFFFFF);
    S().windowShown = 1;
    Start("erase_window\nend");
    StepOnce();
    EXPECT_EQ(S().windowShown, 0);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 0, 461), 0x123456u);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 799, 599), 0x123456u);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 0, 460), 0xFFFFFFu);
    EXPECT_EQ(App().screenRect.top, 461);
    EXPECT_EQ(App().screenRect.bottom, 600);
}

TEST_F(PictureOpcodeTest, TheFullPageRedrawsTheLastEntriesInColumns) {
    g_glyphFont = std::make_unique<CGlyphFont>(platform::CreateGlyphSource());
    g_glyphFont->SetFont(23, 1);
    cdib[1] = std::make_unique<CDib>();
    cdib[1]->Create(platform::WindowHandle::Main, 800, 600, 24);
    cdib[1]->FillRect(0, 0, 800, 600, 0x00000080);
    auto log = [&](int k, std::string_view text) {
        auto& e = App().logText[static_cast<std::size_t>(k)];
        e.fill(0);
        std::copy(text.begin(), text.end(), e.begin());
    };
    log(0, "\xC4\xE3"); // not on the page
    // 你好 (advance 23 each), then ＄ and 好: a second column.
    log(1, "\xC4\xE3\xBA\xC3\xA1\xE7\xBA\xC3");
    // A tag and a page mark take no room; one character.
    log(2, "#s30#\xC4\xE3\xA1\xFD");
    App().logCount = 3;
    S().messageStyle = 1;
    S().pageLines = 2;
    Start("full_page\nend");
    StepOnce();
    // Entry 1: column 712 to y 62, break to column 670, 好 to y 39; the entry
    // ends with x 628. Entry 2: 16 + 23 (size 30 after the tag: + 30) = 46;
    // the entry ends with x 586.
    EXPECT_EQ(S().penX, 586);
    EXPECT_EQ(S().penY, 46);
    // The page and the snapshot were taken before the text.
    EXPECT_EQ(Rgb(g_fullPage.get(), 712, 20), 0x80u);
    EXPECT_EQ(Rgb(g_screenSnapshot.get(), 712, 20), 0x80u);
    g_glyphFont.reset();
}

TEST_F(PictureOpcodeTest, AnEmptyFullPageOnlyRebuildsThePageAndTheSnapshot) {
    cdib[1] = std::make_unique<CDib>();
    cdib[1]->Create(platform::WindowHandle::Main, 800, 600, 24);
    cdib[1]->FillRect(0, 0, 800, 600, 0x00000080);
    S().pageLines = 0;
    S().penX = 5;
    Start("full_page\nend");
    StepOnce();
    EXPECT_EQ(S().penX, 5);
    EXPECT_EQ(Rgb(g_fullPage.get(), 400, 300), 0x80u);
    EXPECT_EQ(Rgb(g_screenSnapshot.get(), 400, 300), 0x80u);
}

TEST_F(PictureOpcodeTest, RedrawingWithTheWindowLightsSkipAndAuto) {
    // Button sheet: row 25 down is lit (colour 0x0000FF), above it plain.
    bmp_writer::BmpImage sheet = Blank(400, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 400; ++x)
            sheet.pixels.push_back(y >= 25 ? 0xFF0000FFu : 0xFF00FF00u);
    Picture("system/window_p.bmp", sheet);
    Rebuild();
    g_screenSnapshot = std::make_unique<CDib>();
    g_screenSnapshot->Create(platform::WindowHandle::Main, 800, 600, 24);
    g_screenSnapshot->FillRect(0, 0, 800, 600, 0x00445566);
    S().skipMode = 1;
    S().autoMode = 0;
    Start("redraw_window\nend");
    StepOnce();
    EXPECT_EQ(Rgb(cdib[0].get(), 400, 300), 0x445566u);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 400, 300), 0x445566u);
    // Skip at its style-1 place (470, 565), 48 x 26, lit.
    EXPECT_EQ(Rgb(g_backBuffer.get(), 470, 565), 0x0000FFu);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 517, 590), 0x0000FFu);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 518, 565), 0x445566u); // auto is off
    EXPECT_EQ(S().penX, 712);
    EXPECT_EQ(S().pageLines, 0);
}

TEST_F(PictureOpcodeTest, RestoringTheBackupReloadsOrCopiesIt) {
    Picture("bmp/bg.bmp", 800, 600, 0x00204060);
    Start("load_image surface=1 text=\"bg.bmp\"\nfill_background surface=1 color=0x000001\n"
          "restore_backup variant=0\nload_image surface=1 text=\"bg.bmp\"\nrestore_backup "
          "variant=1\nreset_layers\nend");
    StepOnce();
    StepOnce();
    cdib[1]->FillRect(0, 0, 800, 600, 0x00999999);
    StepOnce(); // surface 1 from the backup of the fill
    EXPECT_EQ(Rgb(cdib[1].get(), 10, 10), 0x000001u);
    StepOnce();
    cdib[0]->FillRect(0, 0, 800, 600, 0);
    StepOnce(); // reloads "bg.bmp" by its surface name into the backup, surface 0 and the screen
    EXPECT_EQ(Rgb(cdib[0].get(), 10, 10), 0x204060u);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 799, 599), 0x204060u);
    EXPECT_EQ(Rgb(g_backupSurface.get(), 0, 0), 0x204060u);
    S().windowShown = 1;
    g_layerImages[4] = std::make_unique<CDib>();
    S().layers[4].duration = 9;
    StepOnce(); // reset_layers: the page becomes a copy of surface 0
    EXPECT_EQ(Rgb(g_fullPage.get(), 10, 10), 0x204060u);
    EXPECT_EQ(g_layerImages[4], nullptr);
    EXPECT_EQ(S().layers[4].duration, 0u);
    EXPECT_EQ(S().windowShown, 0);
}
