#include "lib/DemoMovies.h"

#include "lib/DemoCanvas.h"
#include "lib/MpegWriter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace demo {

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kFps = 25;
constexpr int kSeconds = 5;

// A tune of one note a beat (MIDI numbers), each with a soft attack and
// release and one overtone.
double Tune(const std::vector<int>& notes, double beat, double t, double overtone) {
    const auto k = static_cast<std::size_t>(t / beat);
    const double local = t - static_cast<double>(k) * beat;
    const double f = 440.0 * std::pow(2.0, (notes[k % notes.size()] - 69) / 12.0);
    const double env = std::clamp(std::min(local / 0.02, (beat - local) / 0.08), 0.0, 1.0);
    const double w = 2 * std::numbers::pi * f * local;
    return env * (std::sin(w) + overtone * std::sin(2 * w)) / (1 + overtone);
}

// Opacity of a text that fades in from `from` over `span` seconds.
int FadeIn(double t, double from, double span) {
    return static_cast<int>(std::clamp((t - from) / span, 0.0, 1.0) * 255);
}

void Copy(const Canvas& c, std::span<std::uint32_t> rgb) {
    std::transform(c.Pixels().begin(), c.Pixels().end(), rgb.begin(),
                   [](std::uint32_t p) { return p & 0xFFFFFF; });
}

// Dawn over the sea: the sky lightens, the sun rises out of the water with
// glints moving on it, and the name fades in above.
void Opening(int index, std::span<std::uint32_t> rgb) {
    const double t = static_cast<double>(index) / kFps;
    const int n = kSeconds * kFps;
    Canvas c(kWidth, kHeight);
    c.VGradient(0, 0, kWidth, 160, Lerp(0xFF101838, 0xFF3A62B0, index, n),
                Lerp(0xFF402848, 0xFFF0A060, index, n));
    c.Disc(160, 190 - static_cast<int>(70 * t / kSeconds), 22, 0xFFD27A);
    for (int y = 160; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool glint =
                std::sin(x * 0.15 + y * 0.9 - t * 4) * std::sin(x * 0.04 + y * 0.2 + t) > 0.8;
            c.Set(x, y, glint ? 0xFFF0C890 : Lerp(0xFF1C3868, 0xFF081828, y - 160, 79));
        }
    c.TextCentred(2, kWidth, 42, "NORVANE", 36, 0x101018, FadeIn(t, 1.0, 1.5));
    c.TextCentred(0, kWidth, 40, "NORVANE", 36, 0xFFFFFF, FadeIn(t, 1.0, 1.5));
    c.TextCentred(0, kWidth, 92, "开场动画", 20, 0xFFF0D0, FadeIn(t, 2.0, 1.5));
    Copy(c, rgb);
}

// Names rising over a night sky of twinkling stars.
void Credits(int index, std::span<std::uint32_t> rgb) {
    static const std::array<const char*, 6> kLines{
        "片尾动画",      "企划  林 一舟",        "音乐  陈 默言",
        "美术  叶 南星", "程序  Norvane 开发组", "感谢游玩"};
    const double t = static_cast<double>(index) / kFps;
    Canvas c(kWidth, kHeight);
    c.VGradient(0, 0, kWidth, kHeight, 0xFF05081A, 0xFF1A2448);
    std::uint32_t seed = 12345;
    for (int k = 0; k < 40; ++k) {
        seed = seed * 1103515245 + 12345;
        const int x = static_cast<int>((seed >> 8) % kWidth);
        seed = seed * 1103515245 + 12345;
        const int y = static_cast<int>((seed >> 8) % kHeight);
        c.Disc(x, y, 1, 0xE0E8FF, static_cast<int>(150 + 100 * std::sin(t * 3 + k)));
    }
    for (std::size_t k = 0; k < kLines.size(); ++k) {
        const int y = kHeight + 50 * static_cast<int>(k) - static_cast<int>(t * 90);
        if (y < -30 || y > kHeight) continue;
        const bool heading = k == 0 || k + 1 == kLines.size();
        c.TextCentred(0, kWidth, y, kLines[k], heading ? 24 : 18, heading ? 0xFFE070 : 0xFFFFFF);
    }
    Copy(c, rgb);
}

tools::MovieSpec Spec() {
    tools::MovieSpec spec;
    spec.width = kWidth;
    spec.height = kHeight;
    spec.frames = kSeconds * kFps;
    spec.videoBitRate = 300000;
    return spec;
}

} // namespace

bool WriteDemoMovies(const std::filesystem::path& dir) {
    tools::MovieSpec opening = Spec();
    opening.picture = Opening;
    // A bright rising arpeggio over a low root.
    opening.wave = [](double t) {
        return 0.3 * Tune({72, 76, 79, 84, 79, 76}, 0.2, t, 0.3) +
               0.15 * Tune({48, 53, 55, 48}, 1.2, t, 0.0);
    };
    tools::MovieSpec credits = Spec();
    credits.picture = Credits;
    // A slow falling tune in a minor key.
    credits.wave = [](double t) {
        return 0.35 * Tune({69, 64, 65, 62, 64, 60, 62, 57}, 0.6, t, 0.6);
    };
    return tools::WriteMpegMovie(dir / "pp_op.mpg", opening) &&
           tools::WriteMpegMovie(dir / "staffroll.mpg", credits);
}

std::string OpeningScript(const std::string& firstStory) {
    return "set_mode mode=24\nchange_script text=\"" + firstStory + "\"\nend\n";
}

std::string MovieStoryTail(const std::string& storyScript) {
    // The credits start once the story's music has faded out.
    return storyScript == "c01.s" ? "wait ms=1500\nset_mode mode=50\n" : "";
}

} // namespace demo
