// The demo game's extras pictures and sounds: the CG gallery's pages,
// thumbnails and button sheet, the event pictures the demo stories show,
// the wallpaper room's page, samples and wallpapers, and the room music.
#pragma once

#include <string>
#include <string_view>

namespace demo {

struct SystemOutput;

bool GalleryData(const SystemOutput& out);

// Script lines (assembler text) that a demo story runs after its choice:
// the event pictures it shows, which the gallery then counts as seen.
// Empty for a story that shows none.
std::string GalleryStoryLines(std::string_view script);

} // namespace demo
