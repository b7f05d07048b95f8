#include "platform/common/AudioMixer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>

namespace platform {

// ---------------------------------------------------------------- notifier

namespace {
std::atomic<bool> g_holdConsumers{false};
}  // namespace

void HoldAudioConsumers(bool hold) { g_holdConsumers.store(hold); }

AudioNotifier::Wake AudioNotifier::Wait() {
    std::unique_lock lock(mutex_);
    waiting_ = true;
    cv_.notify_all();  // WaitUntilIdle watches `waiting_`
    for (;;) {
        if (quit_) {
            waiting_ = false;
            cv_.notify_all();
            return Wake::Quit;
        }
        if (pending_ > 0 && !g_holdConsumers.load()) break;
        // A held consumer looks again now and then: the release is global.
        if (g_holdConsumers.load()) cv_.wait_for(lock, std::chrono::milliseconds(2));
        else cv_.wait(lock);
    }
    --pending_;
    waiting_ = false;
    return Wake::Notified;
}

void AudioNotifier::Signal(std::uint32_t count) {
    {
        std::lock_guard lock(mutex_);
        pending_ += count;
    }
    cv_.notify_all();
}

void AudioNotifier::ClearPending() {
    std::lock_guard lock(mutex_);
    pending_ = 0;
}

void AudioNotifier::Quit() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    cv_.notify_all();
}

std::uint32_t AudioNotifier::Pending() {
    std::lock_guard lock(mutex_);
    return pending_;
}

void AudioNotifier::BindConsumer() {
    std::lock_guard lock(mutex_);
    bound_ = true;
}

void AudioNotifier::WaitUntilIdle() {
    std::unique_lock lock(mutex_);
    while (bound_ && !quit_ && !g_holdConsumers.load() && (pending_ > 0 || !waiting_))
        cv_.wait_for(lock, std::chrono::milliseconds(2));
}

// ---------------------------------------------------------------- mixer

namespace mixer {

std::int32_t GainOf(std::int32_t v) {
    if (v <= kVolumeSilent) return 0;
    if (v >= kVolumeFull) return 32768;
    return static_cast<std::int32_t>(std::lround(32768.0 * std::pow(10.0, v / 2000.0)));
}

struct Mixer::Voice {
    PcmFormat format;
    std::vector<std::uint8_t> data;
    std::uint64_t frames = 0;  // whole sample frames in `data`
    std::uint64_t step = 0;    // source frames per output frame, 32.32
    std::uint64_t cursor = 0;  // source frame, 32.32, below frames << 32
    bool playing = false;
    bool looping = false;
    std::int32_t volume = kVolumeFull;
    std::int32_t gain = 32768;
    std::vector<std::uint64_t> notify;  // frame positions 1..frames, sorted
    std::shared_ptr<AudioNotifier> notifier;
    bool locked = false;
    std::uint32_t lockOffset = 0;
    std::vector<std::uint8_t> staging;

    // Source sample `frame` of channel `ch` as a 16-bit value.
    std::int32_t Sample(std::uint64_t frame, unsigned ch) const {
        if (format.bitsPerSample == 8) return (static_cast<std::int32_t>(data[frame * format.blockAlign + ch]) - 128) << 8;
        const std::uint8_t* p = &data[frame * format.blockAlign + ch * 2];
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
    }

    // The first notification position strictly after unwrapped cursor `c`,
    // unwrapped; UINT64_MAX when there is none.
    std::uint64_t NextNotify(std::uint64_t c) const {
        if (notify.empty()) return UINT64_MAX;
        const std::uint64_t span = frames << 32;
        const std::uint64_t base = c / span * span;
        const std::uint64_t within = c - base;
        for (std::uint64_t p : notify)
            if ((p << 32) > within) return base + (p << 32);
        return base + span + (notify.front() << 32);
    }
};

class MixerBuffer : public AudioBuffer {
public:
    MixerBuffer(std::shared_ptr<Mixer> mixer, std::unique_ptr<Mixer::Voice> voice)
        : mixer_(std::move(mixer)), voice_(std::move(voice)) {
        std::lock_guard lock(mixer_->mutex_);
        mixer_->voices_.push_back(voice_.get());
    }
    ~MixerBuffer() override {
        std::lock_guard lock(mixer_->mutex_);
        auto& v = mixer_->voices_;
        v.erase(std::remove(v.begin(), v.end(), voice_.get()), v.end());
    }

    bool Lock(std::uint32_t offset, std::uint32_t bytes, std::span<std::uint8_t>& first,
              std::span<std::uint8_t>& second) override {
        std::lock_guard lock(mixer_->mutex_);
        Mixer::Voice& v = *voice_;
        const auto size = static_cast<std::uint32_t>(v.data.size());
        if (v.locked || offset >= size || bytes == 0 || bytes > size) return false;
        v.locked = true;
        v.lockOffset = offset;
        v.staging.resize(bytes);
        const std::uint32_t head = std::min(bytes, size - offset);
        std::memcpy(v.staging.data(), v.data.data() + offset, head);
        std::memcpy(v.staging.data() + head, v.data.data(), bytes - head);
        first = std::span<std::uint8_t>(v.staging.data(), head);
        second = std::span<std::uint8_t>(v.staging.data() + head, bytes - head);
        return true;
    }

    bool Unlock() override {
        std::lock_guard lock(mixer_->mutex_);
        Mixer::Voice& v = *voice_;
        if (!v.locked) return false;
        const auto size = static_cast<std::uint32_t>(v.data.size());
        const auto bytes = static_cast<std::uint32_t>(v.staging.size());
        const std::uint32_t head = std::min(bytes, size - v.lockOffset);
        std::memcpy(v.data.data() + v.lockOffset, v.staging.data(), head);
        std::memcpy(v.data.data(), v.staging.data() + head, bytes - head);
        v.locked = false;
        return true;
    }

    bool Play(PlayMode mode) override {
        std::lock_guard lock(mixer_->mutex_);
        voice_->looping = mode == PlayMode::Looping;
        voice_->playing = true;
        return true;
    }

    bool Stop() override {
        std::lock_guard lock(mixer_->mutex_);
        voice_->playing = false;
        return true;
    }

    bool SetPosition(std::uint32_t offset) override {
        std::lock_guard lock(mixer_->mutex_);
        if (offset >= voice_->data.size()) return false;
        voice_->cursor = static_cast<std::uint64_t>(offset / voice_->format.blockAlign) << 32;
        return true;
    }

    std::uint32_t GetPosition() override {
        std::lock_guard lock(mixer_->mutex_);
        return static_cast<std::uint32_t>((voice_->cursor >> 32) * voice_->format.blockAlign);
    }

    bool IsPlaying() override {
        std::lock_guard lock(mixer_->mutex_);
        return voice_->playing;
    }

    bool SetVolume(std::int32_t v) override {
        if (v < kVolumeSilent || v > kVolumeFull) return false;
        std::lock_guard lock(mixer_->mutex_);
        voice_->volume = v;
        voice_->gain = GainOf(v);
        return true;
    }

    std::int32_t GetVolume() override {
        std::lock_guard lock(mixer_->mutex_);
        return voice_->volume;
    }

    bool SetNotifications(std::span<const std::uint32_t> offsets,
                          std::shared_ptr<AudioNotifier> notifier) override {
        std::vector<std::uint64_t> frames;
        const auto size = voice_->data.size();
        for (std::uint32_t off : offsets) {
            if (off == 0 || off > size || off % voice_->format.blockAlign != 0) return false;
            frames.push_back(off / voice_->format.blockAlign);
        }
        if (!frames.empty() && !notifier) return false;
        std::sort(frames.begin(), frames.end());
        frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
        std::lock_guard lock(mixer_->mutex_);
        voice_->notify = std::move(frames);
        voice_->notifier = std::move(notifier);
        return true;
    }

    std::uint32_t GetSize() const override { return static_cast<std::uint32_t>(voice_->data.size()); }
    const PcmFormat& GetFormat() const override { return voice_->format; }

private:
    std::shared_ptr<Mixer> mixer_;
    std::unique_ptr<Mixer::Voice> voice_;
};

std::unique_ptr<AudioBuffer> Mixer::CreateBuffer(const PcmFormat& format, std::uint32_t bytes) {
    if (format.channels < 1 || format.channels > 2) return nullptr;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return nullptr;
    if (format.rate == 0 || format.rate > 8 * kDeviceRate) return nullptr;
    if (format.blockAlign != format.channels * format.bitsPerSample / 8) return nullptr;
    if (bytes == 0 || bytes % format.blockAlign != 0) return nullptr;
    auto v = std::make_unique<Voice>();
    v->format = format;
    v->data.assign(bytes, format.bitsPerSample == 8 ? 0x80 : 0);
    v->frames = bytes / format.blockAlign;
    v->step = (static_cast<std::uint64_t>(format.rate) << 32) / kDeviceRate;
    return std::make_unique<MixerBuffer>(shared_from_this(), std::move(v));
}

std::uint64_t Mixer::FramesToNextEvent(const Voice& v) const {
    std::uint64_t target = v.NextNotify(v.cursor);
    if (!v.looping) target = std::min(target, v.frames << 32);
    if (target == UINT64_MAX) return UINT64_MAX;
    return (target - v.cursor + v.step - 1) / v.step;
}

void Mixer::Advance(Voice& v, std::uint32_t n, std::int32_t* acc,
                    std::vector<std::shared_ptr<AudioNotifier>>& signalled) {
    const std::uint64_t start = v.cursor;
    const std::uint64_t span = v.frames << 32;
    std::uint64_t end = start + n * v.step;
    bool ends = false;
    if (!v.looping && end >= span) {
        // Played out: the frames beyond the end are silence.
        n = static_cast<std::uint32_t>((span - start + v.step - 1) / v.step);
        end = span;
        ends = true;
    }
    if (acc && v.gain > 0) {
        const std::int32_t gain = v.gain;
        const bool stereo = v.format.channels == 2;
        std::uint64_t c = start;
        if (v.step == (std::uint64_t{1} << 32) && v.format.bitsPerSample == 16) {
            // Same rate: no interpolation, one source frame per output frame.
            std::uint64_t f = c >> 32;
            for (std::uint32_t i = 0; i < n; ++i, ++f) {
                if (f >= v.frames) f -= v.frames;
                const std::uint8_t* p = &v.data[f * v.format.blockAlign];
                const std::int32_t l = static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
                const std::int32_t r =
                    stereo ? static_cast<std::int16_t>(static_cast<std::uint16_t>(p[2] | (p[3] << 8))) : l;
                acc[2 * i] += (l * gain) >> 15;
                acc[2 * i + 1] += (r * gain) >> 15;
            }
        } else {
            for (std::uint32_t i = 0; i < n; ++i, c += v.step) {
                std::uint64_t f = (c >> 32) % v.frames;
                std::uint64_t g = f + 1;
                if (g >= v.frames) g = v.looping ? 0 : f;
                const auto frac = static_cast<std::int32_t>((c >> 17) & 0x7FFF);
                for (unsigned ch = 0; ch < 2; ++ch) {
                    const unsigned src = stereo ? ch : 0;
                    const std::int32_t s0 = v.Sample(f, src);
                    const std::int32_t s1 = v.Sample(g, src);
                    const std::int32_t s = s0 + (((s1 - s0) * frac) >> 15);
                    acc[2 * i + ch] += (s * gain) >> 15;
                }
            }
        }
    }
    // Every notification position in (start, end] is passed once.
    if (v.notifier) {
        std::uint32_t count = 0;
        for (std::uint64_t p = v.NextNotify(start); p <= end; p = v.NextNotify(p)) ++count;
        if (count) {
            v.notifier->Signal(count);
            signalled.push_back(v.notifier);
        }
    }
    if (ends) {
        v.playing = false;
        v.cursor = 0;
    } else {
        v.cursor = end % span;
    }
}

void Mixer::Mix(std::int16_t* out, std::uint32_t frames, Catchup catchup) {
    std::vector<std::shared_ptr<AudioNotifier>> signalled;
    while (frames > 0) {
        std::uint32_t n = frames;
        {
            std::lock_guard lock(mutex_);
            for (const Voice* v : voices_)
                if (v->playing) n = static_cast<std::uint32_t>(std::min<std::uint64_t>(n, std::max<std::uint64_t>(FramesToNextEvent(*v), 1)));
            std::int32_t* acc = nullptr;
            if (out) {
                acc_.assign(static_cast<std::size_t>(n) * 2, 0);
                acc = acc_.data();
            }
            // Signalled under the lock, so that a buffer restarted and cleared
            // of its notifications cannot receive one from before the restart.
            for (Voice* v : voices_)
                if (v->playing) Advance(*v, n, acc, signalled);
            if (out) {
                for (std::size_t i = 0; i < acc_.size(); ++i)
                    out[i] = static_cast<std::int16_t>(std::clamp(acc_[i], -32768, 32767));
                out += acc_.size();
            }
        }
        frames -= n;
        if (catchup == Catchup::WaitForConsumers)
            for (auto& notifier : signalled) notifier->WaitUntilIdle();
        signalled.clear();
    }
}

void Mixer::WaitForConsumers() {
    std::vector<std::shared_ptr<AudioNotifier>> notifiers;
    {
        std::lock_guard lock(mutex_);
        for (const Voice* v : voices_)
            if (v->notifier) notifiers.push_back(v->notifier);
    }
    for (auto& n : notifiers) n->WaitUntilIdle();
}

}  // namespace mixer
}  // namespace platform
