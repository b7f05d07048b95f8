// Sound output: one device that mixes any number of looping PCM buffers into
// 44,100 Hz 16-bit stereo. A buffer is written through Lock/Unlock, plays in a
// loop, and wakes a waiting thread each time its play cursor passes one of its
// notification positions. Both backends implement OpenAudioDevice: the SDL
// one mixes in the audio callback, the headless one moves play cursors with the
// virtual clock (or, in recording mode, mixes into memory on demand).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace platform {

inline constexpr std::uint32_t kDeviceRate = 44100;
inline constexpr std::uint16_t kDeviceChannels = 2;

// Attenuation in hundredths of a decibel: kVolumeSilent is silence, 0 is the
// sound as recorded; the gain is 10^(v/2000).
inline constexpr std::int32_t kVolumeSilent = -10000;
inline constexpr std::int32_t kVolumeFull = 0;

// Interleaved PCM, 8-bit unsigned or 16-bit signed little-endian.
struct PcmFormat {
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;
    std::uint32_t bytesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
};

// Counts the notification positions a buffer's play cursor has passed, so that
// a consumer that falls behind still sees every one of them. One thread waits;
// any thread may signal or quit.
class AudioNotifier {
public:
    enum class Wake : std::uint8_t { Notified, Quit };

    // Blocks until a notification is pending (takes one) or Quit was called.
    Wake Wait();
    void Signal(std::uint32_t count = 1);
    // Drops every pending notification (a restarted buffer starts afresh).
    void ClearPending();
    // Wakes the waiter for good; every later Wait returns Quit at once.
    void Quit();
    std::uint32_t Pending();

    // A consumer thread is about to wait on this notifier; until it ends, the
    // headless backend lets it catch up after every signal.
    void BindConsumer();
    // Blocks until the bound consumer has taken every pending notification and
    // is waiting again (returns at once when no consumer is bound or it quit).
    void WaitUntilIdle();

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::uint32_t pending_ = 0;
    bool quit_ = false;
    bool bound_ = false;
    bool waiting_ = false;
};

// While held, consumers do not wake for notifications (they are kept and
// counted); the headless backend uses it to stand for a late worker.
void HoldAudioConsumers(bool hold);

enum class PlayMode : std::uint8_t { Once, Looping };

class AudioBuffer {
public:
    virtual ~AudioBuffer() = default;

    // A writable copy of `bytes` bytes from `offset`, wrapping at the end of
    // the buffer into `second`. The bytes reach the buffer at Unlock. False
    // when the region is larger than the buffer or another lock is open.
    virtual bool Lock(std::uint32_t offset, std::uint32_t bytes, std::span<std::uint8_t>& first,
                      std::span<std::uint8_t>& second) = 0;
    virtual bool Unlock() = 0;
    virtual bool Play(PlayMode mode) = 0;
    virtual bool Stop() = 0;
    // Moves the play cursor to a byte offset inside the buffer.
    virtual bool SetPosition(std::uint32_t offset) = 0;
    virtual std::uint32_t GetPosition() = 0;
    virtual bool IsPlaying() = 0;
    // False, keeping the old volume, outside kVolumeSilent..kVolumeFull.
    virtual bool SetVolume(std::int32_t hundredthsDb) = 0;
    virtual std::int32_t GetVolume() = 0;
    // Byte offsets, each in 1..size; passing one signals `notifier` once.
    // Offset `size` is where play wraps round to the start.
    virtual bool SetNotifications(std::span<const std::uint32_t> offsets,
                                  std::shared_ptr<AudioNotifier> notifier) = 0;
    virtual std::uint32_t GetSize() const = 0;
    virtual const PcmFormat& GetFormat() const = 0;
};

class AudioDevice {
public:
    virtual ~AudioDevice() = default;
    // Null for a format the mixer does not take (channels other than 1 or 2,
    // bits other than 8 or 16, a rate of 0) or a size that is not a whole
    // number of sample frames.
    virtual std::unique_ptr<AudioBuffer> CreateBuffer(const PcmFormat& format,
                                                      std::uint32_t bytes) = 0;
};

// The output device, or null when there is none.
std::unique_ptr<AudioDevice> OpenAudioDevice();

}  // namespace platform
