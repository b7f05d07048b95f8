// The sound records of a script on the headless audio device: which channel
// they make, load, play, fade and delete, at which level, under which skip
// state and settings, and the names they keep for saves and the history.
//
// Levels reach the buffer as hundredths of a decibel, 2000 x log10(level /
// 100) truncated toward zero (0 is silence, -10000):
//   10 -> -2000, 15 -> -1647, 20 -> -1397, 25 -> -1204, 30 -> -1045,
//   40 -> -795, 60 -> -443, 70 -> -309, 80 -> -193.
#include "ScenarioFixture.h"
#include "lib/OggWriter.h"
#include "sound/SoundChannel.h"
#include "sound/SoundDevice.h"
#include "sound/StreamBuffer.h"

#include <array>
#include <cstring>
#include <string>

using testing_support::ScenarioTest;
namespace hl = platform::headless;

namespace {

// The volume a channel's buffer holds (1 when there is no channel).
struct VolumeProbe : CSoundChannel {
    static std::int32_t Of(CSoundChannel* channel) {
        if (!channel) return 1;
        const auto buffer = &VolumeProbe::buffer_;
        std::int32_t v = 12345;
        if (channel->*buffer) (channel->*buffer)->GetVolume(v);
        return v;
    }
};

// The main characters' voice codes, in the order of their level bytes 8..19
// (the test lines of the settings voice page name them), and some of the
// stand-in codes of the other speaking characters by their index.
constexpr std::array<const char*, 12> kMainCodes = {"sef", "dor", "kel", "pom", "mur", "fop",
                                                    "bex", "hol", "vel", "fen", "lis", "gor"};
constexpr const char* kMain0 = "sef";
constexpr const char* kMain3 = "pom";
constexpr const char* kMain5 = "fop";
constexpr const char* kMain10 = "lis";
constexpr const char* kMain11 = "gor";
constexpr const char* kMinor0 = "mab";
constexpr const char* kMinor8 = "ume";
constexpr const char* kMinor9 = "vic";
constexpr const char* kMinor14 = "oda";

class SoundOpcodeTest : public ScenarioTest {
protected:
    SoundOpcodeTest() {
        g_soundDevice.Close();
        InitDirectSound(platform::WindowHandle::Main);
        g_bgmTargetVolume = 50;
        g_seTargetVolume = 50;
        g_bgmEnabled = 1;
        g_seEnabled = 1;
        g_voiceEnabled = 1;
    }
    ~SoundOpcodeTest() override {
        if (g_bgmChannel) g_bgmChannel->StopFade();
        g_bgmChannel.reset();
        for (auto& c : g_seChannels) {
            if (c) c->StopFade();
            c.reset();
        }
        for (auto& c : g_voiceChannels)
            c.reset();
        g_soundDevice.Close();
    }

    // A 4000-sample tone: one play of it ends after 188 ms.
    static void Tone(const std::string& path) {
        tools::ToneSpec t;
        t.samples = 4000;
        ASSERT_TRUE(tools::WriteOggTone(path, t));
    }
    // Runs `line` as the only record of a script; it must hand back mode 2
    // and go on to the next record.
    void Do(const std::string& line) {
        Start(line + "\nend");
        StepOnce();
        EXPECT_EQ(App().mode, 2) << line;
        EXPECT_EQ(S().pc, S().scriptSize - 4) << line; // at the closing `end`
    }
    static std::string Name(const NameString& n) { return n.data(); }
    std::string BgmName() { return S().bgmName ? S().bgmName.get() : "(none)"; }
    void SkipHeld(bool held) { g_mouse->skip = held ? 1 : 0; }
    // Text block 7, read or not.
    void OnText(bool read) {
        S().textBlock = 7;
        g_config[config::kReadFlags + 7] = read ? 1 : 0;
    }
    static bool Playing(CSoundChannel* c) { return c && !c->IsStopped(); }
};

} // namespace

// ---------------------------------------------------------------- music

TEST_F(SoundOpcodeTest, MusicPlaysAtItsLevelAndTheSamePieceIsNotRestarted) {
    Tone("bgm/theme.ogg");
    g_config[config::kBgmVolume] = 60;
    Do(R"(play_bgm loop=1 text="bgm\\Theme.wav")");
    EXPECT_EQ(Name(App().bgmName), "Theme.ogg");
    EXPECT_EQ(BgmName(), "Theme.ogg");
    EXPECT_EQ(S().bgmPlaying, 1);
    EXPECT_EQ(VolumeProbe::Of(g_bgmChannel.get()), -443);
    EXPECT_EQ(g_bgmVolume, 60);
    hl::AdvanceClock(1000);
    EXPECT_TRUE(Playing(g_bgmChannel.get())); // endless

    // The same piece, in other letters and without the loop: it plays on.
    CBgmChannel* first = g_bgmChannel.get();
    g_config[config::kBgmVolume] = 80;
    Do(R"(play_bgm loop=0 text="THEME")");
    EXPECT_EQ(g_bgmChannel.get(), first);
    EXPECT_EQ(Name(App().bgmName), "THEME.ogg");
    EXPECT_EQ(BgmName(), "Theme.ogg");
    EXPECT_EQ(VolumeProbe::Of(first), -443);

    Do("stop_bgm");
    EXPECT_EQ(g_bgmChannel, nullptr);
    EXPECT_EQ(S().bgmPlaying, 0);
    EXPECT_EQ(S().bgmName, nullptr);
    EXPECT_EQ(Name(App().bgmName), "");

    // Once stopped, the same name starts anew; without the loop it plays once.
    Do(R"(play_bgm loop=0 text="theme")");
    EXPECT_EQ(VolumeProbe::Of(g_bgmChannel.get()), -193);
    EXPECT_TRUE(Playing(g_bgmChannel.get()));
    hl::AdvanceClock(200);
    EXPECT_FALSE(Playing(g_bgmChannel.get()));
}

TEST_F(SoundOpcodeTest, MusicFadesOutOnTheClockAndPlaysOnSilently) {
    Tone("bgm/m.ogg");
    g_config[config::kBgmVolume] = 80;
    Do(R"(play_bgm loop=1 text="m")");
    Do("fade_bgm ms=1000");
    EXPECT_TRUE(g_bgmChannel->IsFading());
    EXPECT_EQ(S().bgmPlaying, 0);
    EXPECT_EQ(S().bgmName, nullptr);
    EXPECT_EQ(Name(App().bgmName), "");
    hl::AdvanceClock(500); // 80 - 500 x 80 / 1000 = 40
    EXPECT_EQ(VolumeProbe::Of(g_bgmChannel.get()), -795);
    hl::AdvanceClock(600);
    EXPECT_EQ(VolumeProbe::Of(g_bgmChannel.get()), -10000);
    EXPECT_TRUE(Playing(g_bgmChannel.get()));
    EXPECT_EQ(g_bgmVolume, 80);

    // The name was let go, so the same piece starts again at its level.
    Do(R"(play_bgm loop=1 text="m")");
    EXPECT_FALSE(g_bgmChannel->IsFading());
    EXPECT_EQ(VolumeProbe::Of(g_bgmChannel.get()), -193);
}

TEST_F(SoundOpcodeTest, SilencedMusicThatIsSwitchedOffIsNotFaded) {
    Tone("bgm/m.ogg");
    g_config[config::kBgmVolume] = 0;
    g_config[config::kMusicOff] = 1;
    Do(R"(play_bgm loop=1 text="m")");
    EXPECT_EQ(VolumeProbe::Of(g_bgmChannel.get()), -10000);
    Do("fade_bgm ms=1000");
    EXPECT_FALSE(g_bgmChannel->IsFading());
    EXPECT_TRUE(Playing(g_bgmChannel.get()));
    EXPECT_EQ(BgmName(), "m.ogg");
    EXPECT_EQ(S().bgmPlaying, 1);
    EXPECT_EQ(Name(App().bgmName), "");

    // Silent but not switched off: the fade runs.
    g_config[config::kMusicOff] = 0;
    Do("fade_bgm ms=1000");
    EXPECT_TRUE(g_bgmChannel->IsFading());
    EXPECT_EQ(S().bgmName, nullptr);

    // No music at all: only the application's name is touched.
    Do("stop_bgm");
    std::strcpy(App().bgmName.data(), "old.ogg");
    Do("fade_bgm ms=1000");
    EXPECT_EQ(g_bgmChannel, nullptr);
    EXPECT_EQ(Name(App().bgmName), "");
}

TEST_F(SoundOpcodeTest, MusicFadesInToTheMusicLevel) {
    Tone("bgm/m.ogg");
    g_config[config::kBgmVolume] = 60;
    Do(R"(play_bgm_fade loop=1 ms=1000 text="m.mp3")");
    EXPECT_EQ(BgmName(), "m.ogg");
    EXPECT_EQ(Name(App().bgmName), "m.ogg");
    EXPECT_EQ(S().bgmPlaying, 1);
    EXPECT_EQ(g_bgmTargetVolume, 60);
    EXPECT_EQ(g_bgmVolume, 0);
    EXPECT_EQ(VolumeProbe::Of(g_bgmChannel.get()), -10000);
    hl::AdvanceClock(250); // 250 x 60 / 1000 = 15
    EXPECT_EQ(VolumeProbe::Of(g_bgmChannel.get()), -1647);
    hl::AdvanceClock(850);
    EXPECT_FALSE(g_bgmChannel->IsFading());
    EXPECT_EQ(g_bgmVolume, 60);
    EXPECT_EQ(VolumeProbe::Of(g_bgmChannel.get()), -443);
    EXPECT_TRUE(Playing(g_bgmChannel.get()));

    CBgmChannel* first = g_bgmChannel.get();
    Do(R"(play_bgm_fade loop=1 ms=1000 text="M")");
    EXPECT_EQ(g_bgmChannel.get(), first);
    EXPECT_FALSE(first->IsFading());
}

TEST_F(SoundOpcodeTest, MusicStartsWithoutFadeOverSkippedTextOrAtLevelZero) {
    Tone("bgm/a.ogg");
    Tone("bgm/b.ogg");
    g_config[config::kBgmVolume] = 60;
    // The fade-in weighs the skip scope the other way round from the voices:
    // with scope 0 a held key skips over any text, with scope 1 only over
    // read text.
    struct Case {
        const char* what;
        std::uint8_t scope, key, read;
        bool skipped;
    };
    const Case cases[] = {
        {"scope 0, key, unread", 0, 1, 0, true},
        {"scope 0, key, read", 0, 1, 1, true},
        {"scope 1, key, unread", 1, 1, 0, false},
        {"scope 1, key, read", 1, 1, 1, true},
        {"scope 2, key, read", 2, 1, 1, true},
        {"scope 2, key, unread", 2, 1, 0, false},
        {"no key", 0, 0, 1, false},
    };
    bool flip = false;
    for (const Case& c : cases) {
        g_config[config::kSkipScope] = c.scope;
        SkipHeld(c.key != 0);
        OnText(c.read != 0);
        // Alternate pieces so that each record starts one.
        flip = !flip;
        Do(std::string("play_bgm_fade loop=0 ms=1000 text=\"") + (flip ? "a" : "b") + "\"");
        EXPECT_EQ(g_bgmChannel->IsFading(), !c.skipped) << c.what;
        EXPECT_EQ(VolumeProbe::Of(g_bgmChannel.get()), c.skipped ? -443 : -10000) << c.what;
        // Without its fade the music loops whatever the loop byte; the fade
        // honours the byte (the tone ends after 188 ms).
        hl::AdvanceClock(1200);
        EXPECT_EQ(Playing(g_bgmChannel.get()), c.skipped) << c.what;
    }

    SkipHeld(false);
    Tone("bgm/c.ogg");
    g_config[config::kBgmVolume] = 0;
    Do(R"(play_bgm_fade loop=0 ms=1000 text="c")");
    EXPECT_FALSE(g_bgmChannel->IsFading());
    EXPECT_EQ(BgmName(), "c.ogg");
    hl::AdvanceClock(1000);
    EXPECT_TRUE(Playing(g_bgmChannel.get()));
}

// ---------------------------------------------------------------- voices

TEST_F(SoundOpcodeTest, AVoicePlaysAtTheLevelOfItsCharacter) {
    for (const char* code : {kMain3, kMinor9, "zzz"})
        Tone(std::string("voice/") + code + "0001.ogg");
    g_config[config::kVoiceLevels + 3] = 25;
    g_config[config::kVoiceLevels + 12] = 10; // every other voice
    struct Case {
        std::string name;
        std::int32_t volume;
    };
    const Case cases[] = {
        {std::string(kMain3) + "0001", -1204},
        {"POM0001.wav", -1204}, // the code in other letters, any extension
        {std::string(kMinor9) + "0001", -2000},
        {"zzz0001", -2000},
    };
    App().logCount = 1; // the history keeps the name that tells whose voice it is
    for (const Case& c : cases) {
        Do("play_voice loop=0 text=\"" + c.name + "\"");
        EXPECT_EQ(VolumeProbe::Of(g_voiceChannels[0].get()), c.volume) << c.name;
        EXPECT_TRUE(Playing(g_voiceChannels[0].get())) << c.name;
    }
    hl::AdvanceClock(200);
    EXPECT_FALSE(Playing(g_voiceChannels[0].get()));
    Do("play_voice loop=1 text=\"zzz0001\"");
    hl::AdvanceClock(1000);
    EXPECT_TRUE(Playing(g_voiceChannels[0].get()));
}

TEST_F(SoundOpcodeTest, EachMainCharacterSpeaksAtItsOwnLevelByte) {
    // Level 10 + 5i for main character i: 2000 x log10((10 + 5i) / 100).
    for (std::size_t i = 0; i < kMainCodes.size(); ++i) {
        Tone(std::string("voice/") + kMainCodes[i] + "0001.ogg");
        g_config[config::kVoiceLevels + i] = static_cast<std::uint8_t>(10 + 5 * i);
    }
    g_config[config::kVoiceLevels + 12] = 100;
    App().logCount = 1;
    const std::array<std::int32_t, 12> hundredths = {-2000, -1647, -1397, -1204, -1045, -911,
                                                     -795,  -693,  -602,  -519,  -443,  -374};
    for (std::size_t i = 0; i < kMainCodes.size(); ++i) {
        Do(std::string("play_voice loop=0 text=\"") + kMainCodes[i] + "0001\"");
        EXPECT_EQ(VolumeProbe::Of(g_voiceChannels[0].get()), hundredths[i]) << kMainCodes[i];
    }
}

TEST_F(SoundOpcodeTest, MuteSwitchesSilenceTheirCharacters) {
    const char* codes[] = {kMain0,  kMain5,  kMain10,  kMain11, kMinor0,
                           kMinor8, kMinor9, kMinor14, "zzz"};
    for (const char* code : codes)
        Tone(std::string("voice/") + code + "0001.ogg");
    struct Case {
        std::size_t switchByte;
        const char* code;
        bool plays;
    };
    App().logCount = 1;
    const Case cases[] = {
        // Switch A: every voice but main characters 5 and 11.
        {config::kVoiceMuteA, kMain0, false},
        {config::kVoiceMuteA, kMain5, true},
        {config::kVoiceMuteA, kMain10, false},
        {config::kVoiceMuteA, kMain11, true},
        {config::kVoiceMuteA, kMinor0, false},
        {config::kVoiceMuteA, kMinor8, false},
        {config::kVoiceMuteA, kMinor9, false},
        {config::kVoiceMuteA, kMinor14, false},
        {config::kVoiceMuteA, "zzz", false},
        // Switch B: main characters 5 and 11, minor characters 9..14.
        {config::kVoiceMuteB, kMain0, true},
        {config::kVoiceMuteB, kMain5, false},
        {config::kVoiceMuteB, kMain10, true},
        {config::kVoiceMuteB, kMain11, false},
        {config::kVoiceMuteB, kMinor0, true},
        {config::kVoiceMuteB, kMinor8, true},
        {config::kVoiceMuteB, kMinor9, false},
        {config::kVoiceMuteB, kMinor14, false},
        {config::kVoiceMuteB, "zzz", true},
    };
    for (const Case& c : cases) {
        g_voiceChannels[0].reset();
        g_config[config::kVoiceMuteA] = 0;
        g_config[config::kVoiceMuteB] = 0;
        g_config[c.switchByte] = 1;
        Do(std::string("play_voice loop=0 text=\"") + c.code + "0001\"");
        EXPECT_EQ(Playing(g_voiceChannels[0].get()), c.plays)
            << c.code << " switch " << c.switchByte;
    }
}

// Whose voice it is, its level and its mute switch come from the name kept
// for the history, which nothing logged yet leaves as it was.
TEST_F(SoundOpcodeTest, WithNothingLoggedTheNameKeptBeforeTellsWhoseVoiceItIs) {
    for (const char* code : {kMain3, "zzz"})
        Tone(std::string("voice/") + code + "0001.ogg");
    g_config[config::kVoiceLevels + 3] = 25;
    g_config[config::kVoiceLevels + 12] = 10;
    Do(std::string("play_voice loop=0 text=\"") + kMain3 + "0001\"");
    EXPECT_EQ(VolumeProbe::Of(g_voiceChannels[0].get()), -2000); // no name kept: the others' level
    std::strcpy(S().voiceName.data(), "pom0009.ogg");
    Do(R"(play_voice loop=0 text="zzz0001")");
    EXPECT_EQ(VolumeProbe::Of(g_voiceChannels[0].get()), -1204);
    EXPECT_EQ(std::string(S().voiceName.data()), "pom0009.ogg");
    // Switch A spares main character 11: a voice kept as its own plays.
    g_config[config::kVoiceMuteA] = 1;
    std::strcpy(S().voiceName.data(), (std::string(kMain11) + "0001.ogg").c_str());
    g_voiceChannels[0].reset();
    Do(std::string("play_voice loop=0 text=\"") + kMain3 + "0001\"");
    EXPECT_TRUE(Playing(g_voiceChannels[0].get()));
    g_config[config::kVoiceMuteA] = 0;
    // The caption band drops the kept name after its voice: the next one
    // takes the other voices' level.
    std::strcpy(S().voiceName.data(), "pom0009.ogg");
    S().messageStyle = 2;
    Do(R"(play_voice loop=0 text="zzz0001")");
    EXPECT_EQ(VolumeProbe::Of(g_voiceChannels[0].get()), -1204);
    Do(std::string("play_voice loop=0 text=\"") + kMain3 + "0001\"");
    EXPECT_EQ(VolumeProbe::Of(g_voiceChannels[0].get()), -2000);
}

TEST_F(SoundOpcodeTest, VoicesAreNotPlayedOverSkippedTextOrWhenSwitchedOff) {
    Tone("voice/sef0001.ogg");
    struct Case {
        const char* what;
        std::uint8_t scope, skipKey, read, skipMode, voicesOff;
        bool plays;
    };
    const Case cases[] = {
        {"nothing skips", 0, 0, 1, 0, 0, true},
        {"voices off", 0, 0, 0, 0, 1, false},
        {"key over read text", 0, 1, 1, 0, 0, false},
        {"key over unread text, read text only", 0, 1, 0, 0, 0, true},
        {"key over unread text, all text", 1, 1, 0, 0, 0, false},
        {"skip mode over unread text", 0, 0, 0, 1, 0, true},
        {"skip mode over read text", 0, 0, 1, 1, 0, false},
        {"skip mode, all text", 1, 0, 0, 1, 0, false},
    };
    for (const Case& c : cases) {
        g_voiceChannels[0].reset();
        g_config[config::kSkipScope] = c.scope;
        g_config[config::kVoiceOff] = c.voicesOff;
        SkipHeld(c.skipKey != 0);
        OnText(c.read != 0);
        S().skipMode = c.skipMode;
        Do(R"(play_voice loop=0 text="sef0001")");
        EXPECT_EQ(Playing(g_voiceChannels[0].get()), c.plays) << c.what;
    }
}

TEST_F(SoundOpcodeTest, TheVoiceNameIsKeptForTheHistoryExceptInTheCaptionBand) {
    Tone("voice/sef0001.ogg");
    App().logCount = 3;
    g_config[config::kVoiceOff] = 1; // the name is kept even when nothing plays
    Do(R"(play_voice loop=0 text="voice\\sef0001.wav")");
    EXPECT_EQ(std::string(S().voiceName.data()), "sef0001.ogg");
    EXPECT_EQ(g_voiceChannels[0], nullptr);

    g_config[config::kVoiceOff] = 0;
    S().messageStyle = 2;
    Do(R"(play_voice loop=0 text="sef0001")");
    EXPECT_TRUE(Playing(g_voiceChannels[0].get()));
    EXPECT_EQ(std::string(S().voiceName.data()), "");
}

TEST_F(SoundOpcodeTest, VoiceSlotsLoadAndWavePlaysUseTheirVolumeClass) {
    Tone("voice/sef0001.ogg");
    Tone("voice/fio0001.ogg");
    App().logCount = 1;
    g_config[config::kVoiceLevels + 4] = 70;
    Do(R"(load_voice channel=3 text="sef0001")");
    ASSERT_NE(g_voiceChannels[3], nullptr);
    EXPECT_FALSE(Playing(g_voiceChannels[3].get()));
    EXPECT_EQ(std::string(S().voiceName.data()), ""); // loading keeps no name
    Do("play_wave channel=3 class=4");
    EXPECT_TRUE(Playing(g_voiceChannels[3].get()));
    EXPECT_EQ(VolumeProbe::Of(g_voiceChannels[3].get()), -309);

    Do(R"(play_voice_slot channel=19 text="fio0001")");
    ASSERT_NE(g_voiceChannels[19], nullptr);
    EXPECT_FALSE(Playing(g_voiceChannels[19].get()));
    EXPECT_EQ(std::string(S().voiceName.data()), "fio0001.ogg");
    g_config[config::kVoiceOff] = 1;
    Do(R"(play_voice_slot channel=18 text="fio0001")");
    EXPECT_EQ(g_voiceChannels[18], nullptr);
    Do("play_wave channel=19 class=4");
    EXPECT_FALSE(Playing(g_voiceChannels[19].get()));
    g_config[config::kVoiceOff] = 0;

    struct Case {
        std::size_t switchByte;
        int volumeClass;
        bool plays;
    };
    const Case cases[] = {
        {config::kVoiceMuteB, 1, false}, {config::kVoiceMuteB, 0, true},
        {config::kVoiceMuteA, 0, false}, {config::kVoiceMuteA, 14, false},
        {config::kVoiceMuteA, 1, true},  {config::kVoiceMuteA, 17, true},
    };
    for (const Case& c : cases) {
        g_voiceChannels[19]->Stop();
        g_config[config::kVoiceMuteA] = 0;
        g_config[config::kVoiceMuteB] = 0;
        g_config[c.switchByte] = 1;
        Do("play_wave channel=19 class=" + std::to_string(c.volumeClass));
        EXPECT_EQ(Playing(g_voiceChannels[19].get()), c.plays)
            << c.volumeClass << " switch " << c.switchByte;
    }
    EXPECT_EQ(VolumeProbe::Of(g_voiceChannels[19].get()), -602); // class 17: byte 25, 50

    // A file that cannot be opened leaves no channel, and a wave play of it
    // does nothing.
    Do(R"(load_voice channel=3 text="missing")");
    EXPECT_EQ(g_voiceChannels[3], nullptr);
    Do("play_wave channel=3 class=0");
    EXPECT_EQ(g_voiceChannels[3], nullptr);
    Do(R"(play_voice_slot channel=19 text="missing")");
    EXPECT_EQ(g_voiceChannels[19], nullptr);
    EXPECT_TRUE(hl::Questions().empty());
}

// ---------------------------------------------------------------- effects

TEST_F(SoundOpcodeTest, EffectChannelsSitOneAboveTheScriptsNumbers) {
    Tone("se/hit.ogg");
    Tone("se/rain.ogg");
    g_config[config::kSeVolume] = 30;
    Do(R"(load_play_se channel=0 loop=0 text="hit")");
    EXPECT_EQ(g_seChannels[0], nullptr); // the screens' own channel
    EXPECT_TRUE(Playing(g_seChannels[1].get()));
    EXPECT_EQ(VolumeProbe::Of(g_seChannels[1].get()), -1045);
    EXPECT_EQ(Name(App().seName), "");
    hl::AdvanceClock(200);
    EXPECT_FALSE(Playing(g_seChannels[1].get()));

    Do(R"(load_play_se channel=8 loop=1 text="se\\rain.wav")");
    EXPECT_EQ(Name(App().seName), "rain.ogg");
    hl::AdvanceClock(1000);
    EXPECT_TRUE(Playing(g_seChannels[9].get()));

    Do(R"(load_se channel=2 text="hit")");
    ASSERT_NE(g_seChannels[3], nullptr);
    EXPECT_FALSE(Playing(g_seChannels[3].get()));
    g_config[config::kSeVolume] = 70;
    Do("play_se_slot channel=2 loop=1");
    EXPECT_EQ(VolumeProbe::Of(g_seChannels[3].get()), -309);
    hl::AdvanceClock(1000);
    EXPECT_TRUE(Playing(g_seChannels[3].get()));

    // Stopping channel 8 keeps the looping name; stopping channel 1, even
    // when it holds nothing, lets it go.
    Do("stop_se channel=8");
    EXPECT_EQ(g_seChannels[9], nullptr);
    EXPECT_EQ(Name(App().seName), "rain.ogg");
    Do("stop_se channel=1");
    EXPECT_EQ(Name(App().seName), "");

    // Files that cannot be opened leave no channel behind.
    Do(R"(load_play_se channel=2 loop=0 text="missing")");
    EXPECT_EQ(g_seChannels[3], nullptr);
    Do("play_se_slot channel=2 loop=0");
    EXPECT_EQ(g_seChannels[3], nullptr);
    Do(R"(load_se channel=1 text="missing")");
    EXPECT_EQ(g_seChannels[2], nullptr);
    EXPECT_TRUE(hl::Questions().empty());
}

TEST_F(SoundOpcodeTest, SkippedTextDropsEffectsButTheLoopOnChannelOne) {
    Tone("se/hit.ogg");
    Tone("se/rain.ogg");
    // Scope 0: a held key skips over any text.
    g_config[config::kSkipScope] = 0;
    SkipHeld(true);
    OnText(false);
    Do(R"(load_play_se channel=2 loop=0 text="hit")");
    EXPECT_EQ(g_seChannels[3], nullptr);
    Do(R"(load_play_se channel=2 loop=1 text="rain")");
    EXPECT_EQ(g_seChannels[3], nullptr);
    EXPECT_EQ(Name(App().seName), "rain.ogg"); // kept for a save all the same
    Do(R"(load_play_se channel=1 loop=1 text="rain")");
    EXPECT_TRUE(Playing(g_seChannels[2].get()));

    // Any other scope: the key skips only over read text.
    g_config[config::kSkipScope] = 1;
    Do(R"(load_play_se channel=2 loop=0 text="hit")");
    EXPECT_TRUE(Playing(g_seChannels[3].get()));
    g_seChannels[3].reset();
    OnText(true);
    Do(R"(load_play_se channel=2 loop=0 text="hit")");
    EXPECT_EQ(g_seChannels[3], nullptr);
}

TEST_F(SoundOpcodeTest, LoopingEffectsFadeInAndOut) {
    Tone("se/rain.ogg");
    g_config[config::kSeVolume] = 40;
    Do(R"(play_se channel=0 loop=0 ms=1000 text="rain")");
    EXPECT_EQ(g_seChannels[1], nullptr); // loops only
    EXPECT_EQ(Name(App().seName), "");

    Do(R"(play_se channel=0 loop=1 ms=1000 text="rain")");
    EXPECT_EQ(Name(App().seName), "rain.ogg");
    EXPECT_EQ(g_seTargetVolume, 40);
    EXPECT_EQ(VolumeProbe::Of(g_seChannels[1].get()), -10000);
    hl::AdvanceClock(500); // 500 x 40 / 1000 = 20
    EXPECT_EQ(VolumeProbe::Of(g_seChannels[1].get()), -1397);
    hl::AdvanceClock(600);
    EXPECT_EQ(g_seVolume, 40);
    EXPECT_EQ(VolumeProbe::Of(g_seChannels[1].get()), -795);

    Do("fade_out_se channel=0 ms=1000");
    EXPECT_EQ(Name(App().seName), "");
    hl::AdvanceClock(500); // 40 - 500 x 40 / 1000 = 20
    EXPECT_EQ(VolumeProbe::Of(g_seChannels[1].get()), -1397);
    hl::AdvanceClock(600);
    EXPECT_EQ(VolumeProbe::Of(g_seChannels[1].get()), -10000);
    EXPECT_TRUE(Playing(g_seChannels[1].get()));

    // Skipped text or a level of 0: no fade.
    g_config[config::kSkipScope] = 1;
    SkipHeld(true);
    Do(R"(play_se channel=0 loop=1 ms=1000 text="rain")");
    EXPECT_FALSE(g_seChannels[1]->IsFading());
    EXPECT_EQ(VolumeProbe::Of(g_seChannels[1].get()), -795);
    SkipHeld(false);
    g_config[config::kSeVolume] = 0;
    Do(R"(play_se channel=0 loop=1 ms=1000 text="rain")");
    EXPECT_FALSE(g_seChannels[1]->IsFading());
    EXPECT_EQ(VolumeProbe::Of(g_seChannels[1].get()), -10000);

    // Silenced and switched off: no fade-out; not switched off: a fade.
    g_config[config::kSeOff] = 1;
    std::strcpy(App().seName.data(), "rain.ogg");
    Do("fade_out_se channel=0 ms=1000");
    EXPECT_FALSE(g_seChannels[1]->IsFading());
    EXPECT_EQ(Name(App().seName), "");
    g_config[config::kSeOff] = 0;
    Do("fade_out_se channel=0 ms=1000");
    EXPECT_TRUE(g_seChannels[1]->IsFading());
    Do("fade_out_se channel=5 ms=1000"); // no channel: nothing to fade
    EXPECT_EQ(g_seChannels[6], nullptr);
}

// ---------------------------------------------------------------- failures

TEST_F(SoundOpcodeTest, MissingFilesLeaveSilentChannelsAndTheScriptGoesOn) {
    Start(R"(play_bgm loop=1 text="nomusic"
play_voice loop=0 text="sef9999"
play_se channel=3 loop=1 ms=500 text="norain"
play_bgm_fade loop=1 ms=500 text="nomusic2"
end)");
    RunUntilModeChanges();
    EXPECT_EQ(App().mode, 1); // the script ran to its end
    EXPECT_EQ(S().pc, S().scriptSize);
    EXPECT_EQ(Reports(), 0u);
    ASSERT_NE(g_bgmChannel, nullptr);
    EXPECT_FALSE(Playing(g_bgmChannel.get()));
    EXPECT_EQ(BgmName(), "nomusic2.ogg");
    ASSERT_NE(g_voiceChannels[0], nullptr);
    EXPECT_FALSE(Playing(g_voiceChannels[0].get()));
    ASSERT_NE(g_seChannels[4], nullptr);
    EXPECT_FALSE(Playing(g_seChannels[4].get()));
    EXPECT_EQ(Name(App().seName), "norain.ogg");
}

TEST_F(SoundOpcodeTest, WithoutASoundDeviceEveryRecordPassesOver) {
    Tone("bgm/m.ogg");
    Tone("se/s.ogg");
    Tone("voice/v.ogg");
    g_soundDevice.Close();
    Start(R"(play_bgm loop=1 text="m"
fade_bgm ms=500
play_bgm_fade loop=1 ms=500 text="m2"
lower_bgm
stop_bgm
play_voice loop=1 text="v"
play_voice_slot channel=2 text="v"
load_voice channel=2 text="v"
play_wave channel=2 class=3
load_play_se channel=0 loop=1 text="s"
load_se channel=0 text="s"
play_se_slot channel=0 loop=0
play_se channel=0 loop=1 ms=500 text="s"
fade_out_se channel=0 ms=500
stop_se channel=0
end)");
    const int steps = RunUntilModeChanges();
    EXPECT_EQ(steps, 16);
    EXPECT_EQ(App().mode, 1);
    EXPECT_EQ(Reports(), 0u);
    EXPECT_EQ(g_seChannels[1], nullptr);
    EXPECT_EQ(g_voiceChannels[2], nullptr);
    hl::AdvanceClock(1000);
}

TEST_F(SoundOpcodeTest, ChannelNumbersOutsideTheirTablesAreRefused) {
    Tone("se/s.ogg");
    Tone("voice/v.ogg");
    for (const char* record :
         {R"(load_play_se channel=9 loop=0 text="s")", "play_wave channel=20 class=0",
          "play_wave channel=0 class=18", R"(load_voice channel=20 text="v")",
          "fade_out_se channel=255 ms=10"}) {
        const std::size_t before = Reports();
        Start(std::string(record) + "\nend");
        StepOnce();
        EXPECT_EQ(App().mode, 1) << record; // the script ends
        EXPECT_EQ(Reports(), before + 1) << record;
    }
    for (auto& c : g_seChannels)
        EXPECT_EQ(c, nullptr);
    for (auto& c : g_voiceChannels)
        EXPECT_EQ(c, nullptr);
}

TEST_F(SoundOpcodeTest, AMusicNameTooLongForTheSaveFieldIsCut) {
    const std::string title(127, 'x');
    Do("play_bgm loop=1 text=\"" + title + "\"");
    EXPECT_EQ(Name(App().bgmName), (title + ".ogg").substr(0, 127));
    EXPECT_EQ(BgmName(), title + ".ogg");
}
