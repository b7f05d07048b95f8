// Pictures of the screens that end-to-end tests pass through, for people to
// look at: the back buffer as a 24-bit bitmap under build/test/<folder>/.
#pragma once

#include "app/Shell.h"
#include "gfx/Dib.h"
#include "lib/BmpWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace e2e {

inline void WriteShot(const std::string& folder, const std::string& name) {
    bmp_writer::BmpImage img;
    img.width = 800;
    img.height = 600;
    img.bitCount = 24;
    img.pixels.assign(g_backBuffer->GetBits(), g_backBuffer->GetBits() + 800 * 600);
    const std::filesystem::path dir = std::filesystem::path(NORVANE_TEST_BIN_DIR) / ".." / folder;
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(bmp_writer::WriteBmp(dir / (name + ".bmp"), img));
}

} // namespace e2e
