#include "lib/DemoCutIns.h"

#include "lib/DemoCanvas.h"

#include <array>
#include <cmath>
#include <string>

namespace demo {

void Band(Canvas& c, std::uint32_t tone1, std::uint32_t tone2, const char* label) {
    for (int y = 0; y < 213; ++y)
        for (int x = 0; x < 800; ++x)
            c.Set(x, y, Argb(215, ((x + y) / 40) % 2 ? tone1 : tone2));
    c.Fill(0, 0, 800, 6, Argb(255, 0xFFFFFF));
    c.Fill(0, 213 - 6, 800, 6, Argb(255, 0xFFFFFF));
    for (int x = 10; x < 800; x += 200)
        c.OutlinedText(x, 88, label, 30, 0xFFF0A0);
}

Canvas Veil(std::uint32_t tone, const char* title, const char* subtitle) {
    Canvas c(800, 600, Argb(80, tone));
    c.Fill(0, 0, 800, 96, Argb(210, (tone >> 1) & 0x7F7F7F));
    c.Fill(0, 504, 800, 96, Argb(210, (tone >> 1) & 0x7F7F7F));
    c.OutlinedText(30, 24, title, 44, kCutInInk);
    c.OutlinedText(30, 530, subtitle, 36, 0xFFF0A0);
    return c;
}

void Caption(Canvas& c, int x, int y, int w, int h, std::uint32_t tone, const char* word,
             int size) {
    c.RoundRect(x + 4, y + 4, w - 8, h - 8, 18, 0xFFFFFF, 240);
    c.RoundRect(x + 10, y + 10, w - 20, h - 20, 14, tone, 240);
    c.OutlinedText(x + (w - Canvas::TextWidth(word, size)) / 2, y + (h - size) / 2 - 4, word, size,
                   kCutInInk);
}

namespace {

constexpr std::uint32_t kInk = kCutInInk;

// A grey-level rule mask that opens from the centre outwards in rays.
Canvas StarMask() {
    Canvas c(800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            const double dx = x - 400.0, dy = y - 300.0;
            const double r = std::hypot(dx, dy) / 500.0;
            const double ray = 0.08 * std::cos(8 * std::atan2(dy, dx));
            const double v = std::clamp(r + ray, 0.0, 1.0);
            c.Set(x, y, 0xFF000000u | static_cast<std::uint32_t>(v * 255) * 0x010101u);
        }
    return c;
}

// ------------------------------------------------------------ opponent 0

constexpr std::uint32_t kPomTone = 0xE07090;
constexpr const char* kPomName = "波米";

bool OpponentZero(const ContestOutput& out) {
    Canvas sheet(800, 639, 0);
    Band(sheet, 0xE07090, 0xF0B0C8, "波米必杀技！");
    Figure(sheet, 80, 213, 240, 213, kPomTone, kPomName, 30);
    Caption(sheet, 0, 426 + 40, 500, 140, 0xC04070, "粉红旋风！", 52);

    Canvas sheet2(1450, 639, 0);
    Band(sheet2, 0xA04060, 0xE080A0, "波米必杀技·二");
    // The long strip: a parade of balls that crosses the band.
    sheet2.RoundRect(0, 213 + 20, 1450, 173, 40, 0x803050, 220);
    for (int k = 0; k < 12; ++k) {
        const int cx = 70 + 120 * k;
        sheet2.Disc(cx, 213 + 106, 46, 0xA86030, 255);
        sheet2.Disc(cx - 14, 213 + 92, 10, 0xF0D0A0, 255);
    }
    sheet2.OutlinedText(300, 213 + 80, "章鱼烧大游行 →→→", 48, 0xFFF0A0);
    Figure(sheet2, 100, 426, 240, 213, kPomTone, kPomName, 30);
    sheet2.OutlinedText(10, 430, "全部烤焦！", 30, 0xFF6040);

    if (!out.picture("bmp\\pomi_base.bmp", Veil(kPomTone, "波米的必杀技！", "对手发动了必杀技"),
                     32) ||
        !out.picture("bmp\\pomi_sp_p.bmp", sheet, 32) ||
        !out.picture("bmp\\pomi_sp_p02.bmp", sheet2, 32))
        return false;

    // Five quick pictures of the burning.
    const std::array<const char*, 5> words{"火力全开", "翻滚", "加热", "冒烟", "烧焦！"};
    const std::array<std::uint32_t, 5> tones{0xFF802010, 0xFFA03010, 0xFFC05010, 0xFF603020,
                                             0xFF201008};
    for (int k = 0; k < 5; ++k) {
        Canvas cut(800, 600);
        cut.VGradient(0, 0, 800, 600, tones[k], 0xFF000000);
        cut.Disc(400, 300, 80 + 30 * k, 0x302018, 200);
        const std::string digit(1, static_cast<char>('1' + k));
        cut.OutlinedText(60, 40, digit, 120, 0xFFF0A0);
        cut.OutlinedText(400 - Canvas::TextWidth(words[k], 72) / 2, 260, words[k], 72, kInk);
        const std::string name = "bmp\\pom_cut0" + digit + ".bmp";
        if (!out.picture(name, cut, 24)) return false;
    }
    return true;
}

// ------------------------------------------------------------ the player's specials

constexpr std::uint32_t kOwnerTone = 0x806040;
constexpr const char* kOwnerName = "店长";

bool SpecialOne(const ContestOutput& out) {
    Canvas sheet(800, 638, 0);
    Band(sheet, 0xD0A030, 0xF0D070, "店长必杀技！");
    Figure(sheet, 10, 213, 170, 213, kOwnerTone, kOwnerName, 30);
    Figure(sheet, 380 + 170, 213, 170, 213, 0xD04040, "章鱼", 30);
    Caption(sheet, 0, 426, 420, 106, 0x3080C0, "绝不烤焦！", 44);
    Caption(sheet, 0, 532, 420, 106, 0x40A040, "必杀技·其一", 36);
    return out.picture("bmp\\gor_base.bmp", Veil(0x4070C0, "店长的必杀技！", "店长发动了必杀技"),
                       32) &&
           out.picture("bmp\\gor_sp_p.bmp", sheet, 32);
}

bool SpecialTwo(const ContestOutput& out) {
    Canvas sheet(800, 852, 0);
    Band(sheet, 0x4060C0, 0x80A0F0, "幸运转盘！");
    // Backdrop, spark, the two portraits, the shade and the two captions.
    sheet.VGradient(0, 213, 616, 213, Argb(200, 0x203060), Argb(200, 0x5070C0));
    sheet.OutlinedText(30, 213 + 20, "幸运转盘", 40, 0xFFF0A0);
    for (int r = 34; r > 0; r -= 6)
        sheet.Disc(616 + 32, 213 + 35, r, r > 20 ? 0xFFE060 : 0xFFFFFF, 255 - 4 * r);
    Figure(sheet, 60, 426, 240, 213, kOwnerTone, kOwnerName, 30);
    Figure(sheet, 364 + 60, 426, 240, 213, 0xC08030, "认真的店长", 26);
    sheet.Fill(0, 639, 364, 213, Argb(90, 0x000030));
    sheet.OutlinedText(20, 639 + 160, "气势！", 36, 0xFFE060);
    Caption(sheet, 364, 639, 370, 105, 0xC04040, "转吧！", 48);
    Caption(sheet, 364, 744, 430, 105, 0x40A060, "点击停下转盘", 36);

    // The reel: its frame spinning and stopped, the strip of five symbols,
    // and the cap with a clear window and markers at the stop row.
    Canvas reel(516, 375, 0);
    for (int look = 0; look < 2; ++look) {
        const int x = 210 * look;
        reel.RoundRect(x + 4, 4, 202, 217, 24, look ? 0x40A040 : 0xC04040, 240);
        reel.RoundRect(x + 50, 24, 110, 132, 10, 0x101010, 255);
        reel.TextCentred(x, 210, 170, look ? "停！" : "转动中", 32, kInk);
    }
    const std::array<const char*, 5> symbols{"烧", "守", "炸", "印", "锁"};
    const std::array<std::uint32_t, 5> tones{0xD04020, 0x3070D0, 0xE08020, 0x8040C0, 0x707070};
    for (int k = 0; k < 5; ++k) {
        reel.Fill(420, 75 * k, 96, 75, Argb(255, 0xF8F0E0));
        reel.RoundRect(424, 75 * k + 4, 88, 67, 10, tones[k], 255);
        reel.TextCentred(420, 96, 75 * k + 14, symbols[k], 44, kInk);
    }
    reel.Border(6, 225, 108, 130, 6, Argb(255, 0xE0E0E0));
    reel.Disc(4, 225 + 65, 8, 0xFFE060, 255);
    reel.Disc(116, 225 + 65, 8, 0xFFE060, 255);
    return out.picture("bmp\\gor_sp_p02.bmp", sheet, 32) &&
           out.picture("bmp\\gor_sp_p02_1.bmp", reel, 32);
}

bool CutInSounds(const ContestOutput& out) {
    const auto se = [&](const char* name, double from, double to, double seconds) {
        return out.sound(std::string("se\\") + name, out.blip(from, to, seconds));
    };
    if (!se("nse059.ogg", 400, 1600, 0.4) || !se("BSE034.ogg", 160, 60, 0.5) ||
        !se("TitleD_001.ogg", 900, 1800, 0.5))
        return false;
    int index = 300;
    for (const char* v : {"pom0408", "pom0409", "gor0124", "gor0125", "gor0127", "gor0128",
                          "pom0410", "pom0411", "kel0188", "kel0189", "rus_qo06", "rus_qo07",
                          "mur0369", "mur0370", "dor0406", "dor0407", "hol0407", "hol0408"})
        if (!out.sound(std::string("voice\\") + v + ".ogg", out.voiceLine(index++, 0.7)))
            return false;
    return true;
}

} // namespace

bool CutInData(const ContestOutput& out) {
    return out.picture("bmp\\mask37.bmp", StarMask(), 24) && OpponentZero(out) &&
           SpecialOne(out) && SpecialTwo(out) && CutInSounds(out) && CutInDataKel(out) &&
           CutInDataQo(out) && CutInDataMur(out) &&
           CutInDataDor(out) && CutInDataHol(out);
}

} // namespace demo
