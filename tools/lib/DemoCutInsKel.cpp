// Opponent 1's cut-ins in the demo game: her portrait and four numbered
// comic panels, her figure and a finale, and their sounds and lines.
#include "lib/DemoCutIns.h"

#include <array>
#include <string>

namespace demo {

namespace {

constexpr std::uint32_t kKelTone = 0x30A0A0;
constexpr const char* kKelName = "凯尔波";

// A comic panel: a frame, its number big in a corner and a word.
void Panel(Canvas& c, int x, int y, std::uint32_t tone, int number, const char* word) {
    c.RoundRect(x + 4, y + 4, 412, 205, 12, 0xFFFFFF, 250);
    c.RoundRect(x + 12, y + 12, 396, 189, 8, tone, 250);
    c.OutlinedText(x + 24, y + 20, std::to_string(number), 64, 0xFFF0A0);
    c.OutlinedText(x + 210 - Canvas::TextWidth(word, 52) / 2, y + 90, word, 52, kCutInInk);
}

} // namespace

bool CutInDataKel(const ContestOutput& out) {
    Canvas sheet(840, 852, 0);
    Band(sheet, 0x208080, 0x60C0C0, "凯尔波必杀技！");
    Figure(sheet, 80, 213, 240, 213, kKelTone, kKelName, 30);
    const std::array<const char*, 4> words{"起锅！", "连击！", "猛火！", "双倍焦！"};
    const std::array<std::uint32_t, 4> tones{0x2060C0, 0x8040C0, 0xC06020, 0xC02020};
    const std::array<std::array<int, 2>, 4> at{{{420, 213}, {0, 426}, {420, 426}, {0, 639}}};
    for (std::size_t k = 0; k < 4; ++k)
        Panel(sheet, at[k][0], at[k][1], tones[k], static_cast<int>(k) + 1, words[k]);

    Canvas sheet2(800, 639, 0);
    Band(sheet2, 0x106060, 0x40A0A0, "凯尔波必杀技·二");
    Figure(sheet2, 100, 213, 240, 213, kKelTone, kKelName, 30);
    sheet2.OutlinedText(250, 213 + 20, "加速！", 40, 0xFFF0A0);
    sheet2.VGradient(0, 426, 800, 213, Argb(230, 0x30C0C0), Argb(230, 0x104040));
    sheet2.OutlinedText(400 - Canvas::TextWidth("双倍速度·守护", 64) / 2, 426 + 70, "双倍速度·守护",
                        64, kCutInInk);

    if (!out.picture("bmp\\kel_base.bmp", Veil(kKelTone, "凯尔波的必杀技！", "对手发动了必杀技"),
                     32) ||
        !out.picture("bmp\\kel_sp_p.bmp", sheet, 32) ||
        !out.picture("bmp\\kel_sp_p02.bmp", sheet2, 32))
        return false;

    const auto se = [&](const char* name, double from, double to, double seconds) {
        return out.sound(std::string("se\\") + name, out.blip(from, to, seconds));
    };
    return se("SE290.ogg", 200, 900, 0.25) && se("se14238.ogg", 300, 1500, 0.6) &&
           se("nse_i_03.ogg", 1500, 500, 0.4) &&
           out.sound("voice\\kel0186.ogg", out.voiceLine(400, 0.7)) &&
           out.sound("voice\\kel0187.ogg", out.voiceLine(401, 0.7));
}

} // namespace demo
