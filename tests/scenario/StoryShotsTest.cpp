// A short assembled story with the system's real font: a speaker line, a
// tagged message with ruby and an icon, a choice, and a full-page message.
// Each step's back buffer is written as a bitmap into build/test/story-shots
// for people to look at; a few pixels are checked against values worked out
// from the blend formulas.
#include "ScenarioFixture.h"
#include "gfx/Blit.h"
#include "gfx/GlyphFont.h"
#include "lib/BmpWriter.h"

#include <filesystem>
#include <string>

using testing_support::ScenarioTest;
namespace hl = platform::headless;

namespace {

std::uint32_t Rgb(const CDib* dib, int x, int y) {
    const std::uint32_t* p = dib ? dib->GetPixelPtr(x, y) : nullptr;
    return p ? (*p & 0xFFFFFFu) : 0xDEADBEEFu;
}

// The scene behind the text: red across, green down, blue 0x40.
std::uint32_t Scene(int x, int y) {
    return static_cast<std::uint32_t>(x * 255 / 799) << 16 |
           static_cast<std::uint32_t>(y * 255 / 599) << 8 | 0x40u;
}

constexpr std::uint32_t kWindow = 0x80102040; // alpha 0x80
constexpr std::uint32_t kPlate = 0xFF505870;
constexpr std::uint32_t kPage = 0x00101828;

// Per-pixel alpha as the MMX-class renderer of every x86-64 machine blends:
// alpha 255 copies, 0 leaves, else (s * a >> 8) + (d * (256 - a) >> 8).
std::uint32_t Over(std::uint32_t s, std::uint32_t d) {
    const std::uint32_t a = s >> 24;
    if (a == 255) return s & 0xFFFFFF;
    if (a == 0) return d & 0xFFFFFF;
    std::uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        const std::uint32_t sc = (s >> (8 * c)) & 0xFF, dc = (d >> (8 * c)) & 0xFF;
        out |= std::min(255u, (sc * a >> 8) + (dc * (256 - a) >> 8)) << (8 * c);
    }
    return out;
}

// Full white ink on the text surface is 254 in all four bytes (the window's
// pixel under it is gone), composed over the scene.
bool AnyWindowInk(const CDib* dib, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (Rgb(dib, x, y) == Over(0xFEFEFEFE, Scene(x, y))) return true;
    return false;
}

bool AnyPixel(const CDib* dib, int x0, int y0, int x1, int y1, std::uint32_t rgb) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (Rgb(dib, x, y) == rgb) return true;
    return false;
}

class StoryShotsTest : public ScenarioTest {
protected:
    StoryShotsTest() {
        g_glyphFont = std::make_unique<CGlyphFont>(platform::CreateGlyphSource());
        g_glyphFont->SetFont(26, 0);
        WritePictures();
        g_scenario.reset();
        g_scenario = std::make_unique<CScenario>(platform::WindowHandle::Main);
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                cdib[0]->SetPixel(x, y, Scene(x, y));
        BltCopy(g_backBuffer.get(), 0, 0, cdib[0].get(), 0, 0, 800, 600);
        g_config[config::kTextSpeed] = 100;
        g_config[config::kChoiceFlags + 3 * 1 + 1] = 1; // option 2 of point 1 taken before
        shots_ = std::filesystem::path(NORVANE_TEST_BIN_DIR) / ".." / "story-shots";
        std::filesystem::create_directories(shots_);
    }
    ~StoryShotsTest() override { g_glyphFont.reset(); }

    void Picture(const std::string& path, bmp_writer::BmpImage image) {
        image.bitCount = 32;
        ASSERT_TRUE(bmp_writer::WriteBmp(dir_.path() / path, image));
    }
    static bmp_writer::BmpImage Solid(int w, int h, std::uint32_t word) {
        bmp_writer::BmpImage image;
        image.width = w;
        image.height = h;
        image.pixels.assign(static_cast<std::size_t>(w) * h, word);
        return image;
    }
    void WritePictures() {
        std::filesystem::create_directories(dir_.path() / "system");
        // The window: translucent navy with a light rule along its top.
        auto window = Solid(800, 139, kWindow);
        for (int x = 0; x < 800; ++x)
            window.pixels[static_cast<std::size_t>(800 + x)] = 0xC0A0B0D0;
        Picture("system/window.bmp", window);
        Picture("system/window_p.bmp", Solid(306, 52, 0xFF606080));
        Picture("system/window3.bmp", Solid(800, 600, 0x00000000));
        Picture("system/window_p3.bmp", Solid(306, 52, 0xFF606080));
        // Icons: tile n a round badge of its own colour on the window colour.
        constexpr std::array<std::uint32_t, 8> kBadges = {0xFFE04060, 0xFF40A0E0, 0xFF60C060,
                                                          0xFFF0B030, 0xFFB060E0, 0xFFE07030,
                                                          0xFF30C0C0, 0xFFF0F0F0};
        auto gaiji = Solid(24 * 8, 24, kWindow);
        for (int n = 0; n < 8; ++n)
            for (int y = 0; y < 24; ++y)
                for (int x = 0; x < 24; ++x)
                    if ((x - 12) * (x - 12) + (y - 12) * (y - 12) < 100)
                        gaiji.pixels[static_cast<std::size_t>(y * 24 * 8 + n * 24 + x)] =
                            kBadges[static_cast<std::size_t>(n)];
        Picture("system/gaiji.bmp", gaiji);
        auto plates = Solid(512, 128, kPlate);
        for (std::size_t i = 512 * 64; i < plates.pixels.size(); ++i)
            plates.pixels[i] = 0xFF7080B0;
        Picture("system/select_p.bmp", plates);
        Picture("system/select_base.bmp", Solid(800, 600, 0x60000000));
        // The sparkle image at (219, 1, 50 x 72): a soft white diamond.
        auto wait = Solid(300, 80, 0x00000000);
        for (int y = 0; y < 72; ++y)
            for (int x = 0; x < 50; ++x) {
                const int d = std::abs(x - 25) * 72 / 50 + std::abs(y - 36);
                if (d < 36)
                    wait.pixels[static_cast<std::size_t>((y + 1) * 300 + 219 + x)] =
                        static_cast<std::uint32_t>(255 - d * 7) << 24 | 0xFFFFFF;
            }
        Picture("system/c_wait.bmp", wait);
    }

    // What the scene composer and the message overlay put on screen each
    // frame: the background, and in the window styles the text surface over it.
    void Compose() {
        if (S().messageStyle == 1 || App().mode == 17) return;
        BltCopy(g_backBuffer.get(), 0, 0, cdib[0].get(), 0, 0, 800, 600);
        if (S().windowShown && g_msgWindowText)
            BltAlpha(g_backBuffer.get(), 0, 461, g_msgWindowText.get(), 0, 0, 800, 139);
    }
    // Runs the story until `done` holds (at most `limit` frames).
    template <typename Done> void RunUntil(Done done, int limit = 400) {
        for (int i = 0; i < limit && !done(); ++i) {
            switch (App().mode) {
            case 2:
                S().Step();
                break;
            case 3:
                S().RunMessage();
                break;
            case 17:
                S().RunChoice();
                break;
            case 37: // the page fade of another screen: the page darkens at once
                cdib[0]->FillRect(0, 0, 800, 600, kPage);
                BltCopy(g_backBuffer.get(), 0, 0, cdib[0].get(), 0, 0, 800, 600);
                App().mode = 2;
                break;
            default:
                return;
            }
            S().PressWindowButton(S().hoverButton);
            Compose();
            hl::AdvanceClock(16);
        }
    }
    bool Waiting() const { return g_gameApp->mode == 3 && g_scenario->subState == 3; }
    void Shot(const std::string& name) {
        bmp_writer::BmpImage image;
        image.width = 800;
        image.height = 600;
        image.bitCount = 24;
        image.pixels.assign(g_backBuffer->GetBits(), g_backBuffer->GetBits() + 800 * 600);
        EXPECT_TRUE(bmp_writer::WriteBmp(shots_ / name, image));
    }

    std::filesystem::path shots_;
};

} // namespace

TEST_F(StoryShotsTest, AShortStoryDrawsReadableText) {
    Start("window_style style=0\n"
          "message text=\"＃李雷\"\n"
          "text_block block=1\n"
          "message text=\"早上好！今天的天气真不错，我们一起出去走走吧。\"\n"
          "text_block block=2\n"
          "message text=\"#s30#公园#s26#里的<樱花<さくら>开了\\x81\\xE8"
          "03真漂亮。＄你想去<湖边<こはん>看看吗？\"\n"
          "text_block block=3\n"
          "clear_choices\n"
          "add_choice target=a text=\"去公园散步\"\n"
          "add_choice target=b text=\"留在家里\"\n"
          "choice point=1\n"
          "a: window_style style=1\n"
          "text_block block=4\n"
          "message text=\"那天下午，我们沿着湖边慢慢地走着，风很轻，水面上闪着细碎的光。＄"
          "她忽然停下来，指着远处的小船说：“你看，那里有人在钓鱼。”＄我点了点头，心里却想着别的事情"
          "。↓\"\n"
          "end\n"
          "b: end\n");

    // 1: the speaker line.
    RunUntil([&] { return Waiting(); });
    ASSERT_TRUE(Waiting());
    Shot("01-speaker.bmp");
    const CDib* back = g_backBuffer.get();
    EXPECT_TRUE(AnyWindowInk(back, 84, 498, 110, 524)); // 早
    EXPECT_TRUE(
        AnyWindowInk(back, 84, 469, 136, 495));  // the name: 4 bytes from x (8 - 1) * 12 = 84
    EXPECT_EQ(Rgb(back, 10, 10), Scene(10, 10)); // untouched scene
    EXPECT_EQ(Rgb(back, 20, 590), Over(kWindow, Scene(20, 590))); // bare window

    // 2: tags, ruby and an icon.
    g_mouse->click = 1;
    RunUntil([&] { return Waiting() && S().textBlock == 2; });
    ASSERT_TRUE(Waiting());
    Shot("02-tags-ruby-icon.bmp");
    back = g_backBuffer.get();
    EXPECT_TRUE(AnyWindowInk(back, 84, 498, 114, 528)); // 公 at size 30
    EXPECT_EQ(g_glyphFont->GetSize(), 26);
    EXPECT_EQ(Rgb(back, 400, 100), Scene(400, 100));
    // The icon (tile 3, opaque) sits 2 pixels right of 了, whose pen ended where
    // the icon's 26 pixels begin: find its centre row on line 1 (y 498 + 12).
    EXPECT_TRUE(AnyPixel(back, 84, 510, 500, 511, 0xF0B030));

    // 3: the choice, the first option hovered.
    g_mouse->click = 1;
    RunUntil([&] { return App().mode == 17 && S().subState == 1; });
    g_mouse->x = 300;
    g_mouse->y = 170;
    RunUntil([] { return false; }, 12);
    ASSERT_EQ(App().mode, 17);
    EXPECT_EQ(S().choiceHover, 1);
    Shot("03-choice.bmp");
    back = g_backBuffer.get();
    EXPECT_EQ(Rgb(back, 170, 250), kPlate & 0xFFFFFF); // plain plate, opaque
    // The taken option in 0xA9BBFF drawn twice: each channel (c * 255) >> 8.
    EXPECT_TRUE(AnyPixel(back, 300, 261, 500, 287, 0xA8BAFE));
    EXPECT_EQ(Rgb(back, 5, 5), Over(0x60000000, Scene(5, 5))); // the dimmed scene

    // 4: the full page, up to its page mark.
    g_mouse->click = 1;
    RunUntil([&] { return App().mode == 55; });
    ASSERT_EQ(App().mode, 55);
    Compose();
    BltCopy(g_backBuffer.get(), 0, 0, cdib[0].get(), 0, 0, 800, 600);
    Shot("04-full-page.bmp");
    back = g_backBuffer.get();
    // Full ink of the column glyphs: 254 in every byte.
    EXPECT_TRUE(AnyPixel(back, 712, 0, 740, 60, 0xFEFEFE));
    EXPECT_EQ(Rgb(back, 10, 590), kPage);
    EXPECT_EQ(App().logCount, 4); // three window messages, the choice and the page
}
