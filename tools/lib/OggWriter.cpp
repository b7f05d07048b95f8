#include "lib/OggWriter.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>

namespace tools {
namespace {

void Append(std::vector<std::uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

std::vector<std::uint8_t> EncodeOgg(std::span<const float> interleaved, std::uint16_t channels,
                                    std::uint32_t rate, float quality) {
    std::vector<std::uint8_t> out;
    if (channels == 0) return out;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, static_cast<long>(rate), quality) != 0) {
        vorbis_info_clear(&vi);
        return out;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 0x4E56);  // any serial number will do; fixed keeps output reproducible

    ogg_packet header, comment, code;
    vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comment);
    ogg_stream_packetin(&os, &code);
    ogg_page page;
    while (ogg_stream_flush(&os, &page) != 0) Append(out, page);

    const std::size_t frames = interleaved.size() / channels;
    constexpr std::size_t kChunk = 1024;
    std::size_t done = 0;
    bool eos = false;
    auto drain = [&] {
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (!eos && ogg_stream_pageout(&os, &page) != 0) {
                    Append(out, page);
                    if (ogg_page_eos(&page)) eos = true;
                }
            }
        }
    };
    while (done < frames) {
        const std::size_t n = std::min(kChunk, frames - done);
        float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
        for (std::size_t i = 0; i < n; ++i)
            for (std::uint16_t c = 0; c < channels; ++c) buffer[c][i] = interleaved[(done + i) * channels + c];
        vorbis_analysis_wrote(&vd, static_cast<int>(n));
        done += n;
        drain();
    }
    vorbis_analysis_wrote(&vd, 0);
    drain();
    while (!eos && ogg_stream_flush(&os, &page) != 0) Append(out, page);

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

std::vector<std::uint8_t> MakeOggTone(const ToneSpec& spec) {
    std::vector<float> pcm(static_cast<std::size_t>(spec.samples) * spec.channels);
    for (std::uint32_t i = 0; i < spec.samples; ++i) {
        const double s = spec.amplitude * std::sin(2.0 * std::numbers::pi * spec.frequency * i / spec.rate);
        for (std::uint16_t c = 0; c < spec.channels; ++c)
            pcm[static_cast<std::size_t>(i) * spec.channels + c] = static_cast<float>(s);
    }
    return EncodeOgg(pcm, spec.channels, spec.rate);
}

bool WriteOggTone(const std::filesystem::path& path, const ToneSpec& spec) {
    const std::vector<std::uint8_t> bytes = MakeOggTone(spec);
    if (bytes.empty()) return false;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

}  // namespace tools
