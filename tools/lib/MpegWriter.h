// Tiny MPEG-1 movies (MPEG-1 video, MP2 sound, MPEG program stream) for tests
// and the demo data, encoded with libavcodec.
#pragma once

#include <filesystem>

namespace tools {

struct MovieSpec {
    int width = 160;   // a multiple of 16
    int height = 112;  // a multiple of 16
    int frames = 25;   // at 25 frames a second
    bool sound = true; // a 440 Hz tone, 44,100 Hz stereo
};

// Frame i is a flat grey of luma 16 + (i x 8) mod 220. False on failure.
bool WriteMpegMovie(const std::filesystem::path& path, const MovieSpec& spec);

}  // namespace tools
