// The mahjong title: the intro hurried or clicked step by step, the band
// sweep's staggered starts, the finished picture, the menu's outcomes, the
// keyboard, the quit question and the beaten flags.
#include "mahjong/MahjongTitle.h"

#include "frontend/FrontendFixture.h"
#include "screenkit/ScreenKit.h"

#include <functional>

using namespace frontend_test;

namespace {

constexpr std::uint32_t kBg = 0x202020;
constexpr std::uint32_t kAlt = 0x00A0A0;
constexpr std::uint32_t kLogo = 0xE0C000;
constexpr std::uint32_t kLayer = 0x0000C0;
constexpr std::uint32_t kEmblem = 0xC0C0C0;
constexpr std::uint32_t kBand(int k) {
    return 0x800000u + static_cast<std::uint32_t>(k) * 0x10;
}
constexpr std::uint32_t kStrip(int k) {
    return 0x008000u + static_cast<std::uint32_t>(k);
}
constexpr std::uint32_t kLit(int k) {
    return 0xF00000u + static_cast<std::uint32_t>(k);
}
constexpr const char* kCalls[8] = {"vel0168", "dor0385", "fen0177", "mur0348",
                                   "lis0238", "bex0829", "hol0385", "sef0416"};

class MahjongTitleTest : public FrontendTest {
protected:
    void SetUp() override {
        WriteSolid("bmp/title.bmp", 800, 600, 0xFF000000u | kBg);
        std::vector<std::uint32_t> bands;
        for (int k = 0; k < 8; ++k)
            bands.push_back(0xFF000000u | kBand(k));
        bands.push_back(0xFF000000u | kAlt);
        WriteBands("bmp/title_p.bmp", 800, 75, bands);
        // Each strip row: the normal form left, the lit form right.
        WriteStrips([](int x, int y) { return x < 312 ? kStrip(y / 37) : kLit(y / 37); });
        WriteBands("bmp/t_moji.bmp", 520, 280,
                   {0xFF000000u | kLogo, 0xFF000000u | kLayer, 0xFF000000u | kEmblem});
        WriteTone("bgm/p009.ogg", 30);
        WriteTone("se/nse057_1.ogg", 3);
        WriteTone("se/Pop_D002.ogg", 2);
        for (int k = 0; k < 8; ++k)
            WriteTone(std::string("voice/") + kCalls[k] + ".ogg", 11 + k);
        FrontendTest::SetUp();
        g_gameApp->mode = 61;
    }
    // The menu strips' picture, five rows of 624 x 37, opaque.
    static void WriteStrips(const std::function<std::uint32_t(int x, int y)>& rgb) {
        WriteImage("bmp/title_p01.bmp", 624, 185,
                   [&](int x, int y) { return 0xFF000000u | rgb(x, y); });
    }
    CMahjongTitle& Title() { return *g_mahjongTitle; }
    void Step() { Title().Run(platform::WindowHandle::Main); }
    // Opens the title and runs its intro hurried into the menu.
    void ToMenu() {
        Frame();
        g_scenario->skipEffects = 1;
        for (int i = 0; i < 6; ++i)
            Frame();
        g_scenario->skipEffects = 0;
        ASSERT_EQ(Title().State, 7);
    }
    void Hover(int item) {
        const platform::Rect& r = Title().MenuRects[item - 1];
        MoveTo(r.left + 2, r.top + 2);
    }
};

TEST_F(MahjongTitleTest, SkipRunsTheIntroInSixFramesIntoTheFinishedTitle) {
    g_scenario->bgmPlaying = 0;
    Frame();                             // Open
    EXPECT_NE(g_seChannels[1], nullptr); // the emblem's sound waits loaded
    ASSERT_NE(g_bgmChannel, nullptr);
    EXPECT_EQ(g_scenario->bgmPlaying, 0); // loaded, not yet played
    g_mouse->skip = 1;
    for (int i = 0; i < 6; ++i)
        Frame();
    EXPECT_EQ(Title().State, 7);
    EXPECT_EQ(g_scenario->bgmPlaying, 1);
    EXPECT_EQ(g_seChannels[1], nullptr); // freed with the menu built
    ASSERT_NE(g_voiceChannels[0], nullptr);
    const int call = TenthsOf(g_voiceChannels[0].get()) - 11;
    EXPECT_EQ(call, Title().CallHeroine);
    EXPECT_LT(call, 7); // heroine 7 waits for the first seven
    // Opaque bands over the whole background; layer 2, logo, emblem, strips.
    EXPECT_EQ(Pixel(100, 3), kBand(0));
    EXPECT_EQ(Pixel(100, 530), kBand(7));
    EXPECT_EQ(Pixel(300, 20), kLayer);
    EXPECT_EQ(Pixel(300, 300), kLogo);
    EXPECT_EQ(Pixel(200, 200), kEmblem);
    EXPECT_EQ(Pixel(250, 350), kStrip(0));
    EXPECT_EQ(Pixel(250, 350 + 4 * 37), kStrip(4));
    EXPECT_EQ(PixelOf(screenkit::Slot(1), 300, 300), kLogo); // composed into the title
}

TEST_F(MahjongTitleTest, ClicksEndOneStepEachAndBandsStartOneAfterAnother) {
    Frame();
    g_mouse->click = 1;
    Step(); // the fade-in ends at once
    EXPECT_EQ(Title().State, 2);
    EXPECT_EQ(g_mouse->click, 0);
    const std::uint32_t start = Title().BandStart[0];
    EXPECT_EQ(Title().BandRunning[0], 1);
    // 63 ms: level 63 × 255 / 500 = 32, offset 32 × 25 / 8 = 100; band 0
    // slides in from the left at opacity 32.
    AdvanceTo(start + 63);
    Step();
    EXPECT_EQ(Title().State, 2);
    EXPECT_EQ(Title().BandOffset[0], 100);
    EXPECT_EQ(Title().BandRunning[1], 0);
    EXPECT_EQ(Pixel(99, 10), Mix(kBand(0), kBg, 32));
    EXPECT_EQ(Pixel(100, 10), kBg);
    // 126 ms: level 64, offset 200: band 1 starts now (from the right, level 0).
    AdvanceTo(start + 126);
    Step();
    EXPECT_EQ(Title().BandOffset[0], 200);
    EXPECT_EQ(Title().BandRunning[1], 1);
    EXPECT_EQ(Title().BandStart[1], start + 126);
    EXPECT_EQ(Pixel(199, 10), Mix(kBand(0), kBg, 64));
    EXPECT_EQ(Pixel(790, 80), kBg);
    // Band 1 at 80 ms: level 40, offset 125, at the right edge.
    AdvanceTo(start + 206);
    Step();
    EXPECT_EQ(Pixel(800 - 125, 80), Mix(kBand(1), kBg, 40));
    EXPECT_EQ(Pixel(800 - 126, 80), kBg);
    // A click ends the sweep only; the logo fade then runs on its clock.
    g_mouse->click = 1;
    Step();
    EXPECT_EQ(Title().State, 3);
    Step();
    EXPECT_EQ(Title().State, 3);
    EXPECT_EQ(Pixel(100, 530), kBand(7));
}

// A growing strip shows more of itself from its left end, centred; it is not
// the whole strip squeezed into its width.
TEST_F(MahjongTitleTest, MenuStripsGrowFromTheirLeftEndAroundTheCentre) {
    constexpr std::uint32_t kRightHalf = 0x00F0F0;
    WriteStrips([](int x, int y) { return x < 156 ? kStrip(y / 37) : kRightHalf; });
    Frame();
    for (int state = 1; state <= 5; ++state) {
        g_mouse->click = 1;
        Step();
    }
    ASSERT_EQ(Title().State, 6);
    // 176 ms: level 176 × 255 ÷ 350 = 128, width 128 × 312 ÷ 256 = 156, so
    // columns 0 to 155 of the strip stand at x 322 to 477 over band 4.
    AdvanceTo(Title().BandStart[0] + 176);
    Step();
    EXPECT_EQ(Title().BandOffset[0], 156);
    EXPECT_EQ(Pixel(321, 350), kBand(4));
    EXPECT_EQ(Pixel(322, 350), Mix(kStrip(0), kBand(4), 128));
    EXPECT_EQ(Pixel(477, 350), Mix(kStrip(0), kBand(4), 128));
    EXPECT_EQ(Pixel(478, 350), kBand(4));
}

TEST_F(MahjongTitleTest, MenuItemsLeadWhereTheySayWithTheirBytes) {
    struct Case {
        int item; // 0: right click
        int mode;
        int returnMode;
        int playContext;
        bool musicKept;
    } cases[] = {{1, 62, 0, 2, true},
                 {2, 70, 61, 2, true},
                 {3, 9, 61, 3, true},
                 {4, 72, 61, 1, true},
                 {0, 57, 0, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        g_gameApp->mode = 61;
        g_gameApp->returnMode = 0;
        g_scenario->playContext = 3;
        g_mahjongTitle.reset();
        ToMenu();
        g_scenario->menuReturn = 1;
        if (c.item) {
            Hover(c.item);
            g_mouse->click = 1;
        } else {
            g_mouse->cancel = 1;
        }
        for (int i = 0; i < 200 && g_gameApp->mode == 61; ++i)
            Frame();
        EXPECT_EQ(g_gameApp->mode, c.mode);
        EXPECT_EQ(g_gameApp->returnMode, c.returnMode);
        EXPECT_EQ(g_scenario->playContext, c.playContext);
        if (c.item != 1) {
            EXPECT_EQ(g_scenario->menuReturn, 0);
        }
        EXPECT_EQ(g_bgmChannel != nullptr, c.musicKept);
        for (int s : {1, 2, 3, 4, 10})
            EXPECT_EQ(cdib[s], nullptr) << s;
        // The back sound and the title call go with the screen.
        EXPECT_EQ(g_seChannels[1], nullptr);
        EXPECT_EQ(g_seChannels[2], nullptr);
        EXPECT_EQ(g_voiceChannels[0], nullptr);
        if (c.item == 1) {
            EXPECT_EQ(g_scenario->bgmPlaying, 0); // fading out
        }
        if (c.item == 0) {
            EXPECT_EQ(g_scenario->bgmName, nullptr);
        }
    }
}

TEST_F(MahjongTitleTest, HoverKeysAndQuitQuestion) {
    ToMenu();
    Hover(2);
    Frame();
    EXPECT_EQ(Pixel(250, 382), kLit(1));
    Hover(3);
    Frame();
    EXPECT_EQ(Pixel(250, 382), kStrip(1));
    EXPECT_EQ(Pixel(250, 419), kLit(2));
    // Keys wrap between items 1 and 5 and put the cursor on the item.
    MoveTo(10, 10);
    Frame();
    const platform::Rect win = platform::GetWindowRect();
    g_keyboard->down = 1;
    Frame();
    EXPECT_EQ(Title().HoverItem, 5);
    EXPECT_EQ(hl::CursorX(), win.left + 365 + 35);
    EXPECT_EQ(hl::CursorY(), win.top + platform::CaptionHeight() + 497 + 20);
    MoveTo(400, 517);
    g_keyboard->down = 1;
    Frame();
    EXPECT_EQ(Title().HoverItem, 1);
    MoveTo(400, 367);
    g_keyboard->up = 1;
    Frame();
    EXPECT_EQ(Title().HoverItem, 5);
    // Quit: Cancel keeps the menu, OK fades to black and closes the window.
    MoveTo(400, 517);
    hl::QueueAnswer(platform::BoxAnswer::Cancel);
    g_mouse->click = 1;
    Frame();
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_EQ(Title().State, 7);
    EXPECT_EQ(g_mouse->click, 0);
    hl::QueueAnswer(platform::BoxAnswer::Ok);
    g_mouse->click = 1;
    Frame();
    EXPECT_EQ(Title().State, 8);
    g_scenario->skipEffects = 1;
    for (int i = 0; i < 3 && !QuitRequested(); ++i)
        Frame();
    EXPECT_TRUE(QuitRequested());
    EXPECT_EQ(g_bgmChannel, nullptr);
}

TEST_F(MahjongTitleTest, AllBeatenCountsFlagsSetAndShowsTheAlternateBand) {
    // Bytes that sum to 7 while heroines 4 to 6 were never beaten.
    for (int k : {0, 1, 2, 3})
        g_config[config::kMahjongBeaten + k] = k < 3 ? 2 : 1;
    g_config[config::kMusicOff] = 1;
    ToMenu();
    EXPECT_EQ(Title().AllBeaten, 0);
    EXPECT_EQ(Pixel(100, 530), kBand(7));
    // With music off no channel is made, and the call plays all the same.
    EXPECT_EQ(g_bgmChannel, nullptr);
    EXPECT_NE(g_voiceChannels[0], nullptr);
    Hover(1);
    g_mouse->click = 1;
    Frame(); // the music fade finds no channel
    EXPECT_EQ(Title().State, 8);

    for (int k = 0; k < 7; ++k)
        g_config[config::kMahjongBeaten + k] = 1;
    g_mahjongTitle.reset();
    g_gameApp->mode = 61;
    ToMenu();
    EXPECT_EQ(Title().AllBeaten, 1);
    EXPECT_EQ(Pixel(100, 530), kAlt);
}

} // namespace
