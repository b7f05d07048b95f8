// The mixer both audio backends share: buffers with play cursors, volume and
// notification positions, mixed with linear resampling into 44,100 Hz 16-bit
// stereo with saturation.
#pragma once

#include "platform/Audio.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace platform::mixer {

// Q15 gain of an attenuation in hundredths of a decibel: 10^(v/2000), 0 at
// kVolumeSilent and exactly 32768 at kVolumeFull.
std::int32_t GainOf(std::int32_t hundredthsDb);

enum class Catchup : std::uint8_t {
    None,              // the SDL callback: never wait
    WaitForConsumers,  // headless: after each signal, let the consumers catch up
};

class Mixer : public std::enable_shared_from_this<Mixer> {
public:
    std::unique_ptr<AudioBuffer> CreateBuffer(const PcmFormat& format, std::uint32_t bytes);

    // Mixes `frames` stereo frames into `out` (interleaved, may be null to
    // move the cursors only), signalling every notification position passed.
    void Mix(std::int16_t* out, std::uint32_t frames, Catchup catchup);
    // Lets every bound consumer of this mixer's buffers take what is pending.
    void WaitForConsumers();

    struct Voice;

private:
    friend class MixerBuffer;
    std::uint64_t FramesToNextEvent(const Voice& v) const;
    void Advance(Voice& v, std::uint32_t frames, std::int32_t* acc,
                 std::vector<std::shared_ptr<AudioNotifier>>& signalled);

    std::mutex mutex_;
    std::vector<Voice*> voices_;
    std::vector<std::int32_t> acc_;
};

// A device made of one mixer; the backend decides who calls Mix.
class MixerDevice : public AudioDevice {
public:
    explicit MixerDevice(std::shared_ptr<Mixer> mixer) : mixer_(std::move(mixer)) {}
    std::unique_ptr<AudioBuffer> CreateBuffer(const PcmFormat& format, std::uint32_t bytes) override {
        return mixer_->CreateBuffer(format, bytes);
    }
    const std::shared_ptr<Mixer>& GetMixer() const { return mixer_; }

private:
    std::shared_ptr<Mixer> mixer_;
};

}  // namespace platform::mixer
