// Opcodes that start, stop and fade the music, sound-effect and voice
// channels. They keep the names the save record stores (the music and the
// looping effect, in the application object) and the voice name the message
// history stores, and they decide from the skip state and the settings block
// whether a sound plays at all.
//
// Channel numbers have been checked against their tables before a record
// runs: script effect channel c (0..8) is g_seChannels[c + 1], since element 0
// belongs to the screens' click sounds; voice channels are 0..19; voice
// volume classes 0..17 name the settings bytes 8..25.
//
// A sound file that cannot be opened is not the player's concern: the record
// is logged for maintainers and the script goes on.
#include "scenario/Scenario.h"
#include "scenario/VoiceFilter.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "data/DataPath.h"
#include "data/Log.h"
#include "sound/SoundChannel.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

namespace {

// The first three letters of a voice file name tell whose voice it is. The
// main characters, in the order of their volume bytes (settings 8..19): the
// codes of the settings voice page's test lines. The mute switch B covers
// entries 5 and 11, switch A every other voice.
constexpr std::array<std::string_view, 12> kMainVoiceCodes = {
    "sef", "dor", "kel", "pom", "mur", "fop", "bex", "hol", "vel", "fen", "lis", "gor",
};
// The other speaking characters, all at the volume of settings byte 20. Their
// codes come with the voice files of a game and are not known here: these
// stand in for them until they are. Switch B covers entries 9..14.
constexpr std::array<std::string_view, 15> kOtherVoiceCodesStandIn = {
    "mab", "nod", "osk", "pim", "qin", "rud", "sal", "tav",
    "ume", "vic", "wen", "xia", "yot", "zel", "oda",
};
constexpr std::size_t kOtherVoicesLevel = config::kVoiceLevels + kMainVoiceCodes.size();

std::uint8_t Setting(std::size_t offset) {
    return g_config[offset];
}

bool SkipHeld() {
    return g_mouse && g_mouse->skip != 0;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

// Index of the code that begins `name`, case ignored; the table's size when
// none does.
template <std::size_t N>
std::size_t VoiceCodeIndex(const std::array<std::string_view, N>& table, std::string_view name) {
    if (name.size() < 3) return N;
    const std::string_view code = name.substr(0, 3);
    for (std::size_t i = 0; i < N; ++i)
        if (EqualIgnoringCase(table[i], code)) return i;
    return N;
}

template <std::size_t N> void SetName(std::array<char, N>& field, std::string_view name) {
    field.fill(0);
    std::copy_n(name.begin(), std::min(name.size(), field.size() - 1), field.begin());
}

void SetMusicName(std::string_view name) {
    if (g_gameApp) SetName(g_gameApp->bgmName, name);
}

void SetLoopingSeName(std::string_view name) {
    if (g_gameApp) SetName(g_gameApp->seName, name);
}

// A fade runs on the timer thread: it is stopped before the channel goes.
template <class Channel> void DeleteFadingChannel(std::unique_ptr<Channel>& channel) {
    if (!channel) return;
    channel->StopFade();
    channel->Stop();
    channel.reset();
}

void DeleteVoiceChannel(std::unique_ptr<CVoiceChannel>& channel) {
    if (!channel) return;
    channel->Stop();
    channel.reset();
}

enum class OnFailedLoad : std::uint8_t { KeepSilent, Delete };

// Makes the channel anew with `name` loaded. A file that cannot be opened
// leaves a silent channel, or none.
template <class Channel>
bool LoadFresh(std::unique_ptr<Channel>& channel, const std::string& name, OnFailedLoad onFail) {
    channel = std::make_unique<Channel>();
    if (channel->Load(name)) return true;
    LogMessage("sound \"%s\" could not be loaded", name.c_str());
    if (onFail == OnFailedLoad::Delete) channel.reset();
    return false;
}

Repeat RepeatOf(std::uint8_t loopByte) {
    return loopByte == 1 ? Repeat::Endless : Repeat::Once;
}

std::unique_ptr<CSeChannel>& SeSlot(std::uint8_t c) {
    return g_seChannels[static_cast<std::size_t>(c) + 1];
}

// The text on screen is being skipped: the skip key is held and the skip
// scope covers this text (everything, or text already read).
bool SkippingText(const CScenario& s) {
    if (!SkipHeld()) return false;
    return Setting(config::kSkipScope) == 1 ||
           (Setting(config::kSkipScope) == 0 && s.TextBlockRead());
}

// The music fade-in and the stream effects weigh the skip scope the other
// way round: with scope 0 a held key always skips, otherwise only over text
// already read.
bool SkippingTextScopeReversed(const CScenario& s) {
    if (!SkipHeld()) return false;
    return Setting(config::kSkipScope) == 0 || s.TextBlockRead();
}

// The script's own skip mode over text it may skip.
bool SkipModeSkipping(const CScenario& s) {
    return s.skipMode != 0 && (s.TextBlockRead() || Setting(config::kSkipScope) == 1);
}

// A copy of `name` for CScenario::bgmName.
std::unique_ptr<char[]> HeapCopy(const std::string& name) {
    auto copy = std::make_unique<char[]>(name.size() + 1);
    std::memcpy(copy.get(), name.c_str(), name.size() + 1);
    return copy;
}

} // namespace

// Records name sounds with any extension or none, and with any folder.
std::string CScenario::SoundFileName(std::string_view operand) {
    return PathFileTitle(std::string(operand)) + ".ogg";
}

std::optional<std::size_t> VoiceLevelByte(std::string_view name) {
    const bool muteA = Setting(config::kVoiceMuteA) == 1;
    const bool muteB = Setting(config::kVoiceMuteB) == 1;
    // A code that is no main character's counts as index 12, which switch A
    // covers too: with switch A on only main characters 5 and 11 speak.
    const std::size_t main = VoiceCodeIndex(kMainVoiceCodes, name);
    const bool switchB = main % 6 == 5;
    if ((muteA && !switchB) || (muteB && switchB)) return std::nullopt;
    if (main < kMainVoiceCodes.size()) return config::kVoiceLevels + main;
    const std::size_t other = VoiceCodeIndex(kOtherVoiceCodesStandIn, name);
    if ((muteA && other <= 8) || (muteB && other >= 9 && other <= 14)) return std::nullopt;
    return kOtherVoicesLevel;
}

namespace {

// Keeps the name of a voice for the message history (once there is a
// history to keep it for) and tells whether voices may sound now.
bool KeepVoiceNameAndMayPlay(CScenario& s, const std::string& name) {
    if (g_gameApp && g_gameApp->logCount != 0) SetName(s.voiceName, name);
    return !SkippingText(s) && Setting(config::kVoiceOff) == 0 && !SkipModeSkipping(s);
}

} // namespace

// ---------------------------------------------------------------- music

std::uint32_t CScenario::OpPlayBgm(std::uint32_t at) {
    const std::string name = SoundFileName(StringOperand(at));
    SetMusicName(name);
    if (bgmName && EqualIgnoringCase(bgmName.get(), name)) {
        SetMode(2); // that music plays on
        return NextRecord(at);
    }
    bgmName = HeapCopy(name);

    DeleteFadingChannel(g_bgmChannel);
    LoadFresh(g_bgmChannel, name, OnFailedLoad::KeepSilent);
    g_bgmChannel->SetVolume(Setting(config::kBgmVolume));
    g_bgmChannel->Play(RepeatOf(Byte(at + 3)));
    bgmPlaying = 1;
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpStopBgm(std::uint32_t at) {
    if (g_bgmChannel) {
        DeleteFadingChannel(g_bgmChannel);
        bgmPlaying = 0;
    }
    bgmName.reset();
    SetMusicName({});
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpFadeBgm(std::uint32_t at) {
    // With the music silenced and switched off there is nothing to fade: the
    // music keeps its name here, so the same piece is not started again.
    const bool silencedAndOff = Setting(config::kBgmVolume) == 0 && Setting(config::kMusicOff) != 0;
    if (g_bgmChannel && !silencedAndOff) {
        g_bgmChannel->FadeOut(Dword(at + 4));
        bgmPlaying = 0;
        bgmName.reset();
    }
    SetMusicName({});
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpPlayBgmFade(std::uint32_t at) {
    const std::string name = SoundFileName(StringOperand(at));
    SetMusicName(name);
    if (bgmName && EqualIgnoringCase(bgmName.get(), name)) {
        SetMode(2);
        return NextRecord(at);
    }
    bgmName = HeapCopy(name);
    bgmPlaying = 1;

    DeleteFadingChannel(g_bgmChannel);
    LoadFresh(g_bgmChannel, name, OnFailedLoad::KeepSilent);
    const std::uint8_t level = Setting(config::kBgmVolume);
    if (SkippingTextScopeReversed(*this) || level == 0) {
        // Music started without its fade always loops, whatever the record's
        // loop byte says.
        g_bgmChannel->SetVolume(level);
        g_bgmChannel->Play(Repeat::Endless);
    } else {
        g_bgmTargetVolume = level;
        g_bgmChannel->SetVolume(0);
        g_bgmChannel->FadeIn(Dword(at + 4));
        g_bgmChannel->Play(RepeatOf(Byte(at + 2)));
    }
    SetMode(2);
    return NextRecord(at);
}

// Opcode 38: the music at half the music volume.
std::uint32_t CScenario::OpLowerBgm(std::uint32_t at) {
    if (g_bgmChannel) g_bgmChannel->SetVolume(g_config[config::kBgmVolume] / 2);
    SetMode(2);
    return NextRecord(at);
}

// ---------------------------------------------------------------- voices

std::uint32_t CScenario::OpPlayVoice(std::uint32_t at) {
    const std::string name = SoundFileName(StringOperand(at));
    if (KeepVoiceNameAndMayPlay(*this, name)) {
        // Whose voice it is comes from the name kept for the history: before
        // anything is logged, and after a caption-band voice, that is the
        // name kept before (or none, the other voices' level).
        const std::string_view kept(voiceName.data(), strnlen(voiceName.data(), voiceName.size()));
        if (const auto level = VoiceLevelByte(kept)) {
            std::unique_ptr<CVoiceChannel>& channel = g_voiceChannels[0];
            DeleteVoiceChannel(channel);
            LoadFresh(channel, name, OnFailedLoad::KeepSilent);
            channel->SetVolume(Setting(*level));
            channel->Play(RepeatOf(Byte(at + 3)));
        }
    }
    // Caption-band messages are not logged: their voice has no entry to join.
    if (messageStyle == 2) voiceName.fill(0);
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpPlayVoiceSlot(std::uint32_t at) {
    const std::string name = SoundFileName(StringOperand(at));
    if (KeepVoiceNameAndMayPlay(*this, name)) {
        std::unique_ptr<CVoiceChannel>& channel = g_voiceChannels[Byte(at + 2)];
        DeleteVoiceChannel(channel);
        LoadFresh(channel, name, OnFailedLoad::Delete);
    }
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpLoadVoice(std::uint32_t at) {
    std::unique_ptr<CVoiceChannel>& channel = g_voiceChannels[Byte(at + 2)];
    DeleteVoiceChannel(channel);
    LoadFresh(channel, SoundFileName(StringOperand(at)), OnFailedLoad::Delete);
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpPlayWave(std::uint32_t at) {
    const std::uint8_t volumeClass = Byte(at + 3);
    const bool muteA = Setting(config::kVoiceMuteA) == 1;
    const bool muteB = Setting(config::kVoiceMuteB) == 1;
    const bool muted =
        (muteB && volumeClass == 1) || (muteA && (volumeClass == 0 || volumeClass == 14));
    CVoiceChannel* channel = g_voiceChannels[Byte(at + 2)].get();
    if (!SkippingText(*this) && Setting(config::kVoiceOff) == 0 && !SkipModeSkipping(*this) &&
        !muted && channel) {
        channel->SetVolume(Setting(config::kVoiceLevels + volumeClass));
        channel->Play(Repeat::Once);
    }
    SetMode(2);
    return NextRecord(at);
}

// ---------------------------------------------------------------- effects

std::uint32_t CScenario::OpLoadPlayStream(std::uint32_t at) {
    const std::uint8_t c = Byte(at + 2);
    const std::uint8_t loop = Byte(at + 3);
    const std::string name = SoundFileName(StringOperand(at));
    if (loop == 1) SetLoopingSeName(name);
    // While text is skipped only the looping background effect starts.
    const bool dropped = SkippingTextScopeReversed(*this) && !(loop == 1 && c == 1);
    if (!dropped) {
        std::unique_ptr<CSeChannel>& channel = SeSlot(c);
        DeleteFadingChannel(channel);
        if (LoadFresh(channel, name, OnFailedLoad::Delete)) {
            channel->SetVolume(Setting(config::kSeVolume));
            channel->Play(RepeatOf(loop));
        }
    }
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpLoadStream(std::uint32_t at) {
    std::unique_ptr<CSeChannel>& channel = SeSlot(Byte(at + 2));
    DeleteFadingChannel(channel);
    LoadFresh(channel, SoundFileName(StringOperand(at)), OnFailedLoad::Delete);
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpPlayStream(std::uint32_t at) {
    if (CSeChannel* channel = SeSlot(Byte(at + 2)).get()) {
        channel->SetVolume(Setting(config::kSeVolume));
        channel->Play(RepeatOf(Byte(at + 3)));
    }
    SetMode(2);
    return NextRecord(at);
}

// Starts looping effects only, faded in unless text is being skipped.
std::uint32_t CScenario::OpPlaySe(std::uint32_t at) {
    if (Byte(at + 3) == 1) {
        const std::string name = SoundFileName(StringOperand(at));
        SetLoopingSeName(name);
        std::unique_ptr<CSeChannel>& channel = SeSlot(Byte(at + 2));
        DeleteFadingChannel(channel);
        LoadFresh(channel, name, OnFailedLoad::KeepSilent);
        const std::uint8_t level = Setting(config::kSeVolume);
        if (SkippingText(*this) || level == 0) {
            channel->SetVolume(level);
        } else {
            g_seTargetVolume = level;
            channel->SetVolume(0);
            channel->FadeIn(Dword(at + 4));
        }
        channel->Play(Repeat::Endless);
    }
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpStopSe(std::uint32_t at) {
    const std::uint8_t c = Byte(at + 2);
    DeleteFadingChannel(SeSlot(c));
    if (c == 1) SetLoopingSeName({});
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpFadeOutSe(std::uint32_t at) {
    SetLoopingSeName({});
    const bool silencedAndOff = Setting(config::kSeVolume) == 0 && Setting(config::kSeOff) != 0;
    CSeChannel* channel = SeSlot(Byte(at + 2)).get();
    if (channel && !silencedAndOff) channel->FadeOut(Dword(at + 4));
    SetMode(2);
    return NextRecord(at);
}
