#include "platform/common/MoviePlayback.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <climits>

namespace platform {
namespace {

// Decoding stays this far ahead of the clock, so that sound is queued before
// it is due.
constexpr std::int32_t kLeadMs = 250;
// Pictures decoded ahead at most. A file may carry its sound well behind the
// pictures of the same moment, so the pictures queued must reach past it.
constexpr std::size_t kMaxQueuedFrames = 32;
// Items decoded in one Update at most: a frame never stalls for long.
constexpr int kMaxItemsPerUpdate = 64;
// The sound ring: one second of 44,100 Hz 16-bit stereo, far more than the
// lead that decoding keeps.
constexpr std::uint32_t kRingFrames = kDeviceRate;
constexpr std::uint32_t kFrameBytes = 4;

AVCodecContext* OpenDecoder(AVFormatContext* format, int stream) {
    const AVCodecParameters* par = format->streams[stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    if (!codec) return nullptr;
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    if (!ctx) return nullptr;
    if (avcodec_parameters_to_context(ctx, par) < 0 || avcodec_open2(ctx, codec, nullptr) < 0) {
        avcodec_free_context(&ctx);
        return nullptr;
    }
    return ctx;
}

}  // namespace

MoviePlayback::~MoviePlayback() {
    StopSound();
    for (AVFrame* f : frames_) av_frame_free(&f);
    sws_freeContext(sws_);
    swr_free(&swr_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&video_);
    avcodec_free_context(&audio_);
    avformat_close_input(&format_);
}

bool MoviePlayback::Open(const std::string& nativePath) {
    if (avformat_open_input(&format_, nativePath.c_str(), nullptr, nullptr) < 0) return false;
    if (avformat_find_stream_info(format_, nullptr) < 0) return false;
    videoStream_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (videoStream_ < 0) return false;
    video_ = OpenDecoder(format_, videoStream_);
    if (!video_) return false;
    audioStream_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (audioStream_ >= 0) {
        audio_ = OpenDecoder(format_, audioStream_);
        if (!audio_) audioStream_ = -1;  // pictures without sound
    }
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (!packet_ || !frame_) return false;
    if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0)
        length_ = static_cast<std::int32_t>(std::min<std::int64_t>(format_->duration / 1000, INT32_MAX / 2));
    else
        length_ = INT32_MAX / 2;  // unknown: the end of decoding ends it
    return true;
}

std::int32_t MoviePlayback::Elapsed() const {
    return playing_ ? start_ + static_cast<std::int32_t>(TimeGetTime() - startClock_) : start_;
}

std::int32_t MoviePlayback::GetPosition() {
    if (!playing_) return 0;
    const std::int32_t now = Elapsed();
    if (ended_ && frames_.empty() && now >= lastShown_) return length_;
    return std::min(now, length_);
}

bool MoviePlayback::PlayFrom(std::int32_t ms) {
    start_ = std::max(ms, 0);
    startClock_ = TimeGetTime();
    playing_ = true;
    StartSound();
    return true;
}

void MoviePlayback::Stop() {
    StopSound();
    playing_ = false;
}

void MoviePlayback::StartSound() {
    if (!device_ || ring_ || audioStream_ < 0) return;
    PcmFormat format;
    format.channels = kDeviceChannels;
    format.rate = kDeviceRate;
    format.bitsPerSample = 16;
    format.blockAlign = kFrameBytes;
    format.bytesPerSecond = kDeviceRate * kFrameBytes;
    ring_ = device_->CreateBuffer(format, kRingFrames * kFrameBytes);
    if (!ring_) return; // pictures without sound
    written_ = 0;
    played_ = 0;
    cursor_ = 0;
    ring_->SetVolume(kVolumeFull);
    ring_->Play(PlayMode::Looping);
}

void MoviePlayback::StopSound() {
    if (!ring_) return;
    ring_->Stop();
    ring_.reset();
}

void MoviePlayback::WriteRing(std::uint32_t at, std::uint32_t frames,
                              std::span<const std::int16_t> samples) {
    std::span<std::uint8_t> first, second;
    if (!ring_->Lock(at * kFrameBytes, frames * kFrameBytes, first, second)) return;
    if (samples.empty()) {
        std::fill(first.begin(), first.end(), std::uint8_t{0});
        std::fill(second.begin(), second.end(), std::uint8_t{0});
    } else {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(samples.data());
        std::copy_n(bytes, first.size(), first.begin());
        std::copy_n(bytes + first.size(), second.size(), second.begin());
    }
    ring_->Unlock();
}

void MoviePlayback::TrackPlayed() {
    const std::uint32_t now = ring_->GetPosition() / kFrameBytes;
    const std::uint32_t heard = (now + kRingFrames - cursor_) % kRingFrames;
    if (heard == 0) return;
    // What has been heard is cleared: a movie whose decoding falls behind
    // goes quiet instead of repeating the second before.
    WriteRing(cursor_, heard, {});
    cursor_ = now;
    played_ += heard;
}

void MoviePlayback::PlaySound(std::span<const std::int16_t> samples) {
    if (!ring_) return;
    TrackPlayed();
    std::uint64_t skip = 0;
    std::uint64_t frames = samples.size() / kDeviceChannels;
    if (written_ < played_) {
        // Sound that is due already is dropped, keeping it with the pictures.
        skip = std::min<std::uint64_t>(played_ - written_, frames);
        written_ += skip;
        frames -= skip;
    }
    // Beyond a whole ring ahead there is no room (nothing is mixing): dropped.
    frames = std::min<std::uint64_t>(frames, kRingFrames - (written_ - played_));
    if (frames == 0) return;
    WriteRing(static_cast<std::uint32_t>(written_ % kRingFrames),
              static_cast<std::uint32_t>(frames),
              samples.subspan(skip * kDeviceChannels, frames * kDeviceChannels));
    written_ += frames;
}

std::uint32_t MoviePlayback::SoundQueuedMs() {
    // Without an output, sound never holds decoding back.
    if (!ring_) return UINT32_MAX;
    TrackPlayed();
    const std::uint64_t queued = written_ > played_ ? written_ - played_ : 0;
    return static_cast<std::uint32_t>(queued * 1000 / kDeviceRate);
}

void MoviePlayback::ShowFrame(const AVFrame& frame) {
    shown_.resize(static_cast<std::size_t>(kClientWidth) * kClientHeight);
    ConvertPicture(frame, shown_);
    Present(shown_);
}

MoviePlayback::Item MoviePlayback::Next() {
    for (;;) {
        if (video_ && avcodec_receive_frame(video_, frame_) == 0) return Item::Video;
        if (audio_ && avcodec_receive_frame(audio_, frame_) == 0) return Item::Audio;
        if (flushed_) return Item::End;
        if (av_read_frame(format_, packet_) < 0) {
            // The end, or damage past which nothing can be read: drain.
            if (video_) avcodec_send_packet(video_, nullptr);
            if (audio_) avcodec_send_packet(audio_, nullptr);
            flushed_ = true;
            continue;
        }
        // A packet the decoder rejects is dropped; playing goes on.
        if (packet_->stream_index == videoStream_) avcodec_send_packet(video_, packet_);
        else if (packet_->stream_index == audioStream_) avcodec_send_packet(audio_, packet_);
        av_packet_unref(packet_);
    }
}

void MoviePlayback::Update() {
    if (!playing_) return;
    const std::int32_t now = Elapsed();
    // Only the newest picture that is due is shown; older ones are passed over.
    AVFrame* due = nullptr;
    auto takeDue = [&] {
        while (!frames_.empty() && frames_.front()->pts <= now) {
            if (due) av_frame_free(&due);
            due = frames_.front();
            frames_.pop_front();
        }
    };
    takeDue();
    for (int items = 0; items < kMaxItemsPerUpdate && !ended_; ++items) {
        const bool picturesAhead = !frames_.empty() && frames_.back()->pts > now + kLeadMs;
        if (frames_.size() >= kMaxQueuedFrames || (picturesAhead && SoundQueuedMs() >= kLeadMs)) break;
        switch (Next()) {
        case Item::Video: {
            const AVStream* st = format_->streams[videoStream_];
            std::int64_t ts = frame_->best_effort_timestamp;
            std::int64_t ms = lastPts_ + 40;
            if (ts != AV_NOPTS_VALUE) {
                if (st->start_time != AV_NOPTS_VALUE) ts -= st->start_time;
                ms = av_rescale_q(ts, st->time_base, AVRational{1, 1000});
            }
            lastPts_ = ms;
            AVFrame* copy = av_frame_clone(frame_);
            av_frame_unref(frame_);
            if (!copy) break;
            copy->pts = ms;
            frames_.push_back(copy);
            ++framesDecoded_;
            takeDue();
            break;
        }
        case Item::Audio: {
            AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
            if (!swr_) {
                if (swr_alloc_set_opts2(&swr_, &stereo, AV_SAMPLE_FMT_S16, 44100, &frame_->ch_layout,
                                        static_cast<AVSampleFormat>(frame_->format), frame_->sample_rate, 0,
                                        nullptr) < 0 ||
                    swr_init(swr_) < 0) {
                    swr_free(&swr_);
                    av_frame_unref(frame_);
                    break;
                }
            }
            const int room = swr_get_out_samples(swr_, frame_->nb_samples);
            if (room > 0) {
                sound_.resize(static_cast<std::size_t>(room) * 2);
                auto* out = reinterpret_cast<std::uint8_t*>(sound_.data());
                const int got = swr_convert(swr_, &out, room, const_cast<const std::uint8_t**>(frame_->extended_data),
                                            frame_->nb_samples);
                if (got > 0) PlaySound(std::span<const std::int16_t>(sound_.data(), static_cast<std::size_t>(got) * 2));
            }
            av_frame_unref(frame_);
            break;
        }
        case Item::End:
            ended_ = true;
            if (length_ == INT32_MAX / 2) length_ = static_cast<std::int32_t>(std::min<std::int64_t>(lastPts_, INT32_MAX / 2));
            break;
        }
    }
    if (due) {
        lastShown_ = static_cast<std::int32_t>(std::min<std::int64_t>(due->pts, INT32_MAX / 2));
        ShowFrame(*due);
        av_frame_free(&due);
    }
}

void MoviePlayback::ConvertPicture(const AVFrame& frame, std::span<std::uint32_t> out) {
    std::fill(out.begin(), out.end(), 0u);
    if (frame.width <= 0 || frame.height <= 0 || out.size() < static_cast<std::size_t>(kClientWidth) * kClientHeight)
        return;
    // Fit inside the window, keeping the picture's shape.
    int w = kClientWidth;
    int h = static_cast<int>(static_cast<std::int64_t>(frame.height) * kClientWidth / frame.width);
    if (h > kClientHeight) {
        h = kClientHeight;
        w = static_cast<int>(static_cast<std::int64_t>(frame.width) * kClientHeight / frame.height);
    }
    w = std::max(w & ~1, 2);
    h = std::max(h & ~1, 2);
    sws_ = sws_getCachedContext(sws_, frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), w, h,
                                AV_PIX_FMT_BGR0, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!sws_) return;
    const int x = (kClientWidth - w) / 2;
    const int y = (kClientHeight - h) / 2;
    std::uint8_t* dst[4] = {reinterpret_cast<std::uint8_t*>(out.data() + static_cast<std::size_t>(y) * kClientWidth + x),
                            nullptr, nullptr, nullptr};
    const int stride[4] = {kClientWidth * 4, 0, 0, 0};
    sws_scale(sws_, frame.data, frame.linesize, 0, frame.height, dst, stride);
    for (std::uint32_t& px : out) px &= 0x00FFFFFFu;  // the filler byte is not ours
}

std::unique_ptr<Movie> OpenMovie(std::string_view windowsPath, WindowHandle, AudioDevice* sound) {
    const std::optional<std::string> path = ResolveExisting(windowsPath);
    if (!path) return nullptr;
    auto movie = std::make_unique<MoviePlayback>(sound);
    if (!movie->Open(*path)) return nullptr;
    return movie;
}

}  // namespace platform
