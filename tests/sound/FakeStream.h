// A PCM stream made in memory for the streaming buffer's tests: sample frame i
// of channel c holds a value worked out from i and c alone, so any sample of
// any output can be checked by hand.
#pragma once

#include "sound/AudioStream.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

namespace testing_support {

class FakeStream final : public CAudioStream {
public:
    // `frames` is what the stream says it holds; `delivers` what it really
    // gives before reporting its end (a file that decodes short).
    FakeStream(std::uint32_t frames, std::uint16_t channels = 2, std::uint16_t bits = 16,
               std::uint32_t delivers = UINT32_MAX)
        : frames_(frames), delivers_(std::min(frames, delivers)) {
        format_.channels = channels;
        format_.rate = 44100;
        format_.bitsPerSample = bits;
        format_.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
        format_.bytesPerSecond = format_.rate * format_.blockAlign;
    }

    // Frame i, channel c: 1 + i mod 30000 on the left, its negative on the right.
    static std::int16_t Value(std::uint64_t i, unsigned c) {
        const auto v = static_cast<std::int16_t>(1 + i % 30000);
        return c == 0 ? v : static_cast<std::int16_t>(-v);
    }
    // 8-bit: 1 + i mod 100 above the centre.
    static std::uint8_t Value8(std::uint64_t i) { return static_cast<std::uint8_t>(0x80 + 1 + i % 100); }

    void Close() override {}
    bool IsOpen() const override { return true; }
    bool Read(void* dst, std::uint32_t bytes, std::uint32_t* got) override {
        std::lock_guard lock(mutex_);
        auto* out = static_cast<std::uint8_t*>(dst);
        const std::uint32_t frames = std::min<std::uint32_t>(bytes / format_.blockAlign, delivers_ - pos_);
        for (std::uint32_t f = 0; f < frames; ++f, ++pos_) {
            if (format_.bitsPerSample == 8) {
                for (unsigned c = 0; c < format_.channels; ++c) *out++ = Value8(pos_);
            } else {
                for (unsigned c = 0; c < format_.channels; ++c) {
                    const std::int16_t v = Value(pos_, c);
                    std::memcpy(out, &v, 2);
                    out += 2;
                }
            }
        }
        if (pos_ >= delivers_) end_ = true;
        if (got) *got = frames * format_.blockAlign;
        ++reads_;
        return true;
    }
    bool Seek(std::uint32_t sample) override {
        std::lock_guard lock(mutex_);
        pos_ = std::min(sample, delivers_);
        end_ = false;
        return true;
    }
    std::uint32_t Tell() override { return pos_; }
    bool IsEnd() const override { return end_.load(); }
    void GetFormat(platform::PcmFormat& out) const override { out = format_; }
    std::uint32_t GetTotalSamples() const override { return frames_; }
    std::uint32_t GetLoopStart() const override { return 0; }
    std::uint32_t GetLoopEnd() const override { return frames_; }
    std::int32_t GetLoopCount() const override { return loopCount_; }
    bool IsLong() const override { return frames_ > 44100; }
    void SetLoopCount(std::int32_t n) { loopCount_ = n; }
    int Reads() const { return reads_.load(); }

private:
    std::mutex mutex_;
    platform::PcmFormat format_{};
    std::uint32_t frames_;
    std::uint32_t delivers_;
    std::uint32_t pos_ = 0;
    std::atomic<bool> end_{false};
    std::atomic<std::int32_t> loopCount_{0};
    std::atomic<int> reads_{0};
};

}  // namespace testing_support
