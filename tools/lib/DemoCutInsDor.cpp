// Opponent 4's cut-ins in the demo game: her panels, two crossing pictures
// and an emblem; a panel held while she speaks, a trembling picture and a
// wavering one; their sounds and her three lines.
#include "lib/DemoCutIns.h"

#include <string>

namespace demo {

namespace {

constexpr std::uint32_t kDorTone = 0x50A050;
constexpr const char* kDorName = "多莉儿";

} // namespace

bool CutInDataDor(const ContestOutput& out) {
    Canvas sheet(1070, 852, 0);
    Band(sheet, 0x308030, 0x70C070, "多莉儿必杀技！");
    Figure(sheet, 20, 213, 220, 213, kDorTone, kDorName, 30);
    Caption(sheet, 240, 213 + 40, 280, 130, 0x307030, "慢慢来", 48);
    Figure(sheet, 540, 213, 220, 213, 0x70B040, kDorName, 30);
    Caption(sheet, 760, 213 + 40, 300, 130, 0x508020, "小火慢烤", 44);
    Caption(sheet, 0, 426, 290, 120, 0xC08020, "蜗牛", 44);
    Caption(sheet, 290, 426, 410, 150, 0xC06020, "乌龟", 56);
    sheet.Disc(700 + 105, 426 + 106, 100, 0xF0E060, 240);
    sheet.TextCentred(700, 210, 426 + 76, "慢", 64, 0x604000);
    Figure(sheet, 0, 639, 220, 213, kDorTone, kDorName, 30);
    Caption(sheet, 220, 639 + 40, 330, 130, 0x306030, "烹饪变慢！", 44);

    Canvas sheet2(800, 852, 0);
    Band(sheet2, 0x206020, 0x60A060, "多莉儿必杀技·二");
    Figure(sheet2, 120, 213, 220, 213, kDorTone, kDorName, 30);
    sheet2.OutlinedText(20, 213 + 20, "听我说……", 36, 0xFFF0A0);
    Caption(sheet2, 0, 426, 510, 213, 0x405080, "锅子锁住！", 56);
    sheet2.VGradient(0, 639, 800, 213, Argb(220, 0x60C0E0), Argb(220, 0x204060));
    sheet2.OutlinedText(400 - Canvas::TextWidth("～ 晃来晃去 ～", 56) / 2, 639 + 70,
                        "～ 晃来晃去 ～", 56, kCutInInk);

    const auto se = [&](const char* name, double from, double to, double seconds) {
        return out.sound(std::string("se\\") + name, out.blip(from, to, seconds));
    };
    return out.picture("bmp\\dor_base.bmp", Veil(kDorTone, "多莉儿的必杀技！", "对手发动了必杀技"),
                       32) &&
           out.picture("bmp\\dor_sp_p.bmp", sheet, 32) &&
           out.picture("bmp\\dor_sp_p02.bmp", sheet2, 32) && se("mse12.ogg", 800, 300, 0.4) &&
           se("mse01.ogg", 300, 800, 0.4) &&
           out.sound("voice\\dor0401.ogg", out.voiceLine(409, 0.7)) &&
           out.sound("voice\\dor0403.ogg", out.voiceLine(410, 1.2)) &&
           out.sound("voice\\dor0404.ogg", out.voiceLine(411, 1.0)) &&
           out.sound("voice\\dor0405.ogg", out.voiceLine(412, 0.8));
}

} // namespace demo
