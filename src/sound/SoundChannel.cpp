#include "sound/SoundChannel.h"

#include "data/PathTable.h"
#include "platform/Platform.h"
#include "sound/SoundDevice.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::atomic<std::int32_t> g_bgmVolume{50};
std::atomic<std::int32_t> g_bgmTargetVolume{50};
std::atomic<std::uint8_t> g_bgmEnabled{1};
std::atomic<std::int32_t> g_seVolume{50};
std::atomic<std::int32_t> g_seTargetVolume{50};
std::atomic<std::uint8_t> g_seEnabled{1};
std::atomic<std::int32_t> g_voiceVolume{50};
std::atomic<std::uint8_t> g_voiceEnabled{1};

std::unique_ptr<CBgmChannel> g_bgmChannel;
std::array<std::unique_ptr<CSeChannel>, kSeChannelCount> g_seChannels;
std::array<std::unique_ptr<CVoiceChannel>, kVoiceChannelCount> g_voiceChannels;

namespace {

// ""%s"のSoundBufferを作れなかった" in the game's code page.
constexpr char kBufferFailed[] =
    "\"%s\"\xA4\xCESoundBuffer\xA4\xF2\xD7\xF7\xA4\xEC\xA4\xCA\xA4\xAB\xA4\xC3\xA4\xBF";

std::int32_t ClampLevel(std::int32_t level) {
    return std::clamp(level, 0, 100);
}

// Everything after the last '\' or '/'.
std::string FileNamePart(const std::string& name) {
    const std::size_t p = name.find_last_of("\\/");
    return p == std::string::npos ? name : name.substr(p + 1);
}

const ChannelKind kBgmKind{kDataBgm, &g_bgmVolume, &g_bgmTargetVolume, &g_bgmEnabled};
const ChannelKind kSeKind{kDataSe, &g_seVolume, &g_seTargetVolume, &g_seEnabled};
const ChannelKind kVoiceKind{kDataVoice, &g_voiceVolume, nullptr, &g_voiceEnabled};

} // namespace

std::int32_t LevelToHundredthsDb(std::int32_t level) {
    // Below the range is silence. Above it the value is positive, which the
    // buffer refuses: it keeps the volume it had.
    if (level <= 0) return platform::kVolumeSilent;
    const std::int32_t w = level * 100 / 100;
    return static_cast<std::int32_t>(2000.0 * std::log10(w / 100.0));
}

void SetBgmVolumeGlobal(std::int32_t level) {
    g_bgmVolume = level;
}
void SetSeVolumeGlobal(std::int32_t level) {
    g_seVolume = level;
}
void SetVoiceVolumeGlobal(std::int32_t level) {
    g_voiceVolume = level;
}

// ---------------------------------------------------------------- base

CSoundChannel::CSoundChannel() : reader_(std::make_unique<COggStream>()) {}

CSoundChannel::~CSoundChannel() {
    if (buffer_ && buffer_->IsCreated() && buffer_->IsPlaying()) buffer_->Stop();
    buffer_.reset();
    reader_.reset();
}

bool CSoundChannel::Stop() {
    if (!buffer_ || !buffer_->IsCreated() || !buffer_->IsPlaying()) return true;
    return buffer_->Stop();
}

bool CSoundChannel::Play(std::int32_t loopCount) {
    if (!buffer_ || !buffer_->IsCreated() || !reader_ || !reader_->IsOpen()) return false;
    if (!reader_->SetLoopCount(loopCount)) return false;
    return buffer_->Play();
}

bool CSoundChannel::SetVolume(std::int32_t level) {
    if (buffer_) buffer_->SetVolume(LevelToHundredthsDb(level));
    return true;
}

bool CSoundChannel::OggOpen(const std::string& path) {
    if (!reader_ || !reader_->Open(path)) return false;
    if (!g_soundDevice.GetDirectSound()) return false;
    if (!buffer_) buffer_ = std::make_unique<CDSoundStreamBuffer>();
    if (!buffer_->Create(g_soundDevice, reader_.get())) {
        const int n = std::snprintf(nullptr, 0, kBufferFailed, path.c_str());
        std::string text(static_cast<std::size_t>(std::max(n, 0)) + 1, '\0');
        std::snprintf(text.data(), text.size(), kBufferFailed, path.c_str());
        text.pop_back();
        platform::Tell(text, "Error:OggOpen", platform::BoxIcon::None);
        return false;
    }
    return true;
}

double CSoundChannel::GetLengthSeconds() {
    return reader_ ? reader_->GetTotalSeconds() : 0.0;
}
double CSoundChannel::GetPositionSeconds() {
    return reader_ ? reader_->GetSeconds() : 0.0;
}

bool CSoundChannel::IsStopped() {
    return !buffer_ || !buffer_->IsCreated() || !buffer_->IsPlaying();
}

// ---------------------------------------------------------------- kinds

bool CKindChannel::Load(const std::string& name) {
    const std::string folder =
        g_pathTable ? g_pathTable->GetPath(kind_.dataKind) : CPathTable().GetPath(kind_.dataKind);
    return OggOpen(folder + FileNamePart(name));
}

bool CKindChannel::Play(Repeat repeat) {
    if (kind_.enabled->load() == 0) return true;
    CSoundChannel::SetVolume(kind_.volume->load());
    return CSoundChannel::Play(repeat == Repeat::Endless ? -1 : 0);
}

bool CKindChannel::SetVolume(std::int32_t level) {
    kind_.volume->store(level);
    return CSoundChannel::SetVolume(level);
}

CBgmChannel::CBgmChannel() : CFadeChannel(kBgmKind) {}
CSeChannel::CSeChannel() : CFadeChannel(kSeKind) {}
CVoiceChannel::CVoiceChannel() : CKindChannel(kVoiceKind) {}

// ---------------------------------------------------------------- fades

CFadeChannel::CFadeChannel(const ChannelKind& kind) : CKindChannel(kind) {}

CFadeChannel::~CFadeChannel() {
    StopFade();
}

int CFadeChannel::FadeIn(std::uint32_t ms) {
    return StartFade(ms, true);
}
int CFadeChannel::FadeOut(std::uint32_t ms) {
    return StartFade(ms, false);
}

bool CFadeChannel::IsFading() {
    std::lock_guard lock(fadeMutex_);
    return fadingIn_ || fadingOut_;
}

int CFadeChannel::StopFade() {
    std::unique_lock lock(fadeMutex_);
    KillTimerLocked(lock);
    return 0;
}

void CFadeChannel::KillTimerLocked(std::unique_lock<std::mutex>& lock) {
    const std::uint32_t id = timerId_;
    timerId_ = 0;
    ++generation_;
    if (!id) return;
    // The lock is let go while the timer ends: a step that is running waits
    // for it, and it must finish before KillTimer returns.
    lock.unlock();
    platform::KillTimer(id);
    lock.lock();
}

int CFadeChannel::StartFade(std::uint32_t ms, bool in) {
    if (kind_.enabled->load() == 0) return -1;
    std::unique_lock lock(fadeMutex_);
    KillTimerLocked(lock);
    fadeDuration_ = ms;
    fadingIn_ = in ? 1 : 0;
    fadingOut_ = in ? 0 : 1;
    fadeStart_ = platform::TimeGetTime();
    StepLocked();
    const std::uint32_t period = ms / 100;
    if (period == 0) {
        // Too short for the timer: the fade is over at once.
        fadeDuration_ = 0;
        StepLocked();
        return 0;
    }
    const std::uint32_t generation = ++generation_;
    timerId_ = platform::SetPeriodicTimer(period, [this, generation] {
        std::lock_guard stepLock(fadeMutex_);
        if (generation == generation_) StepLocked();
    });
    return timerId_ ? 0 : 1;
}

void CFadeChannel::FadeStep() {
    std::lock_guard lock(fadeMutex_);
    StepLocked();
}

void CFadeChannel::StepLocked() {
    const std::uint64_t elapsed = platform::TimeGetTime() - fadeStart_;
    const std::uint64_t duration = fadeDuration_;
    if (fadingIn_) {
        const std::int32_t target = ClampLevel(kind_.target ? kind_.target->load() : 100);
        std::int64_t v =
            duration ? static_cast<std::int64_t>(elapsed * target / duration) : target + 1;
        // A fade to 0 never climbs past its target: it ends with its time.
        if (v > target || (target == 0 && elapsed > duration)) {
            v = target;
            kind_.volume->store(target);
            fadingIn_ = 0;
        }
        CSoundChannel::SetVolume(static_cast<std::int32_t>(v));
    } else if (fadingOut_) {
        const std::int32_t current = ClampLevel(kind_.volume->load());
        std::int64_t d =
            duration ? static_cast<std::int64_t>(elapsed * current / duration) : current + 1;
        if (d > current || (current == 0 && elapsed > duration)) {
            d = current;
            fadingOut_ = 0;
        }
        CSoundChannel::SetVolume(static_cast<std::int32_t>(current - d));
    } else if (timerId_) {
        platform::KillTimer(timerId_);
        timerId_ = 0;
    }
}
