// The demo game's pictures and sounds of the in-game menu, its exit dialog
// and the settings screen with its voice page.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace demo {

class Canvas;

// Where the pictures and sounds go, and the generator's own sound makers.
struct SystemOutput {
    std::function<bool(const std::string& path, const Canvas& picture, int bits)> picture;
    std::function<bool(const std::string& path, const std::vector<float>& samples)> sound;
    std::function<std::vector<float>(double from, double to, double seconds)> blip;
    std::function<std::vector<float>(int index, double seconds)> voiceLine;
};

bool SystemScreenData(const SystemOutput& out);

} // namespace demo
