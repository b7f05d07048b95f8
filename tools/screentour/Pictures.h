// The tour's pictures: 800x600 screens as PNG files, and a contact sheet
// that shows them all small, each with its name under it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tour {

struct Screen {
    std::string name;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, 800x600, top row first
};

// A picture of `width` x `height` (0x00RRGGBB, top row first) as a PNG file.
bool WritePng(const std::filesystem::path& file, int width, int height,
              std::span<const std::uint32_t> pixels);

// The screens a quarter of their size, five to a row, named under each.
bool WriteContactSheet(const std::filesystem::path& file, const std::vector<Screen>& screens);

} // namespace tour
