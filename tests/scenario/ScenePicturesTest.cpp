// A headless run of an assembled story that uses sprite layers, a quake, a
// pan, an eye-catch and the day logo, writing the presented picture at
// chosen times into build/test/scene-shots/ for people to look at. All
// pictures are drawn here.
#include "SceneTestSupport.h"
#include "app/Present.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using testing_support::SceneTest;
namespace hl = platform::headless;

namespace {

std::uint32_t Mix(int r, int g, int b) {
    return static_cast<std::uint32_t>(r & 255) << 16 | static_cast<std::uint32_t>(g & 255) << 8 |
           static_cast<std::uint32_t>(b & 255);
}

class ScenePicturesTest : public SceneTest {
protected:
    using Painter = std::uint32_t (*)(int x, int y, int w, int h);
    void Paint(const std::string& name, int w, int h, int bits, Painter paint) {
        bmp_writer::BmpImage image;
        image.width = w;
        image.height = h;
        image.bitCount = bits;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.pixels.push_back(paint(x, y, w, h));
        ASSERT_TRUE(bmp_writer::WriteBmp(dir_.path() / name, image));
    }
    void MakePictures() {
        // A sky: blue to orange from the top, a darker ground below 420.
        auto sky = [](int x, int y, int, int) {
            return y < 420 ? Mix(40 + y / 3, 80 + y / 4, 200 - y / 3) : Mix(40 + x / 20, 90, 40);
        };
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) {
                cdib[0]->SetPixel(x, y, sky(x, y, 800, 600));
                g_backBuffer->SetPixel(x, y, sky(x, y, 800, 600));
            }
        // A 24-bit ball and a 32-bit star whose edge fades out.
        Paint("bmp/ball.bmp", 64, 64, 24, [](int x, int y, int, int) {
            const int d = (x - 32) * (x - 32) + (y - 32) * (y - 32);
            return d < 900 ? Mix(240 - d / 6, 60, 60) : Mix(20, 20, 40);
        });
        Paint("bmp/star.bmp", 96, 96, 32, [](int x, int y, int, int) {
            const double a = std::atan2(y - 48, x - 48);
            const double r = std::hypot(x - 48, y - 48);
            const double edge = 26 + 18 * std::cos(5 * a);
            const int alpha = r < edge       ? 255
                              : r < edge + 6 ? static_cast<int>(255 * (edge + 6 - r) / 6)
                                             : 0;
            return static_cast<std::uint32_t>(alpha) << 24 | Mix(255, 220, 60);
        });
        // A wide panorama of stripes to pan across.
        Paint("bmp/wide.bmp", 1200, 600, 24, [](int x, int y, int, int) {
            return ((x / 50 + y / 50) % 2) ? Mix(x / 5, 120, 255 - x / 5) : Mix(30, 30, 60);
        });
        // The eye-catch: a plain card and six lettered blocks with a rule.
        Paint("system/eye_base.bmp", 800, 600, 24,
              [](int x, int y, int, int) { return Mix(250 - y / 6, 245, 235 - x / 10); });
        Paint("system/eye_word.bmp", 460, 170, 32, [](int x, int y, int, int) {
            const bool ink =
                y < 125 ? ((x % 83) > 10 && (x % 83) < 70 && y > 15 && y < 110) : y < 150;
            return ink ? 0xFF000000u | Mix(30 + x / 4, 40, 120) : 0u;
        });
        // Eye-catch variant 4: a card and a sheet with the banner (0, 0, 440 x 144),
        // five letters from (0, 144), the emblem at (440, 0) and two marks.
        Paint("system/eye_base_05.bmp", 800, 600, 24,
              [](int x, int y, int, int) { return Mix(30, 40 + y / 8, 90 + x / 10); });
        Paint("system/eye_word_05.bmp", 546, 244, 32, [](int x, int y, int, int) {
            std::uint32_t colour = 0;
            if (y < 144 && x < 440)
                colour = (y > 20 && y < 124) ? Mix(200, 80, 40) : 0;
            else if (x >= 440 && y < 106)
                colour = std::hypot(x - 493, y - 53) < 50 ? Mix(240, 200, 40) : 0;
            else if (y >= 144 && x < 470)
                colour = ((x % 100) > 15 && (x % 100) < 85 && y > 160 && y < 230)
                             ? Mix(250, 250, 250)
                             : 0;
            else if (y >= 214 && x >= 400)
                colour = Mix(80, 220, 120);
            return colour ? 0xFF000000u | colour : 0u;
        });
        // The day logo's cards and rows (row r is day r + 1).
        Paint("system/day_base_b.bmp", 800, 600, 24,
              [](int, int y, int, int) { return Mix(10, 10, 30 + y / 10); });
        Paint("system/day_base.bmp", 800, 600, 24,
              [](int x, int, int, int) { return Mix(20, 30 + x / 20, 60); });
        auto rows = [](int x, int y, int w, int) {
            const bool ink = (x % 40) > 6 && (y % 74) > 8 && (y % 74) < 64 && x < w - 10;
            return ink ? 0xFF000000u | Mix(200, 200 - (y / 74) * 6, 80) : 0u;
        };
        Paint("system/eye_day_b.bmp", 330, 74 * 29, 32, rows);
        Paint("system/eye_day.bmp", 310, 50 * 29, 32, rows);
        Paint("system/day_logo_b.bmp", 300, 100 * 29, 32, rows);
        Paint("system/day_logo.bmp", 280, 74 * 29, 32, rows);
    }
    static std::filesystem::path ShotDir() {
        return std::filesystem::path(NORVANE_TEST_BIN_DIR "/../scene-shots");
    }
    // Each run writes its shots into a folder of its own beside ShotDir and
    // puts it in ShotDir's place at the end, so that runs at the same time
    // never delete each other's shots. A run that loses the race to another
    // leaves that run's shots, which are the same pictures.
    void OpenShots() {
        std::filesystem::create_directories(ShotDir().parent_path());
        std::string name = (ShotDir().string() + ".run-XXXXXX");
        ASSERT_NE(::mkdtemp(name.data()), nullptr);
        shots_ = name;
    }
    void TearDown() override {
        if (shots_.empty()) return;
        std::error_code ec;
        std::filesystem::remove_all(ShotDir(), ec);
        std::filesystem::rename(shots_, ShotDir(), ec);
        if (ec) std::filesystem::remove_all(shots_, ec);
    }
    std::filesystem::path shots_;
    // The picture the window shows: the back buffer, shifted by the quake,
    // over what it showed before.
    const std::vector<std::uint32_t>& Presented() {
        QuakeView quake;
        const bool quaking = StoryQuake(quake);
        ComposeWindowPicture(*g_backBuffer, quaking ? &quake : nullptr, window_);
        return window_;
    }
    std::vector<std::uint32_t> window_ = std::vector<std::uint32_t>(800 * 600);
    void Shot(const std::vector<std::uint32_t>& window, std::uint32_t ms, int mode) {
        bmp_writer::BmpImage image;
        image.width = 800;
        image.height = 600;
        image.bitCount = 24;
        image.pixels = window;
        char name[64];
        std::snprintf(name, sizeof name, "scene-%05ums-mode%02d.bmp", ms, mode);
        ASSERT_TRUE(bmp_writer::WriteBmp(shots_ / name, image));
    }
};

TEST_F(ScenePicturesTest, AStoryWithLayersQuakePanEyeCatchAndDayLogo) {
    MakePictures();
    OpenShots();
    Start("load_layer layer=0 text=\"ball.bmp\"\n"
          "layer_mask layer=0 mask=0 x=60 y=150 w=120 h=120 src_x=0 src_y=0 src_w=64 src_h=64\n"
          "layer_tween layer=0 type=1 x=560 y=120 w=180 h=180 src_x=0 src_y=0 src_w=64 src_h=64 "
          "span=90 ms=1500\n"
          "layer_wobble layer=0 sweep=90 opacity=256 ramp=600\n"
          "load_layer layer=1 text=\"star.bmp\"\n"
          "layer_mask layer=1 mask=0 x=400 y=330 w=140 h=140 src_x=0 src_y=0 src_w=96 src_h=96 "
          "angle=10 delay=300\n"
          "layer_tween layer=1 type=0 x=400 y=330 w=140 h=140 src_x=0 src_y=0 src_w=96 src_h=96 "
          "angle=370 ms=1500\n"
          "layer_wobble layer=1 sweep=90 opacity=256 ramp=400\n"
          "start_layer layer=0\n"
          "start_layer layer=1\n"
          "quake type=0 loop=1 amplitude=12 period=300\n"
          "wait_layers ms=1600\n"
          "stop_quake\n"
          "load_image surface=5 text=\"wide.bmp\"\n"
          "pan surface=5 ease=1 variant=0 from_x=0 from_y=0 to_x=400 to_y=0 ms=1200\n"
          "eye_catch variant=0\n"
          "eye_catch variant=4\n"
          "day day=3\n"
          "set_mode mode=42\n"
          "end\n");
    const std::uint32_t start = platform::TimeGetTime();
    std::uint32_t nextShot = 0;
    int shots = 0;
    bool sawShake = false;
    bool sawBall = false;
    for (int frame = 0; frame < 9000 && App().mode != 1; ++frame) {
        App().RunFrame();
        const std::uint32_t ms = platform::TimeGetTime() - start;
        const std::vector<std::uint32_t>& window = Presented();
        if (App().mode == 38) {
            const std::uint32_t shown = window[300 * 800 + 400] & 0xFFFFFF;
            if (S().quakeActive && shown != (*g_backBuffer->GetPixelPtr(400, 300) & 0xFFFFFF))
                sawShake = true;
            if (S().layers[0].alpha > 0 &&
                Rgb(g_backBuffer.get(), S().layers[0].rect[0] + S().layers[0].rect[2] / 2,
                    S().layers[0].rect[1] + S().layers[0].rect[3] / 2) !=
                    Rgb(cdib[0].get(), 10, 10))
                sawBall = true;
        }
        if (ms >= nextShot) {
            Shot(window, ms, App().mode);
            ++shots;
            nextShot += 250;
        }
        hl::AdvanceClock(16);
    }
    EXPECT_EQ(App().mode, 1); // the script ran to its end
    EXPECT_TRUE(sawShake);
    EXPECT_TRUE(sawBall);
    EXPECT_GT(shots, 40);
    // The day logo leaves the screen white.
    EXPECT_EQ(Rgb(g_backBuffer.get(), 400, 300), 0xFFFFFFu);
}

} // namespace
