// Pictures of the screens that end-to-end tests pass through, for people to
// look at: the back buffer (or the picture a movie showed) as a 24-bit bitmap
// under build/test/<folder>/.
#pragma once

#include "app/Shell.h"
#include "gfx/Dib.h"
#include "lib/BmpWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace e2e {

// An 800x600 picture (0x00RRGGBB, top row first).
inline void WriteShot(const std::string& folder, const std::string& name,
                      std::span<const std::uint32_t> picture) {
    bmp_writer::BmpImage img;
    img.width = 800;
    img.height = 600;
    img.bitCount = 24;
    img.pixels.assign(picture.begin(), picture.end());
    const std::filesystem::path dir = std::filesystem::path(NORVANE_TEST_BIN_DIR) / ".." / folder;
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(bmp_writer::WriteBmp(dir / (name + ".bmp"), img));
}

inline void WriteShot(const std::string& folder, const std::string& name) {
    WriteShot(folder, name, std::span<const std::uint32_t>(g_backBuffer->GetBits(), 800 * 600));
}

} // namespace e2e
