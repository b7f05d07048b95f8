// Opponent 3's cut-ins in the demo game: two panels and a long strip; her
// flying words, a strip, her panel and the strip stamped over the contest;
// their sounds and lines.
#include "lib/DemoCutIns.h"

#include <array>
#include <string>

namespace demo {

namespace {

constexpr std::uint32_t kMurTone = 0xC08030;
constexpr const char* kMurName = "穆蕾莉";

} // namespace

bool CutInDataMur(const ContestOutput& out) {
    Canvas sheet(1360, 639, 0);
    Band(sheet, 0xA06020, 0xE0A060, "穆蕾莉必杀技！");
    Figure(sheet, 40, 213, 220, 213, kMurTone, kMurName, 30);
    Caption(sheet, 260, 213 + 40, 340, 130, 0x806020, "看不见！", 48);
    Figure(sheet, 640, 213, 220, 213, 0xE06030, kMurName, 30);
    Caption(sheet, 860, 213 + 40, 340, 130, 0xC04020, "标记消失", 44);
    sheet.RoundRect(0, 426 + 30, 1360, 153, 30, 0x603010, 220);
    sheet.OutlinedText(60, 426 + 80, "→ 烤好的标记全都看不见了 → 烤好的标记全都看不见了", 40,
                       0xFFF0A0);

    Canvas sheet2(900, 852, 0);
    Band(sheet2, 0x804010, 0xC08040, "穆蕾莉必杀技·二");
    Figure(sheet2, 40, 213, 220, 213, kMurTone, kMurName, 30);
    Caption(sheet2, 260, 213 + 40, 320, 130, 0xA05020, "文字风暴", 48);
    sheet2.RoundRect(0, 426 + 30, 900, 153, 30, 0x402010, 230);
    sheet2.OutlinedText(60, 426 + 80, "盖章！盖章！盖章！", 48, 0xFFF0A0);
    Figure(sheet2, 0, 639, 220, 213, 0xE06030, kMurName, 30);
    Caption(sheet2, 220, 639 + 40, 240, 130, 0xC03020, "-80", 56);

    // Ten words of 300 × 100, two a row.
    Canvas words(600, 500, 0);
    const std::array<const char*, 10> list{"焦", "烫", "快", "慢", "盖", "章", "乱", "吵", "哈", "啊"};
    const std::array<std::uint32_t, 5> tones{0xD04020, 0x2080D0, 0x40A040, 0xA040C0, 0xD0A020};
    for (int k = 0; k < 10; ++k) {
        const int x = 300 * (k % 2), y = 100 * (k / 2);
        words.RoundRect(x + 6, y + 6, 288, 88, 20, tones[static_cast<std::size_t>(k / 2)], 230);
        words.TextCentred(x, 300, y + 20, std::string(list[static_cast<std::size_t>(k)]) + "！",
                          52, kCutInInk);
    }

    const auto se = [&](const char* name, double from, double to, double seconds) {
        return out.sound(std::string("se\\") + name, out.blip(from, to, seconds));
    };
    return out.picture("bmp\\mur_base.bmp", Veil(kMurTone, "穆蕾莉的必杀技！", "对手发动了必杀技"),
                       32) &&
           out.picture("bmp\\mur_sp_p.bmp", sheet, 32) &&
           out.picture("bmp\\mur_sp_p02.bmp", sheet2, 32) &&
           out.picture("bmp\\Mur_Moji.bmp", words, 32) &&
           se("mse17.ogg", 500, 1500, 0.3) &&
           out.sound("voice\\mur0367.ogg", out.voiceLine(405, 0.7)) &&
           out.sound("voice\\mur0368.ogg", out.voiceLine(406, 0.7)) &&
           out.sound("voice\\mur0368a.ogg", out.voiceLine(407, 0.7)) &&
           out.sound("voice\\mur0368b.ogg", out.voiceLine(408, 0.7));
}

} // namespace demo
