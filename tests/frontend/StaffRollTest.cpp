// The ending staff rolls: each runs its table's travel and duration, whatever
// the sheet it loads, and hands back to the story; the sheet's way through
// the window; the held last rows of rolls 32 and 33; the backgrounds and
// letterbox of the first roll; the picture series, from the screen before
// the roll on; the early leave; the ending song's fade, stopped before its
// channel goes.
#include "frontend/StaffRoll.h"

#include "FrontendFixture.h"
#include "app/Config.h"

using namespace frontend_test;

namespace {

constexpr std::uint32_t kStory = 0x405060;
constexpr std::uint32_t kSheetTop = 0x20C040;
constexpr std::uint32_t kSheetRest = 0xC02040;
constexpr std::uint32_t kSheetLast = 0x4020C0;
constexpr std::uint32_t kFirstBackground = 0x806000;

// The heights of the test sheets: none is the height the rolls' table gives.
constexpr int kSheet0 = 100; // s_r_font.bmp, roll 27
constexpr int kSheet1 = 150; // s_r_font01.bmp, roll 28
constexpr int kSheet2 = 400; // s_r_font02.bmp, rolls 29, 32, 33
constexpr int kSheet3 = 120; // s_r_font03.bmp, roll 30

CStaffRoll* Roll(int mode) {
    CStaffRoll* const rolls[] = {g_staffRoll1.get(), g_staffRoll2.get(), g_staffRoll3.get(),
                                 g_staffRoll4.get(), g_staffRoll5.get(), g_staffRoll6.get(),
                                 g_staffRoll7.get()};
    return rolls[mode - 27];
}

// A sheet of `height` rows: 50 rows of one colour, then another, the last
// 80 rows a third; all opaque.
void WriteSheet(const char* path, int height) {
    std::vector<std::uint32_t> rows;
    for (int y = 0; y < height; ++y)
        rows.push_back(0xFF000000u | (y < 50             ? kSheetTop
                                      : y >= height - 80 ? kSheetLast
                                                         : kSheetRest));
    WriteBands(path, 320, 1, rows);
}

class StaffRollTest : public FrontendTest {
protected:
    void SetUp() override {
        WriteSheet("system/s_r_font.bmp", kSheet0);
        WriteSheet("system/s_r_font01.bmp", kSheet1);
        WriteSheet("system/s_r_font02.bmp", kSheet2);
        WriteSheet("system/s_r_font03.bmp", kSheet3);
        WriteSolid("bmp/bg02b.bmp", 800, 600, 0xFF000000u | kFirstBackground);
        for (int k = 1; k <= 15; ++k) {
            char name[40];
            std::snprintf(name, sizeof name, "system/pellory_%02d.bmp", k);
            WriteSolid(name, 800, 600, 0xFF000000u | PictureColour(k));
        }
        for (const char* song : {"bgm/bgm045.ogg", "bgm/c027.ogg", "bgm/n001.ogg", "bgm/c023.ogg",
                                 "bgm/n009.ogg", "bgm/bgm004.ogg"})
            WriteTone(song, 5);
        FrontendTest::SetUp();
        g_config[config::kMusicOff] = 0;
        g_config[config::kBgmVolume] = 80;
    }
    static std::uint32_t PictureColour(int k) { return 0x101010u * static_cast<std::uint32_t>(k); }

    // Enters the roll of `mode` over a story screen and runs it to the
    // start of its credits (state 2).
    CStaffRoll& ToRoll(int mode) {
        g_backBuffer->FillRect(0, 0, 800, 600, kStory);
        g_gameApp->mode = static_cast<std::uint8_t>(mode);
        Frame();
        CStaffRoll& roll = *Roll(mode);
        for (int i = 0; i < 20 && roll.State != 2; ++i) {
            AdvanceTo(Now() + 600);
            Frame();
        }
        EXPECT_EQ(roll.State, 2);
        return roll;
    }
    // Runs frames every `step` ms up to `t`.
    void RunTo(std::uint32_t t, std::uint32_t step = 100) {
        while (Now() + step <= t) {
            AdvanceTo(Now() + step);
            Frame();
        }
        AdvanceTo(t);
        Frame();
    }
};

TEST_F(StaffRollTest, EachRollRunsItsTablesDurationWhateverItsSheet) {
    struct Case {
        int mode;
        std::uint8_t firstState; // after Open: 6 waits first, 1 fades at once
        std::uint32_t endsAt;    // ms after the credits start
        std::uint32_t travel;    // px the sheet moves in that time (0: no sheet)
        int x;                   // the sheet's left edge
        const char* missingSheet = nullptr;
    };
    // pos = elapsed × travel / duration reaches the travel at the duration
    // itself, long after these short sheets have left the window; roll 31
    // has no sheet and lasts 164000 ms. A missing sheet changes nothing.
    const Case cases[] = {
        {27, 6, 180000, 4550, 480}, {28, 1, 115500, 3160, 240},
        {29, 1, 131500, 3160, 240}, {30, 6, 134500, 2900, 240},
        {31, 1, 164000, 0, 0},      {32, 6, 152000, 4550, 240},
        {33, 6, 152000, 4550, 240}, {28, 1, 115500, 3160, 240, "system/s_r_font01.bmp"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        if (c.missingSheet) std::filesystem::remove(c.missingSheet);
        g_gameApp->mode = static_cast<std::uint8_t>(c.mode);
        Frame();
        ASSERT_NE(Roll(c.mode), nullptr);
        EXPECT_EQ(Roll(c.mode)->State, c.firstState);
        CStaffRoll& roll = ToRoll(c.mode);
        const std::uint32_t start = roll.RollStart;
        if (c.travel != 0 && !c.missingSheet) {
            // At pos 300 (the first ms whose elapsed × travel / duration is
            // 300) the sheet's first row stands at y 600 − 300.
            RunTo(start + (300 * c.endsAt + c.travel - 1) / c.travel, 2000);
            EXPECT_EQ(Pixel(c.x, 300), kSheetTop);
            EXPECT_NE(Pixel(c.x, 299), kSheetTop);
        }
        RunTo(start + c.endsAt - 1, 2000);
        ASSERT_EQ(g_gameApp->mode, c.mode) << "the roll ended early";
        EXPECT_EQ(roll.State, 2);
        if (c.missingSheet) {
            EXPECT_EQ(Pixel(400, 300), 0u); // the window stays empty
        }
        Frame();
        EXPECT_EQ(roll.State, 3);
        // A click ends the wait for the song's fade; the close hurried by the
        // skip key hands back to the interpreter.
        g_mouse->click = 1;
        Frame();
        EXPECT_EQ(roll.State, 4);
        EXPECT_EQ(g_bgmChannel, nullptr);
        g_mouse->skip = 1;
        Frame();
        EXPECT_EQ(g_gameApp->mode, 2);
        EXPECT_EQ(g_mouse->skip, 0);
        EXPECT_EQ(cdib[2], nullptr);
    }
}

TEST_F(StaffRollTest, SheetPassesThroughItsWindowAndRoll32HoldsItsLastRows) {
    // Roll 28: the sheet (150 rows) at x 240 over black; 3160 px in
    // 115500 ms, so pos p is reached at p × 115500 / 3160 ms, rounded up.
    CStaffRoll& roll = ToRoll(28);
    const auto at = [&](std::uint32_t pos) {
        return roll.RollStart + (pos * 115500 + 3159) / 3160;
    };
    AdvanceTo(at(300));
    Frame();
    // pos 300: rows 0..149 at y 300..449, the rest of the strip black.
    EXPECT_EQ(Pixel(240, 299), 0u);
    EXPECT_EQ(Pixel(240, 300), kSheetTop);
    EXPECT_EQ(Pixel(559, 360), kSheetRest);
    EXPECT_EQ(Pixel(559, 449), kSheetLast);
    EXPECT_EQ(Pixel(560, 360), 0u); // beside the strip: the black it faded to
    EXPECT_EQ(Pixel(240, 450), 0u);
    AdvanceTo(at(700));
    Frame();
    // pos 700: rows 100..149 at y 0..49, below them the restored black.
    EXPECT_EQ(Pixel(300, 0), kSheetLast);
    EXPECT_EQ(Pixel(300, 49), kSheetLast);
    EXPECT_EQ(Pixel(300, 50), 0u);

    // Roll 32 over a sheet of the 3950 rows its travel of 4550 px in
    // 152000 ms is made for: from pos 4200 only the top 4470 − pos rows of
    // the strip move.
    WriteSheet("system/s_r_font02.bmp", 3950);
    CStaffRoll& held = ToRoll(32);
    const auto heldAt = [&](std::uint32_t pos) {
        return held.RollStart + (pos * 152000 + 4549) / 4550;
    };
    RunTo(heldAt(4190), 5000);
    // pos 4190: rows 3590..3949 at y 0..359; the last 80 at 280..359.
    EXPECT_EQ(Pixel(300, 300), kSheetLast);
    EXPECT_EQ(Pixel(300, 360), 0u);
    AdvanceTo(heldAt(4250));
    Frame();
    // pos 4250: rows 3650..3869 at y 0..219; the last rows stay where they stood.
    EXPECT_EQ(Pixel(300, 100), kSheetRest);
    EXPECT_EQ(Pixel(300, 300), kSheetLast);
    EXPECT_EQ(Pixel(300, 400), 0u);
    AdvanceTo(heldAt(4540));
    Frame();
    EXPECT_EQ(Pixel(300, 300), kSheetLast);
    EXPECT_EQ(held.State, 2);
}

TEST_F(StaffRollTest, FirstRollShowsItsBackgroundsAndClosesWithBars) {
    CStaffRoll& roll = ToRoll(27);
    // 2000 ms of black, then the first background fades in over 3500 ms and
    // holds 15000 ms; each phase starts at the frame that ends the last.
    RunTo(roll.RollStart + 8000);
    EXPECT_EQ(roll.Phase, 2);
    EXPECT_EQ(Pixel(100, 300), kFirstBackground);
    RunTo(roll.RollStart + 180000, 2000);
    ASSERT_EQ(g_gameApp->mode, 27);
    ASSERT_EQ(roll.State, 3);
    g_mouse->click = 1;
    Frame();
    ASSERT_EQ(roll.State, 4);
    // Bars of h = elapsed × 110 / 1500 rows from the top and the bottom:
    // 750 ms gives 55.
    const std::uint32_t close = roll.RollStart;
    AdvanceTo(close + 750);
    Frame();
    const CDib* composed = cdib[3].get();
    EXPECT_EQ(Pixel(100, 54), 0u);
    EXPECT_EQ(Pixel(100, 55), PixelOf(composed, 100, 55));
    EXPECT_EQ(Pixel(100, 545), 0u);
    EXPECT_EQ(Pixel(100, 544), PixelOf(composed, 100, 544));
    AdvanceTo(close + 1500);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 2);
    EXPECT_EQ(Pixel(100, 109), 0u);
    EXPECT_EQ(Pixel(100, 490), 0u);
}

TEST_F(StaffRollTest, PictureSeriesStartsFromTheScreenBeforeTheRollAndStepsOn) {
    CStaffRoll& roll = ToRoll(31);
    // The screen faded to black before the credits; the first picture comes
    // in from the story screen shown before the roll, as Open kept it.
    EXPECT_EQ(Pixel(400, 300), 0u);
    Frame(); // loads picture 1 and shows where it fades from
    EXPECT_EQ(roll.Phase, 1);
    EXPECT_EQ(Pixel(400, 300), kStory);
    AdvanceTo(roll.PhaseStart + 1500); // 1500 × 255 / 3000 = 127
    Frame();
    EXPECT_EQ(Pixel(400, 300), Mix(PictureColour(1), kStory, 127));
    // 3000 ms fade, 9000 ms hold a picture.
    RunTo(roll.RollStart + 6000);
    EXPECT_EQ(Pixel(400, 300), PictureColour(1));
    RunTo(roll.RollStart + 18000);
    EXPECT_EQ(roll.PictureIndex, 1);
    EXPECT_EQ(Pixel(400, 300), PictureColour(2));
    // 12000 ms and a few frames a picture: the fourteenth is the last one
    // the roll reaches.
    RunTo(roll.RollStart + 163000);
    EXPECT_EQ(roll.PictureIndex, 13);
    EXPECT_EQ(roll.State, 2);
}

TEST_F(StaffRollTest, EarlyLeaveNeedsTheRollsScriptFlagAndKeepsTheSong) {
    CStaffRoll& roll = ToRoll(28);
    g_mouse->cancel = 1;
    g_mouse->skip = 1;
    Frame();
    EXPECT_EQ(roll.State, 2);
    EXPECT_EQ(g_gameApp->mode, 28);

    g_config[config::kScriptFlags + 0] = 1;
    g_mouse->cancel = 1;
    Frame();
    EXPECT_EQ(g_gameApp->mode, 2);
    EXPECT_EQ(g_mouse->cancel, 0);
    EXPECT_EQ(Pixel(400, 300), 0u);
    EXPECT_EQ(cdib[2], nullptr);
    EXPECT_NE(g_bgmChannel, nullptr);
    EXPECT_STREQ(g_scenario->bgmName.get(), "c027.ogg");
}

TEST_F(StaffRollTest, EndingSongFadesAndItsFadeStopsBeforeTheChannelGoes) {
    CStaffRoll& roll = ToRoll(28);
    EXPECT_STREQ(g_scenario->bgmName.get(), "c027.ogg");
    EXPECT_EQ(TenthsOf(g_bgmChannel.get()), 5);
    RunTo(roll.RollStart + 115500, 5000);
    ASSERT_EQ(g_gameApp->mode, 28);
    ASSERT_EQ(roll.State, 3);
    ASSERT_NE(g_bgmChannel, nullptr);
    EXPECT_TRUE(g_bgmChannel->IsFading());
    EXPECT_EQ(g_scenario->bgmPlaying, 0);
    // A click ends the wait while the fade's timer runs: the channel goes
    // only after its timer is stopped, so no later step reaches it.
    g_mouse->click = 1;
    Frame();
    EXPECT_EQ(g_bgmChannel, nullptr);
    EXPECT_EQ(g_scenario->bgmName, nullptr);
    hl::AdvanceClock(5000);

    // Music switched off at volume 0: no song, no fade, and the wait lasts
    // its whole 3500 ms.
    g_config[config::kMusicOff] = 1;
    g_config[config::kBgmVolume] = 0;
    CStaffRoll& silent = ToRoll(29);
    EXPECT_EQ(g_bgmChannel, nullptr);
    RunTo(silent.RollStart + 131500, 5000);
    ASSERT_EQ(g_gameApp->mode, 29);
    ASSERT_EQ(silent.State, 3);
    const std::uint32_t waitFrom = silent.RollStart;
    AdvanceTo(waitFrom + 3499);
    Frame();
    EXPECT_EQ(silent.State, 3);
    Frame();
    EXPECT_EQ(silent.State, 4);
}

} // namespace
