// Tiny MPEG-1 movies (MPEG-1 video, MP2 sound, MPEG program stream) for tests
// and the demo data, encoded with libavcodec.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

namespace tools {

struct MovieSpec {
    int width = 160;   // a multiple of 16
    int height = 112;  // a multiple of 16
    int frames = 25;   // at 25 frames a second
    bool sound = true; // 44,100 Hz stereo
    int videoBitRate = 400000;
    // Draws frame `index` into `rgb` (width x height words 0x00RRGGBB, top
    // row first). Unset: frame i is a flat grey of luma 16 + (i x 8) mod 220.
    std::function<void(int index, std::span<std::uint32_t> rgb)> picture;
    // The sound at `seconds`, -1 to 1, on both channels. Unset: a 440 Hz
    // tone of amplitude 8000.
    std::function<double(double seconds)> wave;
};

// False on failure.
bool WriteMpegMovie(const std::filesystem::path& path, const MovieSpec& spec);

}  // namespace tools
