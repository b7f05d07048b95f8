// Sound in the program's start-up and shut-down, and the volume levels the
// settings store hands over.
#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Shell.h"
#include "lib/OggWriter.h"
#include "sound/SoundChannel.h"
#include "sound/SoundDevice.h"
#include "TestSupport.h"

using namespace platform;
namespace hl = platform::headless;

namespace {

class SoundShellTest : public testing_support::HeadlessTest {
protected:
    void Start() {
        ASSERT_TRUE(CreateMainWindow("Norvane"));
        OnCreate(WindowHandle::Main);
    }
    ~SoundShellTest() override { OnDestroy(); }
};

TEST_F(SoundShellTest, StartUpOpensTheDeviceAndShutDownEndsEveryChannel) {
    tools::ToneSpec t;
    t.samples = 20000;
    ASSERT_TRUE(tools::WriteOggTone("bgm/m.ogg", t));
    ASSERT_TRUE(tools::WriteOggTone("se/s.ogg", t));
    ASSERT_TRUE(tools::WriteOggTone("voice/v.ogg", t));
    Start();
    ASSERT_NE(g_soundDevice.GetDirectSound(), nullptr);
    EXPECT_TRUE(hl::Questions().empty());
    for (auto& c : g_seChannels) EXPECT_EQ(c, nullptr);
    for (auto& c : g_voiceChannels) EXPECT_EQ(c, nullptr);

    g_bgmChannel = std::make_unique<CBgmChannel>();
    ASSERT_TRUE(g_bgmChannel->Load("m.ogg"));
    ASSERT_TRUE(g_bgmChannel->Play(Repeat::Endless));
    ASSERT_EQ(g_bgmChannel->FadeIn(3000), 0);
    g_seChannels[3] = std::make_unique<CSeChannel>();
    ASSERT_TRUE(g_seChannels[3]->Load("s.ogg"));
    ASSERT_TRUE(g_seChannels[3]->Play(Repeat::Endless));
    ASSERT_EQ(g_seChannels[3]->FadeOut(3000), 0);
    g_voiceChannels[10] = std::make_unique<CVoiceChannel>();
    ASSERT_TRUE(g_voiceChannels[10]->Load("v.ogg"));
    ASSERT_TRUE(g_voiceChannels[10]->Play(Repeat::Once));
    hl::AdvanceClock(200);

    OnDestroy();
    EXPECT_EQ(g_bgmChannel, nullptr);
    EXPECT_EQ(g_seChannels[3], nullptr);
    EXPECT_EQ(g_voiceChannels[10], nullptr);
    EXPECT_EQ(g_soundDevice.GetDirectSound(), nullptr);
    hl::AdvanceClock(5000);  // no fade step is left to run
}

TEST_F(SoundShellTest, WithoutSoundTheGameStartsAfterOneNotice) {
    hl::SetAudioAvailable(false);
    Start();
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_EQ(hl::Questions()[0].gbkCaption, "error");
    EXPECT_NE(g_gameApp, nullptr);
    EXPECT_EQ(PumpOnce(), LoopStep::Continue);
}

TEST_F(SoundShellTest, SettingsGiveTheMusicLevelAndResetGivesFifty) {
    std::vector<std::uint8_t> block(kConfigSize, 0);
    block[config::kBgmVolume] = 30;
    block[config::kSeVolume] = 70;
    testing_support::WriteFile("save/Config.dat", block);
    g_seVolume = 11;
    g_voiceVolume = 12;
    Start();
    EXPECT_EQ(g_bgmVolume, 30);
    // Effects and voices are not set from the file: the reset's 50 stands.
    EXPECT_EQ(g_seVolume, 50);
    EXPECT_EQ(g_voiceVolume, 50);
    g_bgmVolume = 1;
    ResetConfig();
    EXPECT_EQ(g_bgmVolume, 50);
}

}  // namespace
