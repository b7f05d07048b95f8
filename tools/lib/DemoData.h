// The demo game: every picture, sound and story script that the built
// screens load, made from nothing but this generator (plain shapes,
// gradients, labels drawn with the glyph font, synthesised tones). Some data
// folders are written loose, others as "PACKDAT." archives beside where the
// folder would stand.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace demo {

// Which data folders go into archives.
enum class Packing { Mixed, AllLoose };

struct DemoOptions {
    Packing packing = Packing::Mixed;
};

// Writes the demo game into `dir` (made when missing). False with `error`
// set when something could not be made or written.
bool WriteDemoGame(const std::filesystem::path& dir, std::string& error,
                   const DemoOptions& options = {});

// The folders written as archives under Packing::Mixed ("system" means
// "system.dat" beside the game folder's missing "system\").
const std::vector<std::string>& PackedFolders();

// The three story scripts, in the assembler's text form (for tests that
// want to follow a story). The first title starts the opening script
// "start.s", which hands over to the first of them.
struct StoryScript {
    std::string file; // name in script\, e.g. "b0.s"
    std::string text;
};
std::vector<StoryScript> StoryScripts();

} // namespace demo
