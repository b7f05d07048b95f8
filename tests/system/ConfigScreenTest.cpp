// The settings screen and its voice page: slider values at the ends of
// their rectangles and the volume number, the switches and the display
// switch, reset, cancel and OK with the bytes they keep or put back and the
// settings file, and the voice page's levels, test lines and mute switches.
#include "system/ConfigScreen.h"

#include "SystemFixture.h"
#include "app/Display.h"

#include <fstream>
#include <iterator>

using namespace system_test;

namespace {

constexpr std::uint32_t kBase = 0x282828;
constexpr std::uint32_t kPanel = 0x3050A0;
constexpr std::uint32_t kSheet = 0xD0D0D0;
// Digit d of the volume digits in its own colour.
constexpr std::uint32_t Digit(int d) {
    return 0x100000u * static_cast<std::uint32_t>(d + 1);
}

class ConfigScreenTest : public SystemScreenTest {
protected:
    void SetUp() override {
        WriteSolid("system/config_base.bmp", 800, 600, Opaque(kBase));
        WriteSolid("system/config_p.bmp", 1968, 163, Opaque(kPanel));
        WriteSolid("system/config_p2.bmp", 296, 386, Opaque(kSheet));
        WriteSolid("system/VoiceCharBase.bmp", 660, 450, Opaque(kPanel));
        WriteDigits("system/0123456789_1.bmp", 10, 12);
        WriteDigits("system/0123456789_2.bmp", 8, 9);
        for (const char* line : {"sef0417", "zik0001"})
            WriteTone(std::string("voice/") + line + ".ogg", 4);
        SystemScreenTest::SetUp();
        // Entry values all apart, so that a byte put back from the wrong
        // place shows.
        for (std::size_t i = 0; i <= 36; ++i)
            g_config[i] = static_cast<std::uint8_t>(i + 3);
        g_config[config::kFullScreen] = 0;
        g_config[config::kSkipEffects] = 0;
        g_config[config::kCursorGlide] = 0;
        g_config[config::kVoiceMuteA] = 0;
        g_config[config::kVoiceMuteB] = 0;
        entry_.assign(g_config.begin(), g_config.begin() + 37);
        std::filesystem::remove("save/Config.dat");
    }
    static void WriteDigits(const char* path, int w, int h) {
        WriteImage(path, 10 * w, h, [w](int x, int) { return Opaque(Digit(x / w)); });
    }
    CConfigScreen& Screen() { return *g_configScreen; }
    void ToInput() {
        OpenOverStory(9);
        ASSERT_NE(g_configScreen, nullptr);
        SkipTo(Screen(), 3);
    }
    // Holds the left button at (x, y) for one frame.
    void DragAt(int x, int y) {
        MoveTo(x, y);
        g_mouse->click = 1;
        Frame();
        g_mouse->click = 0;
    }
    // A page or voice button: its glow, then its action.
    void Press(int x, int y, int until) {
        Click(x, y);
        SkipTo(Screen(), until, 4);
    }
    std::vector<std::uint8_t> entry_;
};

TEST_F(ConfigScreenTest, SlidersTakeTheirEndValuesAtTheRectangleEdges) {
    ToInput();
    Shot("settings.bmp");
    DragAt(87, 150);
    EXPECT_EQ(g_config[config::kSeVolume], 0);
    // 202 × 100 / 201 = 100, and the number reads 1, 0, 0.
    DragAt(289, 150);
    EXPECT_EQ(g_config[config::kSeVolume], 100);
    EXPECT_EQ(Pixel(296, 152), Digit(1));
    EXPECT_EQ(Pixel(303, 152), Digit(0));
    EXPECT_EQ(Pixel(310, 160), Digit(0));
    // 57: (x − 87)·100 / 201 with x = 202; tens at 302, units at 309, the
    // hundreds place cleared.
    DragAt(202, 150);
    EXPECT_EQ(g_config[config::kSeVolume], 57);
    EXPECT_EQ(Pixel(303, 152), Digit(5));
    EXPECT_EQ(Pixel(310, 152), Digit(7));
    EXPECT_NE(Pixel(296, 152), Digit(1));

    DragAt(289, 190);
    EXPECT_EQ(g_config[config::kBgmVolume], 100);
    DragAt(87, 190);
    EXPECT_EQ(g_config[config::kBgmVolume], 0);

    // The speed sliders start 8 px left of their zero: never a negative or
    // wrapped value there, and no more than 100 at their right end.
    for (int y : {315, 350}) {
        const std::size_t byte = y == 315 ? config::kTextSpeed : config::kAutoSpeed;
        DragAt(70, y);
        EXPECT_EQ(g_config[byte], 0) << y;
        DragAt(77, y);
        EXPECT_EQ(g_config[byte], 0) << y;
        DragAt(79, y);
        EXPECT_EQ(g_config[byte], 0) << y; // 100 / 201
        DragAt(280, y);
        EXPECT_EQ(g_config[byte], 100) << y; // 202 × 100 / 201
        DragAt(282, y);
        EXPECT_EQ(g_config[byte], 100) << y; // 101, clamped
    }
}

TEST_F(ConfigScreenTest, FullScreenIsSwitchedOnlyWhenTheBoxChangesTheMode) {
    ToInput();
    ASSERT_FALSE(g_display->IsFullScreen());
    Click(470, 345); // window, already windowed
    EXPECT_FALSE(g_display->IsFullScreen());
    EXPECT_EQ(g_config[config::kFullScreen], 0);
    EXPECT_EQ(TenthsOf(g_seChannels[0].get()), 2) << "the switch sound plays all the same";
    Click(610, 345);
    EXPECT_TRUE(g_display->IsFullScreen());
    EXPECT_EQ(g_config[config::kFullScreen], 1);
    Click(610, 345);
    EXPECT_TRUE(g_display->IsFullScreen());
    Click(470, 345);
    EXPECT_FALSE(g_display->IsFullScreen());
    EXPECT_EQ(g_config[config::kFullScreen], 0);

    // The skip-effects pair also sets the script object's copy.
    Click(630, 215);
    EXPECT_EQ(g_config[config::kSkipEffects], 1);
    EXPECT_EQ(g_scenario->skipEffects, 1);
    Click(540, 215);
    EXPECT_EQ(g_scenario->skipEffects, 0);
}

TEST_F(ConfigScreenTest, ResetThenCancelPutsBackExactlyTheEntryBytes) {
    // Every byte a reset writes enters apart from its default, the switches
    // at 1.
    for (std::size_t byte :
         {config::kVoiceMuteA, config::kVoiceMuteB, config::kSkipEffects, config::kCursorGlide})
        g_config[byte] = 1;
    entry_.assign(g_config.begin(), g_config.begin() + 37);
    ToInput();
    Click(610, 345); // full screen on: +0 is never put back
    Press(700, 100, 3);
    EXPECT_EQ(g_seVolume.load(), entry_[config::kSeVolume])
        << "the channels take the new volumes only when the screen is left";
    const std::uint8_t expected[36] = {1,  50, 0,  0,  50, 50, 0,  0,  50, 50, 50, 50,
                                       50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50,
                                       50, 50, 29, 0,  0,  0,  0,  0,  0,  0,  50, 0};
    for (std::size_t i = 0; i < 36; ++i)
        EXPECT_EQ(g_config[i], expected[i]) << "byte " << i;
    EXPECT_EQ(g_config[36], entry_[36]);

    g_config[config::kScriptByte] = 99; // a script may set it meanwhile
    RightClick();
    ASSERT_EQ(Screen().state, 4);
    for (std::size_t i = 1; i <= 35; ++i) {
        if (i == config::kScriptByte) continue;
        EXPECT_EQ(g_config[i], entry_[i]) << "byte " << i;
    }
    EXPECT_EQ(g_config[config::kScriptByte], 99);
    EXPECT_EQ(g_config[config::kFullScreen], 1);
    EXPECT_EQ(g_scenario->skipEffects, g_config[config::kSkipEffects]);
    SkipTo(Screen(), 5, 3);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 3);
    EXPECT_FALSE(std::filesystem::exists("save/Config.dat")) << "cancel writes nothing";
    EXPECT_EQ(g_seChannels[3], nullptr) << "the drag tick goes with the screen";
}

// The +2 mark row is restored from (128, 375); control 20 glows over the
// plain page at elapsed × 128 / 200, is gone 100 ms into its fall, and its
// weight 128 − elapsed × 128 / 100 then turns negative and darkens the
// button below its plain look, each channel no lower than 0.
TEST_F(ConfigScreenTest, SwitchRowAndVoicePageGlowDrawWhereTheyShould) {
    ToInput();
    const std::uint32_t plain = Pixel(450, 540);
    g_backBuffer->SetPixel(200, 375, 0xFF00FF);
    Click(280, 390);
    EXPECT_EQ(Pixel(200, 375), PixelOf(cdib[19].get(), 200, 375));
    Click(460, 550);
    AdvanceTo(Screen().stateTime + 100);
    Frame();
    EXPECT_EQ(Pixel(450, 540), Added(plain, kSheet, 64));
    AdvanceTo(Screen().stateTime + 200);
    Frame();
    AdvanceTo(Screen().stateTime + 100);
    Frame();
    EXPECT_EQ(Pixel(450, 540), plain);
    // 150 ms: weight 128 − 192 = −64; the sheet's 208 at alpha 255 gives
    // 208 × 255 >> 8 = 207, and 207 × −64 >> 8 = −52 (the shift floors).
    // Over the panel's 0x3050A0: red 48 − 52 stops at 0, green 80 − 52 =
    // 28, blue 160 − 52 = 108.
    ASSERT_EQ(plain, 0x3050A0u);
    AdvanceTo(Screen().stateTime + 150);
    Frame();
    EXPECT_EQ(Pixel(450, 540), 0x001C6Cu);
}

// The drag tick has a channel of its own: the story's loop on effect slot 3
// plays on through the settings. After cancel the 750 ms fade-out runs on
// from the clock of the button glow's fall.
TEST_F(ConfigScreenTest, TheStorysLoopPlaysOnAndCancelFadesOnTheGlowsClock) {
    WriteTone("se/rain.ogg", 6);
    g_seChannels[3] = std::make_unique<CSeChannel>();
    ASSERT_TRUE(g_seChannels[3]->Load("rain.ogg") && g_seChannels[3]->Play(Repeat::Endless));
    ToInput();
    const std::uint32_t page = Pixel(400, 30);
    DragAt(150, 150);
    AdvanceTo(Now() + 200);
    DragAt(200, 150); // ticks
    // On the music slider too the tick sounds at the effect level, +5 (the
    // 56 of the drag above), not at the music level it changes (+4, from
    // 31 to 46).
    DragAt(150, 190);
    ASSERT_EQ(g_config[config::kBgmVolume], 31);
    g_seVolume = 0;
    AdvanceTo(Now() + 200);
    DragAt(180, 190);
    ASSERT_EQ(g_config[config::kBgmVolume], 46);
    EXPECT_EQ(g_seVolume.load(), 56);
    Click(730, 560);
    AdvanceTo(Screen().stateTime + 200);
    Frame();
    const std::uint32_t fall = Screen().stateTime;
    AdvanceTo(fall + 200);
    Frame();
    AdvanceTo(fall + 575);
    Frame();
    EXPECT_EQ(Pixel(400, 30), Mix(0, page, 195)); // 575 × 255 / 750 towards black
    SkipTo(Screen(), 5, 3);
    Frame();
    ASSERT_EQ(TenthsOf(g_seChannels[3].get()), 6);
    EXPECT_FALSE(g_seChannels[3]->IsStopped());
}

TEST_F(ConfigScreenTest, OkKeepsTheChangesAndWritesTheSettingsFile) {
    g_scenario->menuReturn = 1;
    ToInput();
    DragAt(150, 190); // (150 − 87)·100 / 201 = 31
    ASSERT_EQ(g_config[config::kBgmVolume], 31);
    Press(730, 515, 4);
    std::ifstream f("save/Config.dat", std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(f)), {});
    ASSERT_EQ(bytes.size(), kConfigSize);
    EXPECT_EQ(bytes[config::kBgmVolume], 31);
    // Opened from the menu: the fade goes back to the story's snapshot.
    SkipTo(Screen(), 5, 3);
    EXPECT_EQ(Pixel(400, 300), kStory);
    Frame();
    EXPECT_EQ(g_gameApp->mode, 3);
    EXPECT_EQ(g_config[config::kBgmVolume], 31);
}

TEST_F(ConfigScreenTest, VoicePageRightClickPutsBackOnlyTheVoiceLevels) {
    ToInput();
    DragAt(202, 150); // SE volume 57, a main-page change
    Press(500, 555, 12);
    Shot("settings-voice.bmp");
    // Character 1: column 0, row 0: level = (x − 71 − 4)·100 / 128.
    DragAt(75, 180);
    EXPECT_EQ(g_config[config::kVoiceLevels], 0);
    DragAt(204, 180);
    EXPECT_EQ(g_config[config::kVoiceLevels], 100);
    // Character 13: column 2, row 0: (541 − 477 − 4)·100 / 128 = 46.
    DragAt(541, 180);
    EXPECT_EQ(g_config[config::kVoiceLevels + 12], 46);
    RightClick();
    EXPECT_EQ(Screen().state, 13);
    SkipTo(Screen(), 3, 3);
    for (std::size_t i = 8; i <= 25; ++i)
        EXPECT_EQ(g_config[i], entry_[i]) << "byte " << i;
    EXPECT_EQ(g_config[config::kSeVolume], 57);
    EXPECT_EQ(cdib[33], nullptr);
}

TEST_F(ConfigScreenTest, VoicePageDefaultSetsAllEighteenLevelsAndOkKeepsThem) {
    ToInput();
    Press(500, 555, 12);
    Press(400, 560, 12);
    for (std::size_t i = 8; i <= 25; ++i)
        EXPECT_EQ(g_config[i], 50) << "byte " << i;
    Press(520, 560, 13);
    SkipTo(Screen(), 3, 3);
    EXPECT_EQ(g_config[25], 50);
}

TEST_F(ConfigScreenTest, TestLinesFollowTheMuteSwitchesAndTheirOwnSlider) {
    g_config[config::kVoiceMuteA] = 1;
    ToInput();
    Press(500, 555, 12);
    Click(200, 150); // test button 1
    EXPECT_EQ(g_voiceChannels[0], nullptr);
    EXPECT_EQ(Screen().testChar, 0);
    Click(620, 150); // test button 13 still speaks
    ASSERT_NE(g_voiceChannels[0], nullptr);
    EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), 4);
    EXPECT_EQ(Screen().testChar, 13);

    // Its own slider moves the playing line's level; another one does not.
    DragAt(541, 180);
    EXPECT_EQ(g_voiceVolume.load(), 46);
    DragAt(100, 180);
    EXPECT_EQ(g_voiceVolume.load(), 46);

    g_config[config::kVoiceMuteB] = 1;
    g_voiceChannels[0].reset();
    Click(620, 150);
    EXPECT_EQ(g_voiceChannels[0], nullptr);
}

} // namespace
