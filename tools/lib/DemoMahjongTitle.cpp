#include "lib/DemoMahjongTitle.h"

#include "lib/DemoCanvas.h"
#include "lib/DemoContest.h"
#include "lib/DemoMahjong.h"
#include "lib/DemoSystem.h"

#include <array>
#include <cmath>
#include <string>

namespace demo {

namespace {

// The colour key of the keyed pictures: pure green with a clear fourth byte,
// which the alpha blits skip as well.
constexpr std::uint32_t kKey = 0x0000FF00;

Canvas TitleBackground() {
    Canvas c(800, 600);
    c.VGradient(0, 0, 800, 600, 0xFF0C3A24, 0xFF041A10);
    for (int k = 0; k < 14; ++k)
        c.RoundRect(30 + 56 * k, 520, 44, 60, 6, 0xF0F0E0, 60);
    return c;
}

// Eight bands of 800x75 and the alternate eighth band shown once the first
// seven heroines are beaten.
Canvas TitleBands() {
    constexpr std::uint32_t kHues[8] = {0xC04030, 0xD08030, 0xC0B040, 0x40A060,
                                        0x3090A0, 0x3060C0, 0x6040B0, 0xA04090};
    Canvas c(800, 675, 0);
    for (int k = 0; k < 8; ++k) {
        c.HGradient(0, 75 * k + 4, 800, 67, Argb(150, kHues[k]), Argb(40, kHues[k]));
        for (int t = 0; t < 10; ++t)
            c.RoundRect(20 + 80 * t, 75 * k + 14, 40, 48, 6, 0xFFFFF0, 70);
    }
    c.HGradient(0, 604, 800, 67, 0xE0F0C040, 0x60F0C040);
    c.OutlinedText(560, 620, "全员制霸", 30, 0xFFF0A0);
    return c;
}

// The menu strips: the normal form on the left, the lit form on the right.
Canvas MenuStrips() {
    const char* items[5] = {"开始游戏", "麻将规则说明", "设置", "壁纸", "退出"};
    Canvas c(624, 185, kKey);
    for (int k = 0; k < 5; ++k) {
        const int y = 37 * k;
        c.RoundRect(60, y + 3, 192, 31, 12, 0x102018, 170);
        c.TextCentred(0, 312, y + 6, items[k], 24, 0xFFFFFF);
        c.RoundRect(312 + 40, y + 2, 232, 33, 12, 0xF0C040);
        c.TextCentred(312, 312, y + 6, items[k], 24, 0x401008);
    }
    return c;
}

// The logo, its second layer (a glow) and the emblem (a tile).
Canvas Logo() {
    Canvas c(520, 690, 0);
    c.OutlinedText(190, 70, "麻将", 96, 0xFFE080);
    c.OutlinedText(250, 200, "MAHJONG", 40, 0xFFFFFF);
    c.Disc(330, 140, 130, 0xFFF0A0, 50);
    c.Ring(330, 140, 132, 4, 0xFFF0A0, 150);
    c.Fill(0, 560, 234, 130, 0);
    c.RoundRect(8, 566, 218, 118, 18, 0xF8F4E8);
    c.RoundRect(14, 572, 206, 106, 14, 0x209050, 90);
    c.TextCentred(0, 234, 585, "中", 72, 0xC01010);
    return c;
}

// The select's background: the eight cards, closed ones as question marks.
Canvas SelectBackground(int openCards) {
    Canvas c(800, 600);
    c.VGradient(0, 0, 800, 600, 0xFF2A1838, 0xFF101828);
    c.OutlinedText(40, 80, "选择对手", 40, 0xFFE0A0);
    c.Text(40, 150, "点击卡片开始对局", 22, 0xD0D0E0);
    for (int n = 1; n <= 8; ++n) {
        const int x = 359 + 214 * ((n - 1) % 2);
        const int y = 69 + 121 * ((n - 1) / 2);
        const bool open = openCards == 8 || (openCards == 7 && n < 8) || n == 2;
        c.RoundRect(x, y, 211, 118, 12, open ? 0x405878 : 0x303038);
        if (open) {
            c.Text(x + 16, y + 40, MahjongHeroineName(n - 1), 36, 0xFFFFFF);
            c.Text(x + 16, y + 86, "对手 " + std::to_string(n), 18, 0xB0C0D0);
        } else {
            c.TextCentred(x, 211, y + 38, "？", 40, 0x808088);
        }
    }
    c.RoundRect(688, 572, 111, 27, 8, 0x404858);
    c.TextCentred(688, 111, 574, "返回", 22, 0xFFFFFF);
    return c;
}

// The lit cards, the lit back button and the beaten mark, on the key colour.
Canvas SelectParts() {
    Canvas c(428, 511, 0xFF00FF00);
    for (int n = 1; n <= 8; ++n) {
        const int x = 214 * ((n - 1) % 2);
        const int y = 121 * ((n - 1) / 2);
        c.RoundRect(x, y, 211, 118, 12, 0xF0C040);
        c.RoundRect(x + 4, y + 4, 203, 110, 10, 0x6080B0);
        c.Text(x + 16, y + 40, MahjongHeroineName(n - 1), 36, 0xFFF0A0);
        c.Text(x + 16, y + 86, "对手 " + std::to_string(n), 18, 0xFFFFFF);
    }
    c.RoundRect(0, 481, 128, 28, 8, 0xF0C040);
    c.TextCentred(16, 111, 483, "返回", 22, 0x401008);
    c.RoundRect(128, 481, 76, 30, 6, 0xC02020);
    c.TextCentred(128, 76, 484, "胜利", 22, 0xFFFFFF);
    return c;
}

Canvas OpeningPicture(std::uint32_t top, std::uint32_t bottom, const char* caption) {
    Canvas c(800, 600);
    c.VGradient(0, 0, 800, 600, top, bottom);
    for (int k = 0; k < 12; ++k)
        c.Disc(60 + 64 * k, 480 + (k % 3) * 30, 18, 0xFFFFFF, 40);
    c.Fill(0, 260, 800, 80, 0xFF101018);
    c.OutlinedText(40, 40, caption, 32, 0xFFE0A0);
    return c;
}

Canvas Caption(int number) {
    const char* lines[12] = {"牌桌已经摆好",     "八位对手正在等待", "每一局都是新的开始",
                             "摸牌、打牌、听牌", "看准时机立直",     "一张牌决定胜负",
                             "自摸还是荣和",     "点数一点一点累积", "赢下她们的心",
                             "解锁每个人的故事", "最后的对手在等你", "对局，开始！"};
    Canvas c(800, 80, kKey);
    c.OutlinedText(120, 18, std::to_string(number) + ". " + lines[number - 1], 36, 0xFFFFFF);
    return c;
}

// The wipe's rule mask: diagonal stripes that open one after another.
Canvas WipeMask() {
    Canvas c(800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            const int v = ((x + y) % 100) * 255 / 100;
            c.Set(x, y, 0xFF000000u | static_cast<std::uint32_t>(v) * 0x010101u);
        }
    return c;
}

double Midi(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// A plucked arpeggio from the generator's blips.
std::vector<float> Tune(const SystemOutput& out, int root, double beat) {
    std::vector<float> music;
    for (int bar = 0; bar < 8; ++bar)
        for (int step : {0, 4, 7, 12, 7, 4})
            for (float v : out.blip(Midi(root + step + (bar % 4 == 3 ? 5 : 0)),
                                    Midi(root + step + (bar % 4 == 3 ? 5 : 0)), beat))
                music.push_back(v);
    return music;
}

} // namespace

bool MahjongTitleData(const SystemOutput& out) {
    bool ok = out.picture("bmp\\title.bmp", TitleBackground(), 24) &&
              out.picture("bmp\\title_p.bmp", TitleBands(), 32) &&
              out.picture("bmp\\title_p01.bmp", MenuStrips(), 32) &&
              out.picture("bmp\\t_moji.bmp", Logo(), 32) &&
              out.picture("bmp\\char_base.bmp", SelectBackground(1), 24) &&
              out.picture("bmp\\char_base00.bmp", SelectBackground(7), 24) &&
              out.picture("bmp\\char_base01.bmp", SelectBackground(8), 24) &&
              out.picture("bmp\\char_p.bmp", SelectParts(), 24) &&
              out.picture("bmp\\kof_op_base.bmp",
                          OpeningPicture(0xFF183050, 0xFF0A1020, "麻将 · 开场"), 24) &&
              out.picture("bmp\\kof_op_base01.bmp",
                          OpeningPicture(0xFF503018, 0xFF201008, "挑战开始"), 24) &&
              out.picture("bmp\\mask04.bmp", WipeMask(), 24);
    for (int n = 1; ok && n <= 12; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "bmp\\kof_op_m%02d.bmp", n);
        ok = out.picture(name, Caption(n), 32);
    }
    const char* calls[8] = {"vel0168", "dor0385", "fen0177", "mur0348",
                            "lis0238", "bex0829", "hol0385", "sef0416"};
    for (int k = 0; ok && k < 8; ++k)
        ok = out.sound(std::string("voice\\") + calls[k] + ".ogg", out.voiceLine(40 + k, 1.2));
    // The rules pages, on the viewer the contest's pages use.
    ok = ok && RulesPagePictures(
                   out.picture, "system\\don_m%02d.bmp", "system\\don_m_p.bmp", 642,
                   {{"牌和手牌", "一万到八万、一筒到八筒，每种十二张。", "手牌九张。"},
                    {"和牌", "三组三张相同的牌就和了。", "可以自摸，也可以荣和对手的牌。"},
                    {"立直", "听牌时可以立直，之后只能打摸到的牌。", "立直后和牌分数更高。"},
                    {"役和点数", "和牌时看组成的役计算点数。", "点数先到零的一方输掉比赛。"}});
    return ok && out.sound("se\\nse057_1.ogg", out.blip(600, 1500, 0.3)) &&
           out.sound("bgm\\p009.ogg", Tune(out, 57, 0.2)) &&
           out.sound("bgm\\c022.ogg", Tune(out, 62, 0.25)) &&
           out.sound("bgm\\c021.ogg", Tune(out, 52, 0.3));
}

} // namespace demo
