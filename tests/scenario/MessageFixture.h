// Story text tests: a glyph source that records what is asked of it and inks
// one white pixel at each pen position, and the system pictures of the
// message window, choices and icons as solid test colours.
#pragma once

#include "ScenarioFixture.h"
#include "gfx/GlyphFont.h"
#include "lib/BmpWriter.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace testing_support {

// Every glyph is one fully inked pixel at the top-left of the character's cell,
// so the ink on a surface shows where the pen stood. Two-byte characters move
// the pen by the font height, one-byte ones by half of it.
class RecordingGlyphSource : public platform::GlyphSource {
public:
    explicit RecordingGlyphSource(std::vector<std::uint32_t>* codes) : codes_(codes) {}
    bool SetFont(std::string_view, int height, int, platform::TextDirection) override {
        height_ = height;
        return true;
    }
    int Ascent() const override { return 5; }
    platform::GlyphResult GetGlyph(std::uint32_t code, platform::GlyphLevels levels,
                                   platform::GlyphBitmap& out) override {
        codes_->push_back(code);
        out = {};
        out.blackBoxX = out.blackBoxY = 1;
        out.originX = 0;
        out.originY = 5; // the box's top row is the cell's top row
        out.cellIncX = code > 0xFF ? height_ : height_ / 2;
        out.bits = {static_cast<std::uint8_t>(levels == platform::GlyphLevels::Levels65 ? 64 : 16),
                    0, 0, 0};
        return platform::GlyphResult::Ok;
    }

private:
    std::vector<std::uint32_t>* codes_;
    int height_ = 26;
};

inline std::uint32_t Rgb(const CDib* dib, int x, int y) {
    const std::uint32_t* p = dib ? dib->GetPixelPtr(x, y) : nullptr;
    return p ? (*p & 0xFFFFFFu) : 0xDEADBEEFu;
}

// Full ink in white: each channel (255 * 255) >> 8 = 254.
inline constexpr std::uint32_t kInk = 0xFEFEFE;

// Inked pixels of a surface, as (x, y), row by row.
inline std::vector<std::pair<int, int>> Ink(const CDib* dib) {
    std::vector<std::pair<int, int>> at;
    if (!dib) return at;
    for (int y = 0; y < dib->GetHeight(); ++y)
        for (int x = 0; x < dib->GetWidth(); ++x)
            if (Rgb(dib, x, y) == kInk) at.emplace_back(x, y);
    return at;
}

class MessageTest : public ScenarioTest {
protected:
    static constexpr std::uint32_t kWindowColour = 0x40203040; // alpha 0x40
    static constexpr std::uint32_t kBackColour = 0x00102030;

    MessageTest() {
        g_glyphFont = std::make_unique<CGlyphFont>(std::make_unique<RecordingGlyphSource>(&codes_),
                                                   GlyphCache::Off);
        g_glyphFont->SetFont(26, 0);
        WritePictures();
        g_scenario.reset();
        g_scenario = std::make_unique<CScenario>(platform::WindowHandle::Main);
        cdib[0]->FillRect(0, 0, 800, 600, kBackColour);
        g_backBuffer->FillRect(0, 0, 800, 600, kBackColour);
        g_config[config::kTextSpeed] = 50;
        g_config[config::kAutoSpeed] = 50;
    }
    ~MessageTest() override { g_glyphFont.reset(); }

    void Picture(const std::string& path, int w, int h, std::uint32_t word) {
        bmp_writer::BmpImage image;
        image.width = w;
        image.height = h;
        image.bitCount = 32;
        image.pixels.assign(static_cast<std::size_t>(w) * h, word);
        ASSERT_TRUE(bmp_writer::WriteBmp(dir_.path() / path, image));
    }
    // Icon tile n is filled with 0xFF0000 + n (opaque).
    void WritePictures() {
        std::filesystem::create_directories(dir_.path() / "system");
        Picture("system/window.bmp", 800, 139, kWindowColour);
        Picture("system/window_p.bmp", 306, 52, 0xFF00FF00);
        Picture("system/select_base.bmp", 800, 600, 0x80000000); // halves the scene
        bmp_writer::BmpImage plates;
        plates.width = 512;
        plates.height = 128;
        plates.bitCount = 32;
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 512; ++x)
                plates.pixels.push_back(y < 64 ? 0xFF404040u : 0xFF808080u);
        ASSERT_TRUE(bmp_writer::WriteBmp(dir_.path() / "system/select_p.bmp", plates));
        Picture("system/c_wait.bmp", 300, 80, 0x00000000);
        bmp_writer::BmpImage gaiji;
        gaiji.width = 24 * 16;
        gaiji.height = 24;
        gaiji.bitCount = 32;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < gaiji.width; ++x)
                gaiji.pixels.push_back(0xFFFF0000u + static_cast<std::uint32_t>(x / 24));
        ASSERT_TRUE(bmp_writer::WriteBmp(dir_.path() / "system/gaiji.bmp", gaiji));
    }

    // Puts `text` (raw bytes) in place as opcode 0 leaves it and enters mode 3.
    void SetMessage(std::string_view text) {
        S().messageBuffer = std::make_unique<char[]>(text.size() + 1);
        std::copy(text.begin(), text.end(), S().messageBuffer.get());
        S().subState = 0;
        App().mode = 3;
    }
    // Frames of mode 3, `ms` apart on the virtual clock, while the mode stays.
    void Frames(int count, std::uint32_t ms = 8) {
        for (int i = 0; i < count && App().mode == 3; ++i) {
            S().RunMessage();
            platform::headless::AdvanceClock(ms);
        }
    }
    // The whole message at once (speed 100).
    void ShowWhole(std::string_view text) {
        g_config[config::kTextSpeed] = 100;
        SetMessage(text);
        S().RunMessage();
    }
    std::vector<std::pair<int, int>> TextInk() { return Ink(g_msgWindowText.get()); }
    std::size_t DrawnCodes(std::uint32_t code) const {
        return static_cast<std::size_t>(std::count(codes_.begin(), codes_.end(), code));
    }

    std::vector<std::uint32_t> codes_;
};

} // namespace testing_support
