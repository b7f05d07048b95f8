// The headless sound device: the shared mixer, driven by the virtual clock or,
// in recording mode, by the test asking for samples.
#include "platform/headless/HeadlessAudio.h"

#include "platform/common/AudioMixer.h"
#include "platform/headless/Headless.h"

#include <algorithm>
#include <mutex>

namespace platform {
namespace {

struct AudioState {
    std::mutex mutex;
    std::vector<std::weak_ptr<mixer::Mixer>> mixers;
    bool recording = false;
    bool available = true;
    std::uint64_t lastMs = 0;
};

// Shared so that a device outliving the static state at exit finds it alive.
const std::shared_ptr<AudioState>& Audio() {
    static const auto state = std::make_shared<AudioState>();
    return state;
}

std::uint64_t FramesAt(std::uint64_t ms) { return ms * kDeviceRate / 1000; }

std::vector<std::shared_ptr<mixer::Mixer>> LiveMixers(AudioState& s) {
    std::vector<std::shared_ptr<mixer::Mixer>> live;
    std::lock_guard lock(s.mutex);
    std::erase_if(s.mixers, [](auto& w) { return w.expired(); });
    for (auto& w : s.mixers)
        if (auto m = w.lock()) live.push_back(std::move(m));
    return live;
}

class HeadlessDevice : public mixer::MixerDevice {
public:
    HeadlessDevice(std::shared_ptr<mixer::Mixer> m, std::shared_ptr<AudioState> state)
        : MixerDevice(std::move(m)), state_(std::move(state)) {}

private:
    std::shared_ptr<AudioState> state_;
};

}  // namespace

std::unique_ptr<AudioDevice> OpenAudioDevice() {
    const auto& state = Audio();
    std::lock_guard lock(state->mutex);
    if (!state->available) return nullptr;
    auto m = std::make_shared<mixer::Mixer>();
    state->mixers.push_back(m);
    return std::make_unique<HeadlessDevice>(std::move(m), state);
}

namespace headless_internal {

void AdvanceAudioTo(std::uint64_t ms) {
    AudioState& s = *Audio();
    std::uint64_t frames = 0;
    {
        std::lock_guard lock(s.mutex);
        if (ms <= s.lastMs) return;
        if (!s.recording) frames = FramesAt(ms) - FramesAt(s.lastMs);
        s.lastMs = ms;
    }
    if (frames == 0) return;
    for (auto& m : LiveMixers(s)) {
        std::uint64_t left = frames;
        while (left > 0) {
            const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(left, 1u << 30));
            m->Mix(nullptr, n, mixer::Catchup::WaitForConsumers);
            left -= n;
        }
    }
}

void ResetAudio() {
    AudioState& s = *Audio();
    std::lock_guard lock(s.mutex);
    s.recording = false;
    s.available = true;
    s.lastMs = 0;
    HoldAudioConsumers(false);
}

}  // namespace headless_internal

namespace headless {

void SetAudioAvailable(bool available) {
    std::lock_guard lock(Audio()->mutex);
    Audio()->available = available;
}

void SetAudioRecording(bool on) {
    std::lock_guard lock(Audio()->mutex);
    Audio()->recording = on;
}

std::vector<std::int16_t> MixAudio(std::uint32_t frames) {
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2, 0);
    std::vector<std::int16_t> one(out.size());
    for (auto& m : LiveMixers(*Audio())) {
        std::fill(one.begin(), one.end(), 0);
        m->Mix(one.data(), frames, mixer::Catchup::WaitForConsumers);
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = static_cast<std::int16_t>(std::clamp(out[i] + one[i], -32768, 32767));
    }
    return out;
}

void WaitAudioIdle() {
    for (auto& m : LiveMixers(*Audio())) m->WaitForConsumers();
}

}  // namespace headless
}  // namespace platform
