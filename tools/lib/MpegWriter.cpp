#include "lib/MpegWriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
}

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace tools {
namespace {

constexpr int kFps = 25;
constexpr int kRate = 44100;

struct Writer {
    AVFormatContext* oc = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* vs = nullptr;
    AVStream* as = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    bool opened = false;

    ~Writer() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        if (oc) {
            if (opened) avio_closep(&oc->pb);
            avformat_free_context(oc);
        }
    }

    // Sends one frame (null: flush) and writes every packet that comes out.
    bool Encode(AVCodecContext* ctx, AVStream* st, const AVFrame* f) {
        if (avcodec_send_frame(ctx, f) < 0) return false;
        for (;;) {
            const int r = avcodec_receive_packet(ctx, packet);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
            if (r < 0) return false;
            av_packet_rescale_ts(packet, ctx->time_base, st->time_base);
            packet->stream_index = st->index;
            if (av_interleaved_write_frame(oc, packet) < 0) return false;
        }
    }
};

// One picture in the encoder's colours (studio-range BT.601, chroma averaged
// over each 2x2 block).
void FillFromRgb(AVFrame& f, std::span<const std::uint32_t> rgb, int w, int h) {
    const auto channel = [&](int x, int y, int shift) {
        return static_cast<int>((rgb[static_cast<std::size_t>(y) * w + x] >> shift) & 0xFF);
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int r = channel(x, y, 16), g = channel(x, y, 8), b = channel(x, y, 0);
            f.data[0][y * f.linesize[0] + x] =
                static_cast<std::uint8_t>(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
        }
    for (int y = 0; y < h / 2; ++y)
        for (int x = 0; x < w / 2; ++x) {
            int r = 0, g = 0, b = 0;
            for (int k = 0; k < 4; ++k) {
                r += channel(2 * x + k % 2, 2 * y + k / 2, 16);
                g += channel(2 * x + k % 2, 2 * y + k / 2, 8);
                b += channel(2 * x + k % 2, 2 * y + k / 2, 0);
            }
            r /= 4;
            g /= 4;
            b /= 4;
            f.data[1][y * f.linesize[1] + x] =
                static_cast<std::uint8_t>(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128);
            f.data[2][y * f.linesize[2] + x] =
                static_cast<std::uint8_t>(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128);
        }
}

AVCodecContext* NewEncoder(AVCodecID id, AVFormatContext* oc) {
    const AVCodec* codec = avcodec_find_encoder(id);
    if (!codec) return nullptr;
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    if (ctx && (oc->oformat->flags & AVFMT_GLOBALHEADER)) ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    return ctx;
}

}  // namespace

bool WriteMpegMovie(const std::filesystem::path& path, const MovieSpec& spec) {
    av_log_set_level(AV_LOG_ERROR);  // the encoders' advice is no use here
    Writer w;
    const std::string name = path.string();
    if (avformat_alloc_output_context2(&w.oc, nullptr, "mpeg", name.c_str()) < 0 || !w.oc) return false;
    w.packet = av_packet_alloc();
    w.frame = av_frame_alloc();
    if (!w.packet || !w.frame) return false;

    w.video = NewEncoder(AV_CODEC_ID_MPEG1VIDEO, w.oc);
    if (!w.video) return false;
    w.video->width = spec.width;
    w.video->height = spec.height;
    w.video->time_base = AVRational{1, kFps};
    w.video->framerate = AVRational{kFps, 1};
    w.video->pix_fmt = AV_PIX_FMT_YUV420P;
    w.video->bit_rate = spec.videoBitRate;
    w.video->gop_size = 12;
    w.video->max_b_frames = 0;
    if (avcodec_open2(w.video, w.video->codec, nullptr) < 0) return false;
    w.vs = avformat_new_stream(w.oc, nullptr);
    if (!w.vs || avcodec_parameters_from_context(w.vs->codecpar, w.video) < 0) return false;
    w.vs->time_base = w.video->time_base;

    if (spec.sound) {
        w.audio = NewEncoder(AV_CODEC_ID_MP2, w.oc);
        if (!w.audio) return false;
        w.audio->sample_rate = kRate;
        w.audio->sample_fmt = AV_SAMPLE_FMT_S16;
        const AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        av_channel_layout_copy(&w.audio->ch_layout, &stereo);
        w.audio->bit_rate = 128000;
        w.audio->time_base = AVRational{1, kRate};
        if (avcodec_open2(w.audio, w.audio->codec, nullptr) < 0) return false;
        w.as = avformat_new_stream(w.oc, nullptr);
        if (!w.as || avcodec_parameters_from_context(w.as->codecpar, w.audio) < 0) return false;
        w.as->time_base = w.audio->time_base;
    }

    if (avio_open(&w.oc->pb, name.c_str(), AVIO_FLAG_WRITE) < 0) return false;
    w.opened = true;
    // A mux rate well above the streams' own: pictures with detail come out
    // larger than the coder's average, and must still reach the reader in time.
    AVDictionary* options = nullptr;
    av_dict_set_int(&options, "muxrate", 4 * (spec.videoBitRate + 128000), 0);
    const int header = avformat_write_header(w.oc, &options);
    av_dict_free(&options);
    if (header < 0) return false;

    const std::int64_t totalSamples = static_cast<std::int64_t>(spec.frames) * kRate / kFps;
    int nextFrame = 0;
    std::int64_t nextSample = 0;
    const int chunk = w.audio ? w.audio->frame_size : 0;
    std::vector<std::uint32_t> rgb(spec.picture ? static_cast<std::size_t>(spec.width) * spec.height
                                                : 0);
    while (nextFrame < spec.frames || (w.audio && nextSample < totalSamples)) {
        // Whichever stream is behind goes next, so the packets interleave.
        const bool videoNext = nextFrame < spec.frames &&
                               (!w.audio || nextSample >= totalSamples ||
                                static_cast<std::int64_t>(nextFrame) * kRate <= nextSample * kFps);
        av_frame_unref(w.frame);
        if (videoNext) {
            w.frame->format = AV_PIX_FMT_YUV420P;
            w.frame->width = spec.width;
            w.frame->height = spec.height;
            if (av_frame_get_buffer(w.frame, 0) < 0) return false;
            if (spec.picture) {
                std::fill(rgb.begin(), rgb.end(), 0u);
                spec.picture(nextFrame, rgb);
                FillFromRgb(*w.frame, rgb, spec.width, spec.height);
            } else {
                const auto luma = static_cast<std::uint8_t>(16 + (nextFrame * 8) % 220);
                for (int y = 0; y < spec.height; ++y)
                    std::fill_n(w.frame->data[0] + y * w.frame->linesize[0], spec.width, luma);
                for (int p = 1; p < 3; ++p)
                    for (int y = 0; y < spec.height / 2; ++y)
                        std::fill_n(w.frame->data[p] + y * w.frame->linesize[p], spec.width / 2,
                                    std::uint8_t{128});
            }
            w.frame->pts = nextFrame++;
            if (!w.Encode(w.video, w.vs, w.frame)) return false;
        } else {
            w.frame->format = AV_SAMPLE_FMT_S16;
            w.frame->sample_rate = kRate;
            w.frame->nb_samples = chunk;
            av_channel_layout_copy(&w.frame->ch_layout, &w.audio->ch_layout);
            if (av_frame_get_buffer(w.frame, 0) < 0) return false;
            auto* s = reinterpret_cast<std::int16_t*>(w.frame->data[0]);
            for (int i = 0; i < chunk; ++i) {
                const double t = static_cast<double>(nextSample + i) / kRate;
                const double level = spec.wave ? 32767 * std::clamp(spec.wave(t), -1.0, 1.0)
                                               : 8000 * std::sin(2 * std::numbers::pi * 440 * t);
                const auto v = static_cast<std::int16_t>(level);
                s[2 * i] = s[2 * i + 1] = v;
            }
            w.frame->pts = nextSample;
            nextSample += chunk;
            if (!w.Encode(w.audio, w.as, w.frame)) return false;
        }
    }
    if (!w.Encode(w.video, w.vs, nullptr)) return false;
    if (w.audio && !w.Encode(w.audio, w.as, nullptr)) return false;
    return av_write_trailer(w.oc) == 0;
}

}  // namespace tools
