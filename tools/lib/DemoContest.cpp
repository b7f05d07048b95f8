#include "lib/DemoContest.h"

#include "lib/DemoCanvas.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace demo {

namespace {

// Pixels of this exact value are left out by the screens' keyed copies.
constexpr std::uint32_t kKey = 0x0000FF00;
constexpr std::uint32_t kInk = 0xFFFFFF;
constexpr std::uint32_t kLit = 0xFFE070;

struct Rival {
    const char* code;     // script and voice key
    const char* portrait; // bmp file
    const char* name;
    std::uint32_t tone;
    std::array<const char*, 4> lines; // opening, plate, burn, third plate
};

const std::array<Rival, 6> kRivals{{
    {"pom", "pomi.bmp", "波米", 0xE07090, {"pom0405", "pom0406", "pom0412", "pom0415"}},
    {"kel", "kelbo.bmp", "凯尔波", 0x50A050, {"kel0183", "kel0184", "kel0190", "kel0193"}},
    {"ux", "vel_feni.bmp", "维尔菲", 0x9060D0, {"rus_qo01", "rus_qo02", "rus_qo08", "rus_qo09"}},
    {"mur", "mureli.bmp", "穆蕾莉", 0x40A0C0, {"mur0364", "mur0365", "mur0371", "mur0374"}},
    {"dor", "dorile.bmp", "多莉儿", 0xD09030, {"dor0398", "dor0399", "dor0408", "dor0411"}},
    {"hol", "holti.bmp", "霍尔缇", 0xC04040, {"hol0400", "hol0401", "hol0409", "hol0412"}},
}};
constexpr const char* kPlayerName = "店长";

// A rounded button plate with a centred label.
void Button(Canvas& c, int x, int y, int w, int h, const char* label, int size, std::uint32_t fill,
            std::uint32_t ink, int alpha = 235) {
    c.RoundRect(x, y, w, h, std::min(10, h / 3), 0xE8D8B0, alpha);
    c.RoundRect(x + 2, y + 2, w - 4, h - 4, std::min(8, h / 3), fill, alpha);
    c.TextCentred(x, w, y + (h - size) / 2, label, size, ink);
}

} // namespace

void Figure(Canvas& c, int x, int y, int w, int h, std::uint32_t tone, const char* name, int size) {
    c.RoundRect(x + w / 6, y + h * 2 / 5, w * 2 / 3, h * 3 / 5, w / 6, tone, 255);
    c.Disc(x + w / 2, y + h / 4, std::min(w, h) / 5, 0xF0D0B8, 255);
    c.Disc(x + w / 2 - w / 14, y + h / 4 - 4, std::max(2, w / 40), 0x302020, 255);
    c.Disc(x + w / 2 + w / 14, y + h / 4 - 4, std::max(2, w / 40), 0x302020, 255);
    c.OutlinedText(x + (w - Canvas::TextWidth(name, size)) / 2, y + h * 3 / 5, name, size,
                   0xFFFFFF);
}

namespace {

// ------------------------------------------------------------ the contest

constexpr int kTile = 47;

void HoleBall(Canvas& c, int x, int y, int stage) {
    const int cx = x + 23, cy = y + 23;
    switch (stage) {
    case 1:
    case 2:
    case 3:
        c.Disc(cx, cy, 12 + 3 * stage, Lerp(0xF8F0C0, 0xF0D890, stage - 1, 2), 255);
        break;
    case 4:
        c.Disc(cx, cy, 21, 0xF0C860, 255);
        break;
    case 6:
    case 7:
        c.Disc(cx, cy, 21, stage == 6 ? 0xF0C860 : 0xE0A840, 255);
        c.Disc(cx, cy, 7, 0xD04040, 255);
        break;
    case 9:
    case 10:
        c.Disc(cx, cy, 21, stage == 9 ? 0xC08040 : 0xA86030, 255);
        if (stage == 10) c.RoundRect(cx - 12, cy - 4, 24, 8, 4, 0x502010, 255);
        break;
    default: // 5, 8, 11: burnt
        c.Disc(cx, cy, 21, 0x302018, 255);
        c.Disc(cx - 6, cy - 5, 5, 0x100808, 255);
        break;
    }
    char digits[12];
    std::snprintf(digits, sizeof digits, "%d", stage);
    c.Text(x + 2, y + 1, digits, 12, stage == 5 || stage == 8 || stage == 11 ? 0xFF8060 : 0x402010);
}

// The playfield: two pans of 5 x 5 holes, each side's buttons, the score
// and timer places and the plates.
Canvas Playfield(bool locked) {
    Canvas c(800, 600);
    c.VGradient(0, 0, 800, 600, 0xFF6A3A20, 0xFF2A1810);
    c.Fill(398, 0, 4, 600, 0xFF1A0C06);
    const char* labels[5] = {"面糊", "章鱼", "翻面", "丢弃", "上菜"};
    const int rects[5][4] = {{17, 444, 135, 522},
                             {140, 444, 259, 522},
                             {263, 444, 382, 522},
                             {24, 525, 104, 598},
                             {115, 528, 247, 598}};
    for (int side = 0; side < 2; ++side) {
        const int left = side == 0 ? 61 : 460;
        c.RoundRect(left - 14, 148, 5 * 58 + 18, 5 * 56 + 18, 20, 0x202228, 255);
        for (int h = 0; h < 25; ++h)
            c.Disc(left + 58 * (h % 5) + 23, 162 + 56 * (h / 5) + 23, 22, 0x0E0E12, 255);
        const int dx = side == 0 ? 0 : 402;
        for (int b = 0; b < 4; ++b)
            Button(c, rects[b][0] + dx, rects[b][1], rects[b][2] - rects[b][0],
                   rects[b][3] - rects[b][1], labels[b], b < 3 ? 26 : 22,
                   side == 0 ? 0x705030 : 0x504840, kInk);
        // The serve button is the plate the balls are put on.
        c.RoundRect(115 + dx, 520, 132, 78, 34, 0xE8E8E8, 255);
        c.RoundRect(121 + dx, 524, 120, 70, 30, 0xFFFFFF, 255);
        c.TextCentred(115 + dx, 132, 580, labels[4], 14, 0x805030);
    }
    Button(c, 359, 49, 82, 25, "暂停", 18, 0x404060, kInk);
    if (locked) {
        c.Fill(0, 0, 800, 600, Argb(150, 0x400000));
        c.OutlinedText(120, 300, "被封锁！", 48, 0xFF8080);
        c.OutlinedText(520, 300, "被封锁！", 48, 0xFF8080);
    }
    return c;
}

Canvas Parts() {
    Canvas c(570, 461, 0);
    // Button highlights: batter, octopus, pick, throw away, serve, pause.
    const int glow[6][4] = {{0, 0, 119, 78},  {119, 0, 119, 78}, {238, 0, 119, 78},
                            {357, 0, 80, 73}, {437, 0, 132, 70}, {437, 112, 82, 25}};
    const char* labels[6] = {"面糊", "章鱼", "翻面", "丢弃", "上菜", "暂停"};
    for (int k = 0; k < 6; ++k) {
        c.RoundRect(glow[k][0], glow[k][1], glow[k][2], glow[k][3], 10, 0xFFE060, 230);
        c.RoundRect(glow[k][0] + 3, glow[k][1] + 3, glow[k][2] - 6, glow[k][3] - 6, 8, 0xC07020,
                    240);
        const int size = k < 3 ? 26 : (k == 5 ? 18 : 22);
        c.TextCentred(glow[k][0], glow[k][2], glow[k][1] + (glow[k][3] - size) / 2, labels[k], size,
                      0xFFFFFF);
    }
    // Life bars: the player's (red, shrinking to the right end) and the
    // opponent's (blue).
    c.HGradient(0, 78, 221, 34, 0xFF801010, 0xFFF04040);
    c.HGradient(221, 78, 221, 34, 0xFF4060F0, 0xFF102080);
    // Gauge units.
    for (int u = 0; u < 10; ++u)
        c.Fill(9 * u, 112, 8, 15, Argb(255, Lerp(0x40C040, 0xF0F040, u, 9)));
    // Plate balls, ready and burnt markers, the hole cover.
    c.Disc(18, 146, 15, 0xA86030, 255);
    c.Disc(19, 179, 13, 0xA86030, 255);
    c.Ring(37 + 23, 128 + 23, 22, 3, 0x60FF60, 255);
    for (int d = -14; d <= 14; ++d) {
        c.Disc(84 + 23 + d, 128 + 23 + d, 2, 0xFF3030, 255);
        c.Disc(84 + 23 + d, 128 + 23 - d, 2, 0xFF3030, 255);
    }
    c.RoundRect(150, 130, 49, 49, 12, 0x707880, 255);
    c.Text(160, 142, "盖", 24, kInk);
    char digit[2] = {0, 0};
    for (int d = 0; d < 10; ++d) {
        digit[0] = static_cast<char>('0' + d);
        c.RoundRect(47 * d + 2, 196, 43, 57, 8, 0x101010, 180);
        c.TextCentred(47 * d, 47, 200, digit, 48, 0xFFF0A0);
        c.TextCentred(33 * d, 33, 257, digit, 30, 0xFFFFFF);
    }
    // The pause dialog and its lit buttons.
    c.RoundRect(0, 308, 212, 126, 14, 0x203050, 240);
    c.TextCentred(0, 212, 322, "要结束比赛吗？", 22, kInk);
    Button(c, 53, 378, 51, 28, "是", 20, 0x405070, kInk);
    Button(c, 121, 378, 74, 28, "否", 20, 0x405070, kInk);
    Button(c, 0, 434, 51, 27, "是", 20, 0xC07020, kLit);
    Button(c, 52, 434, 74, 27, "否", 20, 0xC07020, kLit);
    return c;
}

bool ContestPictures(const ContestOutput& out) {
    Canvas tiles(11 * kTile, kTile, 0);
    for (int s = 1; s <= 11; ++s)
        HoleBall(tiles, kTile * (s - 1), 0, s);

    Canvas icons(128, 32, 0);
    const char* tools[4] = {"糊", "锁", "章", "签"};
    const std::uint32_t toolTones[4] = {0x3070D0, 0x707070, 0xD04040, 0xC0C0C0};
    for (int k = 0; k < 4; ++k) {
        icons.Disc(32 * k + 16, 16, 14, toolTones[k], 230);
        icons.TextCentred(32 * k, 32, 5, tools[k], 20, kInk);
    }

    Canvas father(144, 99, Argb(255, 0x604020));
    Figure(father, 0, 0, 144, 99, 0x806040, kPlayerName, 22);
    Canvas names(170, 38 * 7, 0);
    Canvas specials(1164, 32 * 7, 0);
    Canvas ban(680, 574, 0);
    const auto nameRow = [&](int row, const char* name, std::uint32_t tone) {
        names.RoundRect(0, 38 * row, 170, 38, 12, tone, 220);
        names.TextCentred(0, 170, 38 * row + 7, name, 24, kInk);
        const char* sp[2] = {"必杀技一", "必杀技二"};
        for (int s = 0; s < 2; ++s)
            for (int look = 0; look < 3; ++look) {
                const std::uint32_t fill[3] = {0x303030, tone, 0xF0C040};
                Button(specials, 194 * (3 * s + look), 32 * row, 194, 32, sp[s], 20, fill[look],
                       look == 0 ? 0x909090 : kInk);
            }
    };
    nameRow(0, kPlayerName, 0x806040);
    for (int k = 0; k < 6; ++k) {
        const Rival& r = kRivals[k];
        Canvas portrait(144, 99, Argb(255, (r.tone >> 1) & 0x7F7F7F));
        Figure(portrait, 0, 0, 144, 99, r.tone, r.name, 22);
        if (!out.picture(std::string("bmp\\") + r.portrait, portrait, 32)) return false;
        nameRow(k + 1, r.name, r.tone);
    }
    Canvas ready(800, 171, 0);
    ready.HGradient(0, 0, 800, 51, Argb(200, 0x802010), Argb(200, 0xF08020));
    ready.Text(24, 12, "章鱼烧大赛", 26, kInk);
    ready.OutlinedText(30, 51 + 6, "准备", 38, 0xFFF080);
    ready.OutlinedText(180 + 80, 51 + 20, "开始！", 80, 0xFF6040);
    // Effect overlays: no burning, a harm from the opponent, a guard.
    ban.Fill(0, 0, 340, 287, Argb(70, 0x40FF80));
    ban.Fill(340, 0, 340, 287, Argb(80, 0xFF2020));
    ban.Fill(0, 287, 340, 287, Argb(70, 0x4080FF));
    ban.OutlinedText(110, 120, "不会烤焦", 30, kInk);
    ban.OutlinedText(450, 120, "受到干扰", 30, kInk);
    ban.OutlinedText(130, 407, "防护中", 30, kInk);
    Canvas status(925, 35, 0);
    const int labelAt[6][2] = {{0, 134},   {134, 134}, {269, 140},
                               {531, 132}, {663, 135}, {798, 127}};
    const char* effectNames[6] = {"不会烤焦", "焦糊加倍", "防护", "烤得慢", "看不见", "封锁"};
    for (int k = 0; k < 6; ++k)
        Button(status, labelAt[k][0], 0, labelAt[k][1], 35, effectNames[k], 20, 0x602060, kLit);

    Canvas win(800, 600, 0);
    Button(win, 0, 0, 360, 120, "胜利！", 64, 0xD08020, kInk);
    Canvas lose(800, 700, Argb(110, 0x000020));
    lose.Fill(0, 600, 800, 100, 0);
    Button(lose, 0, 600, 280, 100, "败北……", 52, 0x304060, 0xC0D0F0);

    return out.picture("bmp\\tako_base.bmp", Playfield(false), 24) &&
           out.picture("bmp\\tako_base01.bmp", Playfield(true), 24) &&
           out.picture("bmp\\kiji.bmp", tiles, 32) &&
           out.picture("bmp\\mouse_icon.bmp", icons, 32) &&
           out.picture("bmp\\tako_p.bmp", Parts(), 32) &&
           out.picture("bmp\\father.bmp", father, 32) &&
           out.picture("bmp\\name_list.bmp", names, 32) &&
           out.picture("bmp\\sp_p.bmp", specials, 32) &&
           out.picture("bmp\\rus_ready.bmp", ready, 32) &&
           out.picture("bmp\\rus_ban.bmp", ban, 32) && out.picture("bmp\\status.bmp", status, 32) &&
           out.picture("bmp\\rus_win.bmp", win, 32) && out.picture("bmp\\rus_los.bmp", lose, 32);
}

// ------------------------------------------------------------ the screens around it

bool TitlePictures(const ContestOutput& out) {
    const char* items[6] = {"故事开始", "选择对手", "比赛规则", "设置", "壁纸", "退出"};
    Canvas menu(800, 600);
    menu.VGradient(0, 0, 800, 600, 0xFF802818, 0xFFF0A050);
    menu.OutlinedText(220, 120, "章鱼烧大赛", 72, 0xFFF0C0);
    Canvas lit(288, 35 * 6, kKey);
    for (int n = 0; n < 6; ++n) {
        menu.TextCentred(256, 288, 361 + 35 * n + 5, items[n], 24, kInk);
        lit.RoundRect(0, 35 * n + 1, 288, 33, 12, 0x603010, 255);
        lit.TextCentred(0, 288, 35 * n + 5, items[n], 24, kLit);
    }
    Canvas finished(800, 600);
    finished.VGradient(0, 0, 800, 600, 0xFF301010, 0xFFC06030);
    finished.OutlinedText(220, 250, "章鱼烧大赛", 72, 0xFFF0C0);
    Canvas logo(720, 630, kKey);
    logo.RoundRect(0, 0, 480, 164, 30, 0xF07030, 255);
    logo.TextCentred(0, 480, 50, "章鱼烧", 64, kInk);
    logo.RoundRect(0, 164, 480, 86, 20, 0x4060C0, 255);
    logo.TextCentred(0, 480, 186, "TAKOYAKI CONTEST", 32, kInk);
    logo.RoundRect(0, 410, 620, 220, 40, 0xC03020, 255);
    logo.TextCentred(0, 620, 470, "大赛", 96, 0xFFF0A0);
    logo.Disc(600, 125, 118, 0xF0C060, 255);
    logo.TextCentred(480, 240, 100, "章", 48, 0x603010);
    logo.Disc(600, 330, 78, 0x60A0E0, 255);
    logo.TextCentred(480, 240, 312, "烧", 36, kInk);
    Canvas panels(490, 620, kKey);
    panels.RoundRect(0, 0, 490, 310, 30, 0x3080C0, 255);
    panels.TextCentred(0, 490, 130, "热腾腾", 48, kInk);
    panels.RoundRect(0, 310, 490, 310, 30, 0xE05050, 255);
    panels.TextCentred(0, 490, 440, "对决！", 48, kInk);
    Canvas warning(800, 600);
    warning.VGradient(0, 0, 800, 600, 0xFF101020, 0xFF303050);
    warning.TextCentred(0, 800, 220, "注意", 48, 0xFFE060);
    warning.TextCentred(0, 800, 300, "接下来的故事会直接进入第一场比赛。", 26, kInk);
    warning.TextCentred(0, 800, 340, "用鼠标倒面糊、放章鱼、翻面、上菜。", 26, kInk);
    Canvas mask(800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            mask.Set(x, y, 0xFF000000u | (std::uint32_t((x + y) * 255 / 1399) * 0x010101u));
    return out.picture("bmp\\title_base02.bmp", menu, 24) &&
           out.picture("bmp\\tako_title_p.bmp", lit, 32) &&
           out.picture("bmp\\title_base01.bmp", finished, 24) &&
           out.picture("bmp\\t_logo.bmp", logo, 32) &&
           out.picture("bmp\\sennmai.bmp", panels, 32) &&
           out.picture("bmp\\Warning_rus.bmp", warning, 24) &&
           out.picture("bmp\\mask06.bmp", mask, 24);
}

bool SelectPictures(const ContestOutput& out) {
    Canvas base(800, 600);
    base.VGradient(0, 0, 800, 600, 0xFF402010, 0xFF805030);
    base.OutlinedText(40, 60, "选择对手", 40, kInk);
    base.Text(40, 130, "赢得比赛，", 22, 0xF0E0C0);
    base.Text(40, 160, "下一位对手就会登场。", 22, 0xF0E0C0);
    Canvas cards(936, 569, kKey);
    Canvas plates(310, 94 * 6, 0);
    for (int n = 0; n < 6; ++n) {
        const int c = n % 2, r = n / 2;
        const int x = c == 0 ? 309 : 548;
        const int y = r == 0 ? 26 : (r == 1 ? 205 : 384);
        base.RoundRect(x, y, 234, 175, 16, 0x302418, 255);
        base.TextCentred(x, 234, y + 70, "？", 36, 0x706050);
        for (int look = 0; look < 2; ++look) {
            const int cx = 468 * look + 234 * c, cy = 175 * r;
            cards.RoundRect(cx, cy, 234, 175, 16, look ? 0xFFE060 : 0xD0C0A0, 255);
            cards.RoundRect(cx + 4, cy + 4, 226, 167, 14, kRivals[n].tone, 255);
            Figure(cards, cx + 60, cy + 8, 114, 160, (kRivals[n].tone >> 1) & 0x7F7F7F,
                   kRivals[n].name, 22);
        }
        plates.RoundRect(0, 94 * n, 310, 94, 20, kRivals[n].tone, 230);
        plates.TextCentred(0, 310, 94 * n + 30, kRivals[n].name, 32, kInk);
    }
    Button(cards, 0, 525, 112, 44, "已击败", 22, 0xC02020, kInk);
    Button(cards, 112, 525, 127, 35, "返回", 22, 0xC07020, kLit);
    Button(base, 671, 563, 127, 35, "返回", 22, 0x503020, kInk);
    return out.picture("bmp\\rus_c_s_base.bmp", base, 24) &&
           out.picture("bmp\\rus_s_p.bmp", cards, 32) &&
           out.picture("bmp\\rus_s_name.bmp", plates, 32);
}

bool ResultPictures(const ContestOutput& out) {
    Canvas bg(800, 600);
    bg.VGradient(0, 0, 800, 600, 0xFFF0D090, 0xFFC07040);
    for (int k = 0; k < 12; ++k)
        bg.Disc(60 + 65 * k, 300 + 80 * ((k * 7) % 3) - 80, 20, 0xFFFFFF, 50);
    // The frame's bands: 57 rows at the top, 167 at the bottom, where the
    // winner stands on a row of plates beside the word that the screen
    // waits for a click.
    Canvas frame(800, 600, kKey);
    frame.Fill(0, 0, 800, 57, Argb(255, 0x502010));
    frame.Fill(0, 433, 800, 167, Argb(255, 0x502010));
    frame.Fill(0, 57, 800, 4, Argb(255, 0xF0C060));
    frame.Fill(0, 429, 800, 4, Argb(255, 0xF0C060));
    for (int k = 0; k < 5; ++k) {
        const int x = 450 + 66 * k;
        frame.RoundRect(x - 28, 500, 56, 14, 7, 0xF0E8D8, 255);
        for (int b = 0; b < 3; ++b)
            frame.Disc(x - 16 + 16 * b, 494, 8, 0xC07830, 255);
    }
    frame.TextCentred(400, 400, 540, "点击画面继续", 26, 0xF0D8A0);
    Canvas overlay(800, 600, 0);
    for (int k = 0; k < 30; ++k)
        overlay.Disc((k * 97) % 800, 70 + (k * 53) % 350, 6 + k % 5, 0xFFF8C0, 160);
    Canvas parts(800, 270, 0);
    parts.HGradient(0, 0, 800, 80, Argb(220, 0xD02020), Argb(220, 0xF0A020));
    parts.TextCentred(0, 800, 16, "恭喜获胜！", 44, kInk);
    Button(parts, 0, 80, 214, 88, "比赛结果", 36, 0x402060, kLit);
    parts.Text(214, 80, "TAKOYAKI RESULT", 16, kInk);
    for (int i = 0; i <= 6; ++i) {
        const char* name = i == 6 ? kPlayerName : kRivals[i].name;
        Button(parts, (i % 4) * 194, 168 + 51 * (i / 4), 194, 51, name, 26,
               i == 6 ? 0x806040 : kRivals[i].tone, kInk);
    }
    for (int i = 0; i <= 6; ++i) {
        const std::uint32_t tone = i == 6 ? 0x806040 : kRivals[i].tone;
        const char* name = i == 6 ? kPlayerName : kRivals[i].name;
        // The winner is drawn at (0, 0) over the bands, standing down to the
        // bottom edge; the loser at (380, 140) under the caption that lands
        // at (380, 110) 214 x 88, so her head stays below it.
        Canvas winner(400, 600, kKey);
        Figure(winner, 20, 60, 360, 540, tone, name, 36);
        winner.OutlinedText(40, 70, "胜", 48, 0xFFE060);
        Canvas loser(300, 293, kKey);
        Figure(loser, 20, 70, 260, 223, (tone >> 1) & 0x7F7F7F, name, 28);
        loser.OutlinedText(230, 70, "负", 36, 0xA0C0FF);
        char w[40], l[40];
        std::snprintf(w, sizeof w, "bmp\\rus_win_c%02d.bmp", i);
        std::snprintf(l, sizeof l, "bmp\\rus_los_c%02d.bmp", i);
        if (!out.picture(w, winner, 32) || !out.picture(l, loser, 32)) return false;
    }
    return out.picture("bmp\\h001a.bmp", bg, 24) && out.picture("bmp\\rus_han.bmp", frame, 32) &&
           out.picture("bmp\\rus_han01.bmp", overlay, 32) &&
           out.picture("bmp\\rus_win_p.bmp", parts, 32);
}

bool RetryAndRulesPictures(const ContestOutput& out) {
    Canvas panel(800, 600, kKey);
    panel.RoundRect(150, 220, 500, 180, 24, 0x203050, 255);
    panel.TextCentred(150, 500, 250, "再比一次吗？", 30, kInk);
    Button(panel, 194, 315, 105, 58, "再来", 26, 0x405070, kInk);
    Button(panel, 519, 315, 90, 58, "标题", 26, 0x405070, kInk);
    Canvas lit(195, 58, kKey);
    Button(lit, 0, 0, 105, 58, "再来", 26, 0xC07020, kLit);
    Button(lit, 105, 0, 90, 58, "标题", 26, 0xC07020, kLit);
    if (!out.picture("bmp\\retry_base.bmp", panel, 32) || !out.picture("bmp\\retry_p.bmp", lit, 32))
        return false;

    const std::vector<RulesPage> pages = {
        {"倒面糊", "选“面糊”，点空的洞倒入面糊。", "倒完后工具会锁住一下。"},
        {"放章鱼", "面糊烤好（绿圈）时选“章鱼”点它。", "放太晚面糊会烤焦。"},
        {"翻面", "放了章鱼烤好后选“翻面”点它。", "右键可以切换工具。"},
        {"上菜", "翻面烤好后夹起来点“上菜”。", "六个一盘，一盘得一分。"},
        {"烤焦", "烤焦的会扣体力，夹起来“丢弃”。", "体力为零就输了。"},
        {"必杀技", "计量槽满了又有盘子时可以用必杀技。", "时间到时盘数多的一方获胜。"},
    };
    return RulesPagePictures(out.picture, "system\\rus_m%02d.bmp", "system\\rus_m_p.bmp", 592,
                             pages);
}

// ------------------------------------------------------------ sounds and stories

bool ContestSounds(const ContestOutput& out) {
    const auto se = [&](const char* name, double from, double to, double seconds) {
        return out.sound(std::string("se\\") + name, out.blip(from, to, seconds));
    };
    if (!se("se094.ogg", 300, 200, 0.2) || !se("se129.ogg", 700, 1400, 0.2) ||
        !se("se144.ogg", 1600, 900, 0.25) || !se("pse133.ogg", 500, 2000, 0.3) ||
        !se("SE396.ogg", 1200, 600, 0.35) || !out.sound("bgm\\n008.ogg", out.music(62, 0.16)))
        return false;
    int index = 100;
    std::vector<std::string> voices{"gor0114", "gor0116", "gor0119", "gor0120", "gor0121",
                                    "gor0122", "gor0129", "gor0131", "gor0134", "gor0135",
                                    "pom0416", "kel0194", "dor0412", "mur0375", "fen0196",
                                    "vel0221", "hol0413"};
    for (const Rival& r : kRivals)
        for (const char* line : r.lines)
            voices.push_back(line);
    for (const std::string& v : voices)
        if (!out.sound("voice\\" + v + ".ogg", out.voiceLine(index++, 0.8))) return false;
    return true;
}

std::string Line(int block, const char* speaker, const std::string& text) {
    std::string t = "text_block block=" + std::to_string(block) + "\n";
    if (speaker) t += std::string("message text=\"＃") + speaker + "\"\n";
    return t + "message text=\"" + text + "\"\n";
}

bool ContestScripts(const ContestOutput& out) {
    for (int k = 0; k < 6; ++k) {
        const Rival& r = kRivals[k];
        const int block = 700 + 10 * k;
        const std::string open = "load_image surface=1 text=\"h001a.bmp\"\n"
                                 "mask_wipe type=39 ms=800\n";
        const std::string first =
            open + Line(block, "主持人", std::string("下一位对手是") + r.name + "！") +
            Line(block + 1, r.name, "我可不会手下留情的。") + "set_mode mode=66\n";
        // A loss asks whether to play again; a win goes back to the title,
        // where the next opponent's card is open now.
        const std::string lost = open + Line(block + 2, r.name, "这次是我赢了！") +
                                 Line(block + 3, "主持人", "要再挑战一次吗？") +
                                 "set_mode mode=69\n";
        const std::string won = open + Line(block + 4, r.name, "……输给你了。") +
                                Line(block + 5, "主持人", "漂亮！向下一位对手前进吧！") +
                                "set_mode mode=65\n";
        const std::string key = std::string("rus_") + r.code;
        if (!out.script(key + "_1.s", first) || !out.script(key + "_2.s", lost) ||
            !out.script(key + "_3.s", won))
            return false;
    }
    return true;
}

} // namespace

bool ContestData(const ContestOutput& out) {
    return ContestPictures(out) && TitlePictures(out) && SelectPictures(out) &&
           ResultPictures(out) && RetryAndRulesPictures(out) && ContestSounds(out) &&
           ContestScripts(out);
}

bool RulesPagePictures(const PictureOut& picture, const char* pageFormat, const char* buttonsName,
                       int firstButtonLeft, const std::vector<RulesPage>& pages) {
    const int count = static_cast<int>(pages.size());
    // The page lies at (24, 14) on the screen: its buttons are drawn where
    // the viewer's rectangles are.
    const int buttonX = firstButtonLeft - 24;
    for (int p = 0; p < count; ++p) {
        Canvas page(752, 572, kKey);
        page.RoundRect(0, 0, 752, 572, 24, 0x2A2A40, 255);
        char title[96];
        std::snprintf(title, sizeof title, "规则 %d / %d  %s", p + 1, count, pages[p].title);
        page.Text(40, 30, title, 32, kLit);
        page.Text(40, 140, pages[p].first, 26, kInk);
        page.Text(40, 190, pages[p].second, 26, kInk);
        for (int n = 0; n < count; ++n) {
            char digit[2] = {static_cast<char>('1' + n), 0};
            Button(page, buttonX + 25 * n, 4, 21, 21, digit, 16, n == p ? 0xC07020 : 0x405070,
                   kInk);
        }
        Button(page, 649, 549, 68, 18, "关闭", 14, 0x405070, kInk);
        char name[40];
        std::snprintf(name, sizeof name, pageFormat, p + 1);
        if (!picture(name, page, 32)) return false;
    }
    Canvas buttons(21 * count, 39, kKey);
    Button(buttons, 0, 0, 68, 18, "关闭", 14, 0xC07020, kLit);
    for (int n = 0; n < count; ++n) {
        char digit[2] = {static_cast<char>('1' + n), 0};
        Button(buttons, 21 * n, 18, 21, 21, digit, 16, 0xC07020, kLit);
    }
    return picture(buttonsName, buttons, 32);
}

} // namespace demo
