// Opponent 2's cut-ins in the demo game: a banner in two halves with a badge
// and dots, three falling captions and flyers; a figure that rolls, a strip,
// a side picture and a dot; the bomb strip; their sounds and lines.
#include "lib/DemoCutIns.h"

#include <array>
#include <string>

namespace demo {

namespace {

constexpr std::uint32_t kQoTone = 0x9060C0;
constexpr const char* kQoName = "维尔菲";

} // namespace

bool CutInDataQo(const ContestOutput& out) {
    Canvas sheet(800, 838, 0);
    Band(sheet, 0x7040A0, 0xB090E0, "维尔菲必杀技！");
    // The banner's two halves meet at x = 360.
    sheet.RoundRect(10, 213 + 20, 350, 173, 20, 0x6030A0, 235);
    sheet.OutlinedText(40, 213 + 70, "甜蜜", 56, kCutInInk);
    sheet.RoundRect(360, 213 + 20, 430, 173, 20, 0x8050C0, 235);
    sheet.OutlinedText(440, 213 + 70, "治愈！", 56, kCutInInk);
    sheet.Disc(442 + 52, 518 + 51, 48, 0xFFD040, 255);
    sheet.OutlinedText(442 + 30, 518 + 30, "星", 40, 0x804000);
    sheet.Disc(546 + 52, 518 + 51, 50, 0xFFFFA0, 160);
    sheet.Disc(650 + 22, 518 + 22, 20, 0xFF80C0, 255);
    sheet.Disc(694 + 22, 518 + 22, 20, 0x80E0FF, 255);
    Caption(sheet, 0, 426, 600, 92, 0xC04080, "生命回复 +30", 44);
    Caption(sheet, 0, 518, 442, 160, 0x4080C0, "盘子拿走！", 52);
    Caption(sheet, 0, 678, 442, 160, 0x40A060, "谢谢款待", 52);

    Canvas flyers(453, 234, 0);
    const std::array<std::array<int, 3>, 3> at{{{0, 213, 234}, {213, 128, 146}, {341, 112, 120}}};
    for (std::size_t k = 0; k < at.size(); ++k) {
        const int x = at[k][0], w = at[k][1], h = at[k][2];
        flyers.Disc(x + w / 2, h / 2, std::min(w, h) / 2 - 4, 0xF0C080, 230);
        flyers.TextCentred(x, w, h / 2 - 16, "大叔", 28, 0x603010);
    }

    Canvas sheet2(800, 727, 0);
    Band(sheet2, 0x603090, 0xA070D0, "维尔菲必杀技·二");
    // The figure's picture is 405 rows tall; its window of 211 rows rolls
    // from the figure's head down to the bombs it holds.
    Figure(sheet2, 100, 213, 240, 211, kQoTone, kQoName, 30);
    sheet2.VGradient(0, 213 + 211, 460, 194, Argb(230, 0x402060), Argb(230, 0x201030));
    for (int k = 0; k < 3; ++k)
        sheet2.Disc(120 + 110 * k, 213 + 330, 40, 0x202020, 255);
    sheet2.OutlinedText(140, 213 + 220, "炸弹！", 44, 0xFF6040);
    sheet2.RoundRect(460, 213, 340, 210, 16, 0x4040A0, 235);
    sheet2.OutlinedText(490, 213 + 80, "菲妮登场", 44, kCutInInk);
    sheet2.Disc(460 + 22, 423 + 22, 20, 0xFF4040, 255);
    sheet2.Fill(0, 620, 800, 107, Argb(220, 0x301040));
    sheet2.OutlinedText(40, 620 + 30, "炸弹雨 · 全部炸飞 · 炸弹雨", 40, 0xFFF0A0);

    Canvas bombs(47 * 14, 47, 0);
    for (int k = 0; k < 14; ++k) {
        const int x = 47 * k;
        if (k < 10) {
            bombs.Disc(x + 23, 8 + 3 * k, 12, 0x202020, 255);
            bombs.Disc(x + 30, 2 + 3 * k, 3, 0xFFA020, 255);
        } else {
            bombs.Disc(x + 23, 23, 8 + 4 * (k - 10), 0xFF8020, 230);
            bombs.Disc(x + 23, 23, 4 + 2 * (k - 10), 0xFFF080, 255);
        }
    }

    const auto se = [&](const char* name, double from, double to, double seconds) {
        return out.sound(std::string("se\\") + name, out.blip(from, to, seconds));
    };
    return out.picture("bmp\\qo_base.bmp", Veil(kQoTone, "维尔菲的必杀技！", "对手发动了必杀技"),
                       32) &&
           out.picture("bmp\\qo_sp_p.bmp", sheet, 32) &&
           out.picture("bmp\\zv_sp_oyaji.bmp", flyers, 32) &&
           out.picture("bmp\\qo_sp_p02.bmp", sheet2, 32) &&
           out.picture("bmp\\bom01.bmp", bombs, 32) && se("mse15.ogg", 600, 1200, 0.8) &&
           out.sound("voice\\rus_qo04.ogg", out.voiceLine(402, 0.7)) &&
           out.sound("voice\\fen0190.ogg", out.voiceLine(403, 0.7)) &&
           out.sound("voice\\vel0215.ogg", out.voiceLine(404, 0.7));
}

} // namespace demo
