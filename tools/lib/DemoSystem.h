// The demo game's pictures and sounds of the in-game menu, its exit dialog
// and the settings screen with its voice page.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace demo {

class Canvas;

// The system screens' palette and their rounded plate with a light edge.
inline constexpr std::uint32_t kInk = 0xFFFFFF;
inline constexpr std::uint32_t kLit = 0xFFE070;
inline constexpr std::uint32_t kPlate = 0x1C2C50;
inline constexpr std::uint32_t kEdge = 0x90B0E0;
void Plate(Canvas& c, int x, int y, int w, int h, std::uint32_t rgb, int alpha);

// The settings picture is opaque from this row down: nothing of the screen
// under the page shows beside its bottom buttons.
inline constexpr int kConfigBandTop = 540;

// Where the pictures and sounds go, and the generator's own sound makers.
struct SystemOutput {
    std::function<bool(const std::string& path, const Canvas& picture, int bits)> picture;
    std::function<bool(const std::string& path, const std::vector<float>& samples)> sound;
    std::function<std::vector<float>(double from, double to, double seconds)> blip;
    std::function<std::vector<float>(int index, double seconds)> voiceLine;
};

bool SystemScreenData(const SystemOutput& out);

} // namespace demo
