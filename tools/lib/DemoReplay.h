// The demo game's extras and endings: the music room, the scene replay with
// the one scene the demo story reaches, the staff rolls' songs, credit
// sheets, backgrounds and picture series, and the
// pictures the extras rooms share (DemoExtrasFrame.cpp).
#pragma once

#include "lib/BmpWriter.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace demo {

class Canvas;

struct ReplayOutput {
    std::function<bool(const std::string& path, const Canvas& picture, int bits)> picture;
    // A bitmap made here (the 8-bit pictures).
    std::function<bool(const std::string& path, const bmp_writer::BmpImage& image)> bitmap;
    std::function<bool(const std::string& path, const std::vector<float>& samples)> sound;
    // A script in the assembler's text form, by its name in script\.
    std::function<bool(const std::string& name, const std::string& text)> script;
    // A looping piece: an arpeggio over chords from `root` (a MIDI note).
    std::function<std::vector<float>(int root, const std::vector<std::array<int, 3>>& chords,
                                     double beat)>
        music;
};

// Everything the music room, the scene replay and the staff rolls load.
bool ReplayData(const ReplayOutput& out);
// What a story does after its last line: the first story goes on into the
// scene the replay offers and, past it, its ending.
std::string ReplayStoryTail(const std::string& storyScript);

// The music tracks the rest of the demo writes already.
inline constexpr std::array<const char*, 4> kTracksWrittenElsewhere{"n002.ogg", "n006.ogg",
                                                                    "n007.ogg", "c006.ogg"};

} // namespace demo
