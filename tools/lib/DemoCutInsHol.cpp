// Opponent 5's cut-ins in the demo game: two panels that swing and two
// strips; her banner with a zooming strip; their sounds and lines.
#include "lib/DemoCutIns.h"

#include <string>

namespace demo {

namespace {

constexpr std::uint32_t kHolTone = 0xC04060;
constexpr const char* kHolName = "霍尔缇";

} // namespace

bool CutInDataHol(const ContestOutput& out) {
    const char* name = kHolName;
    const std::string n(name);
    Canvas sheet(900, 852, 0);
    Band(sheet, 0xA03050, 0xE07090, (n + "必杀技！").c_str());
    Figure(sheet, 10, 213, 200, 213, kHolTone, name, 28);
    Caption(sheet, 210, 213 + 50, 240, 110, 0xA02040, "左！", 52);
    Figure(sheet, 460, 213, 200, 213, 0xE06080, name, 28);
    Caption(sheet, 660, 213 + 50, 240, 110, 0x802060, "右！", 52);
    sheet.HGradient(0, 426, 800, 213, Argb(220, 0xF0A0C0), Argb(220, 0x802040));
    sheet.OutlinedText(60, 426 + 70, "盘子是我的了！", 56, kCutInInk);
    sheet.HGradient(0, 639, 800, 213, Argb(220, 0x802040), Argb(220, 0x301020));
    sheet.OutlinedText(60, 639 + 70, "偷走一盘！", 56, 0xFFF0A0);

    Canvas sheet2(800, 756, 0);
    Band(sheet2, 0x802050, 0xC06090, (n + "必杀技·二").c_str());
    sheet2.VGradient(0, 213, 616, 213, Argb(220, 0x601030), Argb(220, 0xA04070));
    sheet2.OutlinedText(30, 213 + 30, "命运转盘", 48, 0xFFF0A0);
    Figure(sheet2, 80, 426, 200, 213, kHolTone, name, 28);
    sheet2.Fill(0, 639, 800, 117, Argb(230, 0x200818));
    sheet2.OutlinedText(400 - Canvas::TextWidth("转吧，命运！", 56) / 2, 639 + 28, "转吧，命运！",
                        56, 0xFFD0E0);

    const auto se = [&](const char* file, double from, double to, double seconds) {
        return out.sound(std::string("se\\") + file, out.blip(from, to, seconds));
    };
    return out.picture("bmp\\hol_base.bmp",
                       Veil(kHolTone, (n + "的必杀技！").c_str(), "对手发动了必杀技"), 32) &&
           out.picture("bmp\\hol_sp_p.bmp", sheet, 32) &&
           out.picture("bmp\\hol_sp_p02.bmp", sheet2, 32) &&
           se("nse025_1.ogg", 700, 1400, 0.2) && se("pse119.ogg", 1000, 400, 0.5) &&
           se("nse003.ogg", 600, 1800, 0.5) &&
           out.sound("voice\\hol0403.ogg", out.voiceLine(413, 0.7)) &&
           out.sound("voice\\hol0404.ogg", out.voiceLine(414, 0.7));
}

} // namespace demo
