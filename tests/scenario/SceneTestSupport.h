// Pictures and frame stepping for the scene tests: solid and patterned
// bitmaps written by our own writer, frames run through the application
// object on the virtual clock.
#pragma once

#include "ScenarioFixture.h"
#include "lib/BmpWriter.h"

#include <cstdint>
#include <string>

namespace testing_support {

class SceneTest : public ScenarioTest {
protected:
    void Picture(const std::string& path, int w, int h, std::uint32_t word, int bits = 24) {
        bmp_writer::BmpImage image;
        image.width = w;
        image.height = h;
        image.bitCount = bits;
        image.pixels.assign(static_cast<std::size_t>(w) * h, word);
        ASSERT_TRUE(bmp_writer::WriteBmp(dir_.path() / path, image));
    }
    // A picture whose every pixel differs from its neighbours: colour
    // (x * 7 + y * 13) spread over the three channels.
    static std::uint32_t PatternAt(int x, int y, std::uint32_t seed) {
        const std::uint32_t v = static_cast<std::uint32_t>(x * 7 + y * 13) + seed * 0x10101u;
        return (v * 2654435761u >> 8) & 0xFFFFFFu;
    }
    static void FillPattern(CDib* dib, std::uint32_t seed) {
        for (int y = 0; y < dib->GetHeight(); ++y)
            for (int x = 0; x < dib->GetWidth(); ++x)
                dib->SetPixel(x, y, PatternAt(x, y, seed));
    }
    static std::uint32_t Rgb(const CDib* dib, int x, int y) {
        const std::uint32_t* p = dib ? dib->GetPixelPtr(x, y) : nullptr;
        return p ? (*p & 0xFFFFFFu) : 0xDEADBEEFu;
    }
    // A digest of a surface's colours (0 without one).
    static std::uint64_t Digest(const CDib* dib) {
        if (!dib || !dib->GetBits()) return 0;
        std::uint64_t h = 1469598103934665603ull;
        for (int y = 0; y < dib->GetHeight(); ++y)
            for (int x = 0; x < dib->GetWidth(); ++x) {
                h ^= *dib->GetPixelPtr(x, y) & 0xFFFFFFu;
                h *= 1099511628211ull;
            }
        return h;
    }
    // Runs frames `ms` apart until the mode is back at 2; the frame count.
    int RunModeToEnd(std::uint32_t ms = 16, bool ctrl = false, int limit = 5000) {
        int frames = 0;
        while (App().mode != 2 && frames < limit) {
            g_mouse->skip = ctrl ? 1 : 0;
            App().RunFrame();
            platform::headless::AdvanceClock(ms);
            ++frames;
        }
        return frames;
    }
    // Steps the interpreter until it enters another mode.
    void RunScript() { RunUntilModeChanges(); }
};

} // namespace testing_support
