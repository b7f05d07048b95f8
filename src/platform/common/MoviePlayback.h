// Movie playback both backends share: FFmpeg demuxing and decoding on the
// platform clock, the pictures presented in the window, the sound queued in
// a looping buffer of the game's sound device.
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
    // `sound` (not owned) receives the movie's sound; null plays it silent.
    explicit MoviePlayback(AudioDevice* sound = nullptr) : device_(sound) {}
    ~MoviePlayback() override;
    MoviePlayback(const MoviePlayback&) = delete;
    MoviePlayback& operator=(const MoviePlayback&) = delete;
    // Opens the file and its first video stream (and first audio stream, if any).
    bool Open(const std::string& nativePath);

    std::int32_t GetLength() override { return length_; }
    std::int32_t GetPosition() override;
    bool PlayFrom(std::int32_t ms) override;
    void Update() override;
    void Stop() override;

    std::uint64_t FramesDecoded() const { return framesDecoded_; }

private:
    enum class Item { Video, Audio, End };
    Item Next();
    std::int32_t Elapsed() const;
    // `frame` scaled to fit 800x600 with black borders, presented.
    void ShowFrame(const AVFrame& frame);
    // The picture scaled to fit 800x600 with black borders, 0x00RRGGBB.
    void ConvertPicture(const AVFrame& frame, std::span<std::uint32_t> out);
    // 44,100 Hz 16-bit stereo interleaved, queued after what is queued.
    void PlaySound(std::span<const std::int16_t> samples);
    // Milliseconds of sound waiting to be heard.
    std::uint32_t SoundQueuedMs();
    void StartSound();
    void StopSound();
    // Counts what the play cursor has passed since the last look.
    void TrackPlayed();
    // Copies `samples` (or zeros, when empty) into the ring from frame `at`.
    void WriteRing(std::uint32_t at, std::uint32_t frames, std::span<const std::int16_t> samples);

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
    std::vector<std::uint32_t> shown_; // the picture presented

    AudioDevice* device_ = nullptr;
    // Sound frames since playing started: written into the ring, and passed
    // by its play cursor (which stands at `cursor_` within the ring).
    std::unique_ptr<AudioBuffer> ring_;
    std::uint64_t written_ = 0;
    std::uint64_t played_ = 0;
    std::uint32_t cursor_ = 0;
};

}  // namespace platform
