// Channels: volume levels, loading by kind, playing on the headless device,
// fades on the virtual clock, and a machine without sound.
#include "sound/SoundChannel.h"
#include "TestSupport.h"
#include "data/PathTable.h"
#include "lib/OggWriter.h"
#include "sound/SoundDevice.h"

#include <atomic>
#include <chrono>
#include <thread>

using namespace platform;
namespace hl = platform::headless;

namespace {

// A music-kind channel that lets the test read its buffer's volume.
class ProbeChannel : public CFadeChannel {
public:
    ProbeChannel()
        : CFadeChannel(ChannelKind{kDataBgm, &g_bgmVolume, &g_bgmTargetVolume, &g_bgmEnabled}) {}
    std::int32_t Volume() {
        std::int32_t v = 12345;
        if (buffer_) buffer_->GetVolume(v);
        return v;
    }
};

tools::ToneSpec Tone(std::uint32_t samples) {
    tools::ToneSpec t;
    t.samples = samples;
    return t;
}

class SoundChannelTest : public testing_support::HeadlessTest {
protected:
    SoundChannelTest() {
        CPathTable().InitPaths();
        g_soundDevice.Close();
        InitDirectSound(WindowHandle::Main);
        g_bgmVolume = 50;
        g_bgmTargetVolume = 50;
        g_bgmEnabled = 1;
        g_seVolume = 50;
        g_seEnabled = 1;
        g_voiceVolume = 50;
        g_voiceEnabled = 1;
    }
    ~SoundChannelTest() override { g_soundDevice.Close(); }
};

TEST(SoundLevels, ConvertToHundredthsOfADecibel) {
    // 2000 x log10(level / 100), truncated toward zero; 0 is silence.
    struct Case {
        std::int32_t level, hundredths;
    };
    const Case cases[] = {
        {0, -10000}, {1, -4000},   // log10(0.01) = -2
        {10, -2000},               // log10(0.1) = -1
        {25, -1204},               // log10(0.25) = -0.60206
        {50, -602},                // log10(0.5) = -0.30103
        {60, -443},                // log10(0.6) = -0.221849
        {75, -249},                // log10(0.75) = -0.124939
        {80, -193},                // log10(0.8) = -0.096910
        {99, -8},                  // log10(0.99) = -0.004365
        {100, 0},    {101, 8},     // above the range: positive, which no buffer takes
        {200, 602},  {-5, -10000}, // below: silent
    };
    for (const Case& c : cases)
        EXPECT_EQ(LevelToHundredthsDb(c.level), c.hundredths) << c.level;
}

TEST_F(SoundChannelTest, LoadsFromTheKindsFolderWhateverFolderTheNameCarries) {
    ASSERT_TRUE(tools::WriteOggTone("bgm/x.ogg", Tone(1000)));
    ASSERT_TRUE(tools::WriteOggTone("voice/a.ogg", Tone(1000)));
    ASSERT_TRUE(tools::WriteOggTone("se/a.ogg", Tone(1000)));
    CBgmChannel bgm;
    EXPECT_TRUE(bgm.Load("bgm\\x.ogg"));
    CVoiceChannel voice;
    // The voice folder (ending in a backslash), one more backslash, the name.
    EXPECT_TRUE(voice.Load(CPathTable().GetPath(kDataVoice) + "\\a.ogg"));
    CSeChannel wrongFolder;
    EXPECT_FALSE(wrongFolder.Load("x.ogg")); // not in se
    CSeChannel se;
    EXPECT_TRUE(se.Load("somewhere/else/a.ogg"));
    EXPECT_TRUE(hl::Questions().empty());
}

TEST_F(SoundChannelTest, PlaysOnceAtTheKindsVolumeAndStopsAtItsEnd) {
    ASSERT_TRUE(tools::WriteOggTone("se/click.ogg", Tone(4000)));
    CSeChannel se;
    EXPECT_TRUE(se.IsStopped());
    ASSERT_TRUE(se.Load("click.ogg"));
    EXPECT_EQ(se.GetError(), 0);
    EXPECT_TRUE(se.IsReady());
    EXPECT_NEAR(se.GetLengthSeconds(), 4000.0 / 44100, 1e-9);
    g_seVolume = 25;
    ASSERT_TRUE(se.Play(Repeat::Once));
    EXPECT_FALSE(se.IsStopped());
    // The first block ends 8269 frames in, at 187.5 ms: the sound has played.
    hl::AdvanceClock(187);
    EXPECT_FALSE(se.IsStopped());
    hl::AdvanceClock(1);
    EXPECT_TRUE(se.IsStopped());
    EXPECT_TRUE(se.Stop()); // stopping a stopped channel is fine
}

TEST_F(SoundChannelTest, EndlessPlayGoesOnAndStopEndsIt) {
    ASSERT_TRUE(tools::WriteOggTone("bgm/loop.ogg", Tone(3000)));
    CBgmChannel bgm;
    ASSERT_TRUE(bgm.Load("loop.ogg"));
    ASSERT_TRUE(bgm.Play(Repeat::Endless));
    hl::AdvanceClock(5000);
    EXPECT_FALSE(bgm.IsStopped());
    EXPECT_TRUE(bgm.Stop());
    EXPECT_TRUE(bgm.IsStopped());
    // The base Play takes any count from -1 up.
    EXPECT_FALSE(static_cast<CSoundChannel&>(bgm).Play(-2));
    EXPECT_TRUE(static_cast<CSoundChannel&>(bgm).Play(3));
}

TEST_F(SoundChannelTest, DisabledKindPlaysNothingAndDoesNotFade) {
    ASSERT_TRUE(tools::WriteOggTone("bgm/m.ogg", Tone(3000)));
    CBgmChannel bgm;
    ASSERT_TRUE(bgm.Load("m.ogg"));
    g_bgmEnabled = 0;
    EXPECT_TRUE(bgm.Play(Repeat::Endless));
    EXPECT_TRUE(bgm.IsStopped());
    EXPECT_EQ(bgm.FadeIn(500), -1);
    EXPECT_EQ(bgm.FadeOut(500), -1);
    EXPECT_FALSE(bgm.IsFading());
}

TEST_F(SoundChannelTest, KindVolumeIsStoredAndAppliedAndTooLoudLevelsLeaveTheOldOne) {
    ASSERT_TRUE(tools::WriteOggTone("bgm/m.ogg", Tone(3000)));
    ProbeChannel c;
    ASSERT_TRUE(c.Load("m.ogg"));
    EXPECT_TRUE(c.SetVolume(0));
    EXPECT_EQ(c.Volume(), -10000);
    EXPECT_TRUE(c.SetVolume(100));
    EXPECT_EQ(c.Volume(), 0);
    EXPECT_TRUE(c.SetVolume(60));
    EXPECT_EQ(c.Volume(), -443);
    // Above 100 the level is stored as it is and the buffer keeps its volume.
    EXPECT_TRUE(c.SetVolume(150));
    EXPECT_EQ(g_bgmVolume, 150);
    EXPECT_EQ(c.Volume(), -443);
    ASSERT_TRUE(c.Play(Repeat::Once));
    EXPECT_EQ(c.Volume(), -443);
    EXPECT_TRUE(c.SetVolume(50));
    EXPECT_EQ(c.Volume(), -602);
    // The base applies without storing.
    static_cast<CSoundChannel&>(c).SetVolume(10);
    EXPECT_EQ(c.Volume(), -2000);
    EXPECT_EQ(g_bgmVolume, 50);
    SetBgmVolumeGlobal(70);
    EXPECT_EQ(g_bgmVolume, 70);
    EXPECT_EQ(c.Volume(), -2000); // stored only
    ASSERT_TRUE(c.Play(Repeat::Once));
    EXPECT_EQ(c.Volume(), -309); // Play applies the kind's volume: 2000 x log10(0.7) = -309.8
}

TEST_F(SoundChannelTest, FadeOutFromEightyEndsSilentAndLeavesTheLevel) {
    ASSERT_TRUE(tools::WriteOggTone("bgm/m.ogg", Tone(3000)));
    ProbeChannel c;
    ASSERT_TRUE(c.Load("m.ogg"));
    g_bgmVolume = 80;
    ASSERT_TRUE(c.Play(Repeat::Endless));
    hl::AdvanceClock(3);           // the fade starts at 3 ms
    ASSERT_EQ(c.FadeOut(1000), 0); // steps every 10 ms
    EXPECT_TRUE(c.IsFading());
    EXPECT_EQ(c.Volume(), -193); // first step at once: 80
    hl::AdvanceClock(500);       // 500 ms: d = 500 x 80 / 1000 = 40, level 40
    EXPECT_EQ(c.Volume(), -795); // 2000 x log10(0.4) = -795.9
    hl::AdvanceClock(500);       // 1000 ms: d = 80, not yet above 80
    EXPECT_EQ(c.Volume(), -10000);
    EXPECT_TRUE(c.IsFading());
    hl::AdvanceClock(10); // 1010 ms: 80.8 -> 80
    EXPECT_TRUE(c.IsFading());
    hl::AdvanceClock(10); // 1020 ms: 81 > 80, the end
    EXPECT_FALSE(c.IsFading());
    EXPECT_EQ(c.Volume(), -10000);
    EXPECT_EQ(g_bgmVolume, 80);
    EXPECT_FALSE(c.IsStopped()); // still playing, silently
    hl::AdvanceClock(100);
    EXPECT_EQ(c.Volume(), -10000);
    // A later Play sounds at the old level again.
    ASSERT_TRUE(c.Play(Repeat::Once));
    EXPECT_EQ(c.Volume(), -193);
}

TEST_F(SoundChannelTest, FadeInWritesTheTargetAsTheLevelAtItsEnd) {
    ASSERT_TRUE(tools::WriteOggTone("bgm/m.ogg", Tone(3000)));
    ProbeChannel c;
    ASSERT_TRUE(c.Load("m.ogg"));
    g_bgmTargetVolume = 60;
    ASSERT_TRUE(c.Play(Repeat::Endless));
    ASSERT_EQ(c.FadeIn(500), 0);   // steps every 5 ms
    EXPECT_EQ(c.Volume(), -10000); // 0 x 60 / 500
    hl::AdvanceClock(250);         // 250 x 60 / 500 = 30
    EXPECT_EQ(c.Volume(), -1045);  // 2000 x log10(0.3) = -1045.8
    EXPECT_EQ(g_bgmVolume, 50);
    hl::AdvanceClock(255); // 505: 60.6 -> 60, the target but not above it
    EXPECT_EQ(c.Volume(), -443);
    EXPECT_TRUE(c.IsFading());
    EXPECT_EQ(g_bgmVolume, 50);
    hl::AdvanceClock(5); // 510: 61 > 60
    EXPECT_FALSE(c.IsFading());
    EXPECT_EQ(c.Volume(), -443);
    EXPECT_EQ(g_bgmVolume, 60);
}

TEST_F(SoundChannelTest, FadesTooShortForTheTimerOrAtLevelZeroEnd) {
    ASSERT_TRUE(tools::WriteOggTone("bgm/m.ogg", Tone(3000)));
    ProbeChannel c;
    ASSERT_TRUE(c.Load("m.ogg"));
    ASSERT_TRUE(c.Play(Repeat::Endless));
    g_bgmTargetVolume = 70;
    EXPECT_EQ(c.FadeIn(0), 0);
    EXPECT_FALSE(c.IsFading());
    EXPECT_EQ(g_bgmVolume, 70);
    EXPECT_EQ(c.Volume(), -309);
    EXPECT_EQ(c.FadeOut(99), 0); // 99 / 100 = 0: no timer period
    EXPECT_FALSE(c.IsFading());
    EXPECT_EQ(c.Volume(), -10000);
    EXPECT_EQ(g_bgmVolume, 70);

    // Up to 0 and down from 0: over once the time has passed.
    g_bgmTargetVolume = 0;
    ASSERT_EQ(c.FadeIn(1000), 0);
    hl::AdvanceClock(1000);
    EXPECT_TRUE(c.IsFading());
    hl::AdvanceClock(10);
    EXPECT_FALSE(c.IsFading());
    EXPECT_EQ(g_bgmVolume, 0);
    ASSERT_EQ(c.FadeOut(200), 0);
    hl::AdvanceClock(202);
    EXPECT_FALSE(c.IsFading());
    EXPECT_EQ(c.Volume(), -10000);
}

TEST_F(SoundChannelTest, StoppedFadeNoLongerStepsAndDeletingAFadingChannelIsSafe) {
    ASSERT_TRUE(tools::WriteOggTone("bgm/m.ogg", Tone(3000)));
    auto c = std::make_unique<ProbeChannel>();
    ASSERT_TRUE(c->Load("m.ogg"));
    g_bgmVolume = 100;
    ASSERT_TRUE(c->Play(Repeat::Endless));
    ASSERT_EQ(c->FadeOut(1000), 0);
    hl::AdvanceClock(100);       // d = 10: level 90
    EXPECT_EQ(c->Volume(), -91); // 2000 x log10(0.9) = -91.5
    EXPECT_EQ(c->StopFade(), 0);
    EXPECT_TRUE(c->IsFading()); // the flags stay as they were
    hl::AdvanceClock(500);
    EXPECT_EQ(c->Volume(), -91);
    c.reset();
    hl::AdvanceClock(1000);

    // Deleted while its timer runs: the channel ends its own fade.
    auto d = std::make_unique<CBgmChannel>();
    ASSERT_TRUE(d->Load("m.ogg"));
    ASSERT_TRUE(d->Play(Repeat::Endless));
    ASSERT_EQ(d->FadeIn(2000), 0);
    hl::AdvanceClock(100);
    d.reset();
    hl::AdvanceClock(3000); // a stray step would touch freed memory
}

TEST_F(SoundChannelTest, FadesStopAndChannelsGoWhileAnotherThreadRunsTheTimer) {
    // The clock (and so every fade step) runs on a thread of its own, as the
    // timer thread does in the game; the sanitizers watch every access.
    ASSERT_TRUE(tools::WriteOggTone("bgm/m.ogg", Tone(3000)));
    ASSERT_TRUE(tools::WriteOggTone("se/s.ogg", Tone(3000)));
    std::atomic<bool> done{false};
    std::thread clock([&] {
        while (!done)
            hl::AdvanceClock(1);
    });
    for (int i = 0; i < 40; ++i) {
        auto bgm = std::make_unique<CBgmChannel>();
        auto se = std::make_unique<CSeChannel>();
        ASSERT_TRUE(bgm->Load("m.ogg"));
        ASSERT_TRUE(se->Load("s.ogg"));
        bgm->Play(Repeat::Endless);
        se->Play(Repeat::Endless);
        bgm->FadeOut(100 + i);
        se->FadeIn(100 + 2 * i);
        std::this_thread::sleep_for(std::chrono::microseconds(200 * (i % 5)));
        if (i % 2) bgm->StopFade();
        bgm.reset(); // with or without StopFade first
        se->StopFade();
        se.reset();
    }
    done = true;
    clock.join();
}

TEST_F(SoundChannelTest, SecondLoadOfALoadedChannelFails) {
    ASSERT_TRUE(tools::WriteOggTone("se/a.ogg", Tone(1000)));
    ASSERT_TRUE(tools::WriteOggTone("se/b.ogg", Tone(1000)));
    CSeChannel se;
    ASSERT_TRUE(se.Load("a.ogg"));
    EXPECT_FALSE(se.Load("b.ogg"));
}

TEST_F(SoundChannelTest, DamagedFileLoadsNothingAndTheGameGoesOn) {
    testing_support::WriteFile("voice/bad.ogg", {'O', 'g', 'g', 'S', 0, 2, 0, 0, 1, 2, 3});
    CVoiceChannel v;
    EXPECT_FALSE(v.Load("bad.ogg"));
    EXPECT_FALSE(v.Play(Repeat::Once));
    EXPECT_TRUE(v.IsStopped());
    EXPECT_TRUE(hl::Questions().empty());
}

TEST_F(SoundChannelTest, SoundTheMixerCannotTakeIsReportedByName) {
    tools::ToneSpec t = Tone(1000);
    t.channels = 3;
    ASSERT_TRUE(tools::WriteOggTone("se/three.ogg", t));
    CSeChannel se;
    EXPECT_FALSE(se.Load("three.ogg"));
    ASSERT_EQ(hl::Questions().size(), 1u);
    const std::string path = CPathTable().GetPath(kDataSe) + "three.ogg";
    EXPECT_EQ(hl::Questions()[0].gbkText,
              "\"" + path +
                  "\"\xA4\xCESoundBuffer\xA4\xF2\xD7\xF7\xA4\xEC\xA4\xCA\xA4\xAB\xA4\xC3\xA4\xBF");
    EXPECT_EQ(hl::Questions()[0].gbkCaption, "Error:OggOpen");
}

TEST_F(SoundChannelTest, WithoutASoundDeviceTheGameRunsSilent) {
    g_soundDevice.Close();
    hl::SetAudioAvailable(false);
    EXPECT_FALSE(InitDirectSound(WindowHandle::Main));
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_EQ(hl::Questions()[0].gbkText, "DirectSound\xB3\xF5\xC6\xDA\xBB\xAF\xCA\xA7\x94\xA1");
    EXPECT_EQ(hl::Questions()[0].gbkCaption, "error");
    EXPECT_FALSE(hl::Questions()[0].okCancel);

    ASSERT_TRUE(tools::WriteOggTone("bgm/m.ogg", Tone(1000)));
    CBgmChannel bgm;
    EXPECT_FALSE(bgm.Load("m.ogg"));
    EXPECT_FALSE(bgm.Play(Repeat::Endless));
    EXPECT_TRUE(bgm.Stop());
    EXPECT_TRUE(bgm.SetVolume(30));
    EXPECT_EQ(bgm.FadeOut(500), 0);
    hl::AdvanceClock(600);
    EXPECT_EQ(hl::Questions().size(), 1u); // told once, at start-up only
    // No window: refused before anything is tried.
    EXPECT_FALSE(InitDirectSound(WindowHandle::None));
    EXPECT_EQ(hl::Questions().size(), 1u);
}

} // namespace
