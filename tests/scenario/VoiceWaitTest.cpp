// Voice waits on the headless sound device, whose play cursors follow the
// virtual clock: a voice's end time is the length of the tone written for
// it. Also the click-wait icon's animation and the sprite reload.
#include "SceneTestSupport.h"
#include "app/Config.h"
#include "lib/OggWriter.h"
#include "sound/SoundChannel.h"
#include "sound/SoundDevice.h"

#include <cstring>

using testing_support::SceneTest;
namespace hl = platform::headless;

namespace {

tools::ToneSpec Tone(std::uint32_t ms) {
    tools::ToneSpec t;
    t.samples = 44100 / 1000 * ms;
    return t;
}

class VoiceWaitTest : public SceneTest {
protected:
    void SetUp() override {
        g_soundDevice.Close();
        InitDirectSound(platform::WindowHandle::Main);
        g_voiceVolume = 50;
        g_voiceEnabled = 1;
        hl::AdvanceClock(1000);
    }
    void TearDown() override {
        for (auto& c : g_voiceChannels)
            c.reset();
        g_soundDevice.Close();
    }
    // A voice of `ms` playing in slot `n`.
    void PlayVoice(int n, const std::string& file, std::uint32_t ms) {
        ASSERT_TRUE(tools::WriteOggTone(dir_.path() / "voice" / file, Tone(ms)));
        g_voiceChannels[n] = std::make_unique<CVoiceChannel>();
        ASSERT_TRUE(g_voiceChannels[n]->Load(file));
        ASSERT_TRUE(g_voiceChannels[n]->Play(Repeat::Once));
    }
    // Frames every 10 ms while the mode stays; the time they took.
    std::uint32_t RunWhile(std::uint8_t mode, std::uint32_t limitMs) {
        const std::uint32_t start = platform::TimeGetTime();
        while (App().mode == mode && platform::TimeGetTime() - start < limitMs) {
            App().RunFrame();
            hl::AdvanceClock(10);
        }
        return platform::TimeGetTime() - start;
    }
};

TEST_F(VoiceWaitTest, WaitingForAVoiceLastsUntilItEndsThenStopsEveryVoice) {
    PlayVoice(3, "long.ogg", 2000);
    PlayVoice(7, "other.ogg", 9000);
    Start("wait_voice channel=3\nwait ms=1\n");
    RunUntilModeChanges();
    ASSERT_EQ(App().mode, 52);
    const std::uint32_t took = RunWhile(52, 5000);
    EXPECT_GE(took, 1990u);
    EXPECT_LE(took, 2400u);
    EXPECT_EQ(App().mode, 2);
    for (const auto& c : g_voiceChannels)
        EXPECT_EQ(c, nullptr);
    EXPECT_EQ(S().seWaitSlot, 0);
}

TEST_F(VoiceWaitTest, CtrlEndsTheVoiceWaitAtOnceAndStillStopsEveryVoice) {
    PlayVoice(3, "long.ogg", 2000);
    Start("wait_voice channel=3\nwait ms=1\n");
    RunUntilModeChanges();
    g_mouse->skip = 1;
    EXPECT_LE(RunWhile(52, 5000), 60u); // three frames of 10 ms plus the 8 ms pause
    for (const auto& c : g_voiceChannels)
        EXPECT_EQ(c, nullptr);
    // A missing channel is over at once too.
    g_mouse->skip = 0;
    Start("wait_voice channel=19\nwait ms=1\n");
    RunUntilModeChanges();
    EXPECT_LE(RunWhile(52, 5000), 60u); // three frames of 10 ms plus the 8 ms pause
}

TEST_F(VoiceWaitTest, StoppingAVoiceSlotTakesTwoFramesAndLeavesTheOthers) {
    PlayVoice(4, "a.ogg", 3000);
    PlayVoice(5, "b.ogg", 3000);
    Start("stop_voice channel=4\nwait ms=1\n");
    RunUntilModeChanges();
    ASSERT_EQ(App().mode, 53);
    App().RunFrame();
    EXPECT_NE(g_voiceChannels[4], nullptr);
    App().RunFrame();
    EXPECT_EQ(App().mode, 2);
    EXPECT_EQ(g_voiceChannels[4], nullptr);
    EXPECT_NE(g_voiceChannels[5], nullptr);
}

class WaveWaitTest : public VoiceWaitTest {
protected:
    // Enters mode 23 for voice `name` with the line finished now.
    void Enter(const std::string& name) {
        S().waveName.fill(0);
        std::copy(name.begin(), name.end(), S().waveName.begin());
        S().textDoneTime = platform::TimeGetTime();
        S().subState = 0;
        App().mode = 23;
    }
};

TEST_F(WaveWaitTest, WithoutAVoiceTheWaitGivesUpByTheAutoSpeed) {
    ASSERT_TRUE(tools::WriteOggTone(dir_.path() / "voice" / "next.ogg", Tone(500)));
    // 5000 - 2000 * setting ms: 5000, 3000, 1000; 3 and more never.
    const std::pair<int, std::uint32_t> cases[] = {{0, 5000}, {1, 3000}, {2, 1000}};
    for (auto [setting, limit] : cases) {
        g_config[config::kAutoSpeed] = static_cast<std::uint8_t>(setting);
        Enter("next.ogg");
        const std::uint32_t start = platform::TimeGetTime();
        while (S().subState == 0 && platform::TimeGetTime() - start < 20000) {
            App().RunFrame();
            hl::AdvanceClock(10);
        }
        const std::uint32_t took = platform::TimeGetTime() - start;
        EXPECT_GT(took, limit) << setting;
        EXPECT_LE(took, limit + 40) << setting; // frames are 18 ms apart
        App().RunFrame();                       // loads and plays the new voice
        ASSERT_NE(g_voiceChannels[0], nullptr);
        EXPECT_FALSE(g_voiceChannels[0]->IsStopped());
        App().RunFrame();
        EXPECT_EQ(App().mode, 3);
        EXPECT_EQ(S().subState, 2);
        g_voiceChannels[0].reset();
    }
    g_config[config::kAutoSpeed] = 3;
    Enter("next.ogg");
    RunWhile(23, 60000);
    EXPECT_EQ(S().subState, 0);
    g_config[config::kAutoSpeed] = 0;
}

TEST_F(WaveWaitTest, AClickCutsThePreviousVoiceAndStartsTheNextAtOnce) {
    PlayVoice(0, "before.ogg", 4000);
    ASSERT_TRUE(tools::WriteOggTone(dir_.path() / "voice" / "after.ogg", Tone(600)));
    Enter("dir\\after.ogg"); // only the file name counts
    App().RunFrame();
    hl::AdvanceClock(100);
    App().RunFrame();
    EXPECT_EQ(S().subState, 0); // the previous voice still plays
    g_mouse->click = 1;
    App().RunFrame();
    EXPECT_EQ(g_mouse->click, 0);
    App().RunFrame();
    ASSERT_NE(g_voiceChannels[0], nullptr);
    EXPECT_FALSE(g_voiceChannels[0]->IsStopped());
    EXPECT_NEAR(g_voiceChannels[0]->GetLengthSeconds(), 44 * 600 / 44100.0, 1e-9); // the new voice
}

TEST_F(WaveWaitTest, AMissingVoiceIsNotPlayedButTheMessageGoesOn) {
    g_config[config::kAutoSpeed] = 2;
    Enter("nothing.ogg");
    RunWhile(23, 3000);
    EXPECT_EQ(App().mode, 3);
    ASSERT_NE(g_voiceChannels[0], nullptr);
    EXPECT_TRUE(g_voiceChannels[0]->IsStopped());
    g_config[config::kAutoSpeed] = 0;
}

class ClickIconTest : public SceneTest {
protected:
    void SetUp() override {
        hl::AdvanceClock(1000);
        g_backBuffer->FillRect(0, 0, 800, 600, 0);
        S().subState = 3;
        S().autoMode = 0;
        S().waitStartTime = platform::TimeGetTime();
        S().waitIconFrame = 0;
    }
};

TEST_F(ClickIconTest, TheStyleOneIconTurnsLikeACoin) {
    Picture("system/coin.bmp", 30, 14, 0xFFFFFFFF, 32);
    g_clickWaitIcon = std::make_unique<CDib>();
    ASSERT_TRUE(g_clickWaitIcon->LoadFile(platform::WindowHandle::Main, "system/coin.bmp"));
    S().messageStyle = 1;
    S().windowHidden = 0;
    hl::AdvanceClock(81);
    S().DrawClickWaitIcon(100, 50);
    // Frame 18: s = trunc(sin 18 * 29) = 8; drawn at x + 4, 22 wide.
    EXPECT_EQ(S().waitIconFrame, 18u);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 103, 55), 0u);
    EXPECT_NE(Rgb(g_backBuffer.get(), 104, 55), 0u);
    EXPECT_NE(Rgb(g_backBuffer.get(), 125, 55), 0u);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 126, 55), 0u);
    // Within 80 ms nothing moves on; ten steps come back to the start.
    S().DrawClickWaitIcon(100, 50);
    EXPECT_EQ(S().waitIconFrame, 18u);
    for (int i = 0; i < 9; ++i) {
        hl::AdvanceClock(81);
        S().DrawClickWaitIcon(100, 50);
    }
    EXPECT_EQ(S().waitIconFrame, 0u);
    // Nothing while the line is not waiting, in auto mode or in style 2.
    g_backBuffer->FillRect(0, 0, 800, 600, 0);
    for (auto set :
         {+[] { g_scenario->subState = 2; }, +[] { g_scenario->autoMode = 1; },
          +[] { g_scenario->messageStyle = 2; }, +[] { g_scenario->windowHidden = 1; }}) {
        SetUp();
        S().messageStyle = 1;
        S().windowHidden = 0;
        set();
        hl::AdvanceClock(81);
        S().DrawClickWaitIcon(100, 50);
        EXPECT_EQ(Rgb(g_backBuffer.get(), 114, 55), 0u);
    }
}

TEST_F(ClickIconTest, TheStyleZeroCellsAppearOneByOneThenAllFadeOut) {
    S().messageStyle = 0;
    S().waitCellOpacity.fill(0);
    S().waitIconFading = 0;
    // Cell c first gets opacity 0 (drawn invisibly), then 128, then 254.
    for (int call = 1; call <= 8; ++call) {
        hl::AdvanceClock(81);
        S().DrawClickWaitIcon(700, 500);
        EXPECT_EQ(S().waitIconFrame, static_cast<std::uint32_t>(call));
        EXPECT_EQ(S().waitCellOpacity[call - 1], 128);
        if (call >= 2) {
            EXPECT_EQ(S().waitCellOpacity[call - 2], 254);
        }
        EXPECT_EQ(S().waitIconFading, 0);
    }
    hl::AdvanceClock(81);
    S().DrawClickWaitIcon(700, 500);
    EXPECT_EQ(S().waitIconFading, 1);
    hl::AdvanceClock(999);
    S().DrawClickWaitIcon(700, 500);
    EXPECT_EQ(S().waitIconFading, 1); // p = 254
    hl::AdvanceClock(5);
    S().DrawClickWaitIcon(700, 500);
    EXPECT_EQ(S().waitIconFading, 0);
    EXPECT_EQ(S().waitIconFrame, 0u);
    EXPECT_EQ(S().waitCellOpacity[7], 0);
}

TEST_F(ClickIconTest, TheStyleZeroIconKeepsToItsEightCellsAfterTheFullPagesCount) {
    // The full page's coin counts its turn in degrees, up to 162; a save of
    // the bottom window loaded over it takes up the click wait with that count.
    S().messageStyle = 0;
    S().waitIconFrame = 90;
    S().waitCellOpacity.fill(0);
    S().waitIconFading = 0;
    S().DrawClickWaitIcon(700, 500);
    EXPECT_EQ(S().waitCellOpacity,
              (std::array<std::uint16_t, 8>{128, 128, 128, 128, 128, 128, 128, 128}));
    EXPECT_EQ(S().waitIconFading, 0);
}

TEST_F(SceneTest, ReloadingTheSpritesDrawsTheShownOnesHangingFromTheTop) {
    Picture("chara/girl.bmp", 100, 200, 0xFF00FF00, 32);
    auto name = [](int n, const char* text) {
        auto& field = g_gameApp->charNames[static_cast<std::size_t>(n)];
        field.fill(0);
        std::strcpy(field.data(), text);
    };
    name(2, "old\\girl.bmp");
    g_gameApp->charShown[2] = 1;
    g_gameApp->charCentreX[2] = 300;
    name(4, "girl.bmp"); // loaded but not shown
    g_gameApp->charShown[4] = 0;
    name(6, "missing.bmp");
    g_gameApp->charShown[6] = 1;
    cdib[0]->FillRect(0, 0, 800, 600, 0x000080);
    S().ReloadScrCharSet(cdib[0].get());
    EXPECT_NE(g_charFrames[2], nullptr);
    EXPECT_NE(g_charFrames[4], nullptr);
    EXPECT_EQ(Rgb(cdib[0].get(), 250, 0), 0x00FF00u);
    EXPECT_EQ(Rgb(cdib[0].get(), 349, 199), 0x00FF00u);
    EXPECT_EQ(Rgb(cdib[0].get(), 249, 0), 0x000080u);
    EXPECT_EQ(Rgb(cdib[0].get(), 300, 200), 0x000080u);
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_EQ(hl::Questions()[0].gbkText, "Not Frame");
    EXPECT_EQ(hl::Questions()[0].gbkCaption, "Error:SetScrCharSet");
}

} // namespace

namespace {

class ClickWaitModeTest : public SceneTest {
protected:
    void SetUp() override {
        Picture("system/click_wait00.bmp", 30, 14, 0xFF123456, 32);
        cdib[0]->FillRect(0, 0, 800, 600, 0x445566);
        g_backBuffer->FillRect(0, 0, 800, 600, 0xAAAAAA);
        S().messageStyle = 1;
        S().penX = 400;
        S().penY = 300;
        S().subState = 3;
        g_mouse->x = 5; // away from every button
        g_mouse->y = 5;
        App().mode = 55;
    }
};

TEST_F(ClickWaitModeTest, AClickErasesTheIconAndGoesBackToTheMessage) {
    for (int i = 0; i < 5; ++i)
        S().WaitClickIcon();
    EXPECT_EQ(App().mode, 55);
    g_mouse->click = 1;
    g_mouse->skip = 1;
    S().WaitClickIcon();
    EXPECT_EQ(App().mode, 3);
    EXPECT_EQ(S().subState, 2);
    EXPECT_EQ(g_mouse->click, 0);
    EXPECT_EQ(g_mouse->skip, 0);
    // (penX - 5, penY + 1) 28 x 28 from the background.
    EXPECT_EQ(Rgb(g_backBuffer.get(), 395, 301), 0x445566u);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 422, 328), 0x445566u);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 423, 328), 0xAAAAAAu);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 395, 300), 0xAAAAAAu);
    ASSERT_NE(g_clickWaitIcon, nullptr);
    EXPECT_EQ(g_clickWaitIcon->GetWidth(), 30);
}

TEST_F(ClickWaitModeTest, SkipAndAutoGoOnButAClickOnAButtonDoesNot) {
    S().skipMode = 1;
    S().WaitClickIcon();
    EXPECT_EQ(App().mode, 3);
    SetUp();
    S().skipMode = 0;
    S().autoMode = 1;
    S().WaitClickIcon();
    EXPECT_EQ(App().mode, 3);
    SetUp();
    S().autoMode = 0;
    const platform::Rect hide = S().buttonHits1[5];
    g_mouse->x = hide.left + 1;
    g_mouse->y = hide.top + 1;
    g_mouse->click = 1;
    S().WaitClickIcon();
    EXPECT_NE(S().hoverButton, 0);
    EXPECT_EQ(App().mode, 55);
}

TEST_F(ClickWaitModeTest, TheOverlayPutsTheWindowTextOverTheComposedFrame) {
    g_msgWindowText = std::make_unique<CDib>();
    g_msgWindowText->Create(platform::WindowHandle::Main, 800, 139, 24);
    // Fourth byte 255: an opaque text surface.
    for (int y = 0; y < 139; ++y)
        for (int x = 0; x < 800; ++x)
            g_msgWindowText->SetPixel(x, y, 0xFF0000FFu);
    S().windowShown = 1;
    S().messageStyle = 0;
    S().subState = 0;
    App().mode = 3;
    S().DrawMessageOverlay();
    EXPECT_EQ(Rgb(g_backBuffer.get(), 10, 461), 0x0000FFu);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 10, 460), 0xAAAAAAu);
    // Outside the message modes the text is put at (windowX, windowY),
    // `columnStartX` wide.
    g_backBuffer->FillRect(0, 0, 800, 600, 0xAAAAAA);
    App().mode = 55;
    S().windowX = 100;
    S().windowY = 50;
    S().columnStartX = 20;
    S().DrawMessageOverlay();
    EXPECT_EQ(Rgb(g_backBuffer.get(), 100, 50), 0x0000FFu);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 119, 188), 0x0000FFu);
    EXPECT_EQ(Rgb(g_backBuffer.get(), 120, 50), 0xAAAAAAu);
    // A window that is not shown is not put.
    g_backBuffer->FillRect(0, 0, 800, 600, 0xAAAAAA);
    S().windowShown = 0;
    S().DrawMessageOverlay();
    EXPECT_EQ(Rgb(g_backBuffer.get(), 100, 50), 0xAAAAAAu);
}

} // namespace
