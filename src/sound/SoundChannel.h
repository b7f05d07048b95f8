// Everything audible plays through a channel: one Ogg reader and one streaming
// buffer, a volume level 0..100 and a loop setting. The kinds (music, sound
// effects, voices) add their data folder, their shared volume and enabled
// flags, and for music and effects a fade on the periodic timer.
#pragma once

#include "sound/OggStream.h"
#include "sound/StreamBuffer.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

// Attenuation of a volume level: 0 is silence (-10000), otherwise
// 2000 x log10(level / 100) truncated toward zero; levels outside 0..100 are
// taken as the nearer end.
std::int32_t LevelToHundredthsDb(std::int32_t level);

class CSoundChannel {
public:
    CSoundChannel();
    // Stops the sound; the buffer's worker ends with the buffer.
    virtual ~CSoundChannel();
    CSoundChannel(const CSoundChannel&) = delete;
    CSoundChannel& operator=(const CSoundChannel&) = delete;

    // True also when nothing plays.
    bool Stop();
    // -1 endless, 0 once, n: n more times; restarts from the beginning.
    bool Play(std::int32_t loopCount);
    // Applies a level to the buffer; the kind's stored volume is untouched.
    bool SetVolume(std::int32_t level);
    bool IsReady() const { return true; }
    // Opens the file (unless the reader is already open) and makes the buffer.
    bool OggOpen(const std::string& path);
    int GetError() const { return 0; }
    double GetLengthSeconds();
    double GetPositionSeconds();
    // Nothing loaded, or not playing.
    bool IsStopped();

protected:
    std::unique_ptr<COggStream> reader_;
    std::unique_ptr<CDSoundStreamBuffer> buffer_;
};

// Whether a kind's Play loops.
enum class Repeat : std::uint8_t { Once = 0, Endless = 1 };

// The volume globals of one kind.
struct ChannelKind {
    int dataKind;             // CPathTable kind of the load folder
    std::atomic<std::int32_t>* volume;  // current level, applied by Play
    std::atomic<std::int32_t>* target;  // where a fade-in ends (null: no fades)
    std::atomic<std::uint8_t>* enabled; // 0: Play sounds nothing
};

// A channel of one kind: loading from the kind's folder and playing at the
// kind's volume.
class CKindChannel : public CSoundChannel {
public:
    explicit CKindChannel(const ChannelKind& kind) : kind_(kind) {}
    // The kind's folder joined to the file-name part of `name`.
    bool Load(const std::string& name);
    // Nothing while the kind is disabled (true); else at the kind's volume.
    bool Play(Repeat repeat);
    // Stores the level as the kind's volume and applies it.
    bool SetVolume(std::int32_t level);

protected:
    const ChannelKind kind_;
};

// Music and effects fade on a periodic timer. The fade state is shared with
// the timer thread under a lock, and stopping a fade waits for a callback that
// is running, so no callback ever reaches a deleted channel.
class CFadeChannel : public CKindChannel {
public:
    explicit CFadeChannel(const ChannelKind& kind);
    ~CFadeChannel() override;

    // -1 while the kind is disabled; 0 when the timer runs; 1 when it could
    // not be made (the fade then rests at its first step). A fade too short
    // for the timer ends at once in its end state.
    int FadeIn(std::uint32_t ms);
    int FadeOut(std::uint32_t ms);
    bool IsFading();
    // Kills the timer (waiting for a running step); the flags stay. Returns 0.
    int StopFade();
    // One step of the fade; also what the timer calls.
    void FadeStep();

private:
    int StartFade(std::uint32_t ms, bool in);
    void StepLocked();
    void KillTimerLocked(std::unique_lock<std::mutex>& lock);

    std::mutex fadeMutex_;
    std::uint32_t timerId_ = 0;
    std::uint32_t generation_ = 0;  // a timer of an earlier fade does nothing
    std::uint32_t fadeStart_ = 0;
    std::uint32_t fadeDuration_ = 0;
    std::uint8_t fadingIn_ = 0;
    std::uint8_t fadingOut_ = 0;
};

class CBgmChannel final : public CFadeChannel {
public:
    CBgmChannel();
};

class CSeChannel final : public CFadeChannel {
public:
    CSeChannel();
};

class CVoiceChannel final : public CKindChannel {
public:
    CVoiceChannel();
};

// Levels 0..100 of each kind (50 at start) and whether the kind sounds (1).
// Atomic: fades read and write them on the timer thread.
extern std::atomic<std::int32_t> g_bgmVolume;
extern std::atomic<std::int32_t> g_bgmTargetVolume;
extern std::atomic<std::uint8_t> g_bgmEnabled;
extern std::atomic<std::int32_t> g_seVolume;
extern std::atomic<std::int32_t> g_seTargetVolume;
extern std::atomic<std::uint8_t> g_seEnabled;
extern std::atomic<std::int32_t> g_voiceVolume;
extern std::atomic<std::uint8_t> g_voiceEnabled;

// Store a level only (the settings store).
void SetBgmVolumeGlobal(std::int32_t level);
void SetSeVolumeGlobal(std::int32_t level);
void SetVoiceVolumeGlobal(std::int32_t level);

inline constexpr int kSeChannelCount = 10;
inline constexpr int kVoiceChannelCount = 20;

// The shared channels: the music; effects (0: the screens' clicks and menu
// sounds, n + 1: the script's effect channel n); voices (0: voices and the
// script's wave plays, 10: the contest's cut-in voice).
extern std::unique_ptr<CBgmChannel> g_bgmChannel;
extern std::array<std::unique_ptr<CSeChannel>, kSeChannelCount> g_seChannels;
extern std::array<std::unique_ptr<CVoiceChannel>, kVoiceChannelCount> g_voiceChannels;
