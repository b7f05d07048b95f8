// Movie playback both backends share: FFmpeg demuxing and decoding on the
// platform clock. A backend adds the output (pictures, sound) or none.
#pragma once

#include "platform/Movie.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;
struct SwrContext;

namespace platform {

class MoviePlayback : public Movie {
public:
    ~MoviePlayback() override;
    // Opens the file and its first video stream (and first audio stream, if any).
    bool Open(const std::string& nativePath);

    std::int32_t GetLength() override { return length_; }
    std::int32_t GetPosition() override;
    bool PlayFrom(std::int32_t ms) override;
    void Update() override;
    void Stop() override;

    std::uint64_t FramesDecoded() const { return framesDecoded_; }

protected:
    // A picture is due: `frame` converted with ConvertPicture as the backend
    // wishes. Headless shows nothing.
    virtual void ShowFrame(const AVFrame& frame) { (void)frame; }
    // 44,100 Hz 16-bit stereo interleaved.
    virtual void PlaySound(std::span<const std::int16_t> samples) { (void)samples; }
    // Milliseconds of sound waiting to be heard.
    virtual std::uint32_t SoundQueuedMs() { return 0; }
    virtual void StartOutput() {}
    virtual void StopOutput() {}
    // The picture scaled to fit 800x600 with black borders, 0x00RRGGBB.
    void ConvertPicture(const AVFrame& frame, std::span<std::uint32_t> out);

private:
    enum class Item { Video, Audio, End };
    Item Next();
    std::int32_t Elapsed() const;

    AVFormatContext* format_ = nullptr;
    AVCodecContext* video_ = nullptr;
    AVCodecContext* audio_ = nullptr;
    int videoStream_ = -1;
    int audioStream_ = -1;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    SwsContext* sws_ = nullptr;
    SwrContext* swr_ = nullptr;
    std::vector<std::int16_t> sound_;
    std::vector<std::uint8_t> picture_;
    std::deque<AVFrame*> frames_;  // decoded, not yet due
    bool flushed_ = false;
    bool ended_ = false;
    bool playing_ = false;
    std::int32_t length_ = 0;
    std::int32_t start_ = 0;
    std::uint32_t startClock_ = 0;
    std::int64_t lastPts_ = 0;
    std::int32_t lastShown_ = 0;
    std::uint64_t framesDecoded_ = 0;
};

}  // namespace platform
