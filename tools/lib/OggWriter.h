// Ogg Vorbis sounds for tests and the demo data, encoded with libvorbisenc.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace tools {

struct ToneSpec {
    std::uint32_t rate = 44100;
    std::uint16_t channels = 1;
    std::uint32_t samples = 44100;  // sample frames
    double frequency = 440.0;       // Hz; a sine on every channel
    double amplitude = 0.5;         // of full scale
};

// Encodes interleaved samples in -1..1 (frames x channels). Empty on failure.
std::vector<std::uint8_t> EncodeOgg(std::span<const float> interleaved, std::uint16_t channels,
                                    std::uint32_t rate, float quality = 0.4f);

// A sine tone of exactly `samples` frames.
std::vector<std::uint8_t> MakeOggTone(const ToneSpec& spec);

bool WriteOggTone(const std::filesystem::path& path, const ToneSpec& spec);

}  // namespace tools
