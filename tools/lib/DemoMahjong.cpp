#include "lib/DemoMahjong.h"

#include "lib/DemoCanvas.h"
#include "mahjong/MahjongGame.h"
#include "mahjong/MahjongYaku.h"

#include <string_view>

namespace demo {

namespace {

constexpr std::uint32_t kInk = 0xFFFFFF;
constexpr std::uint32_t kGold = 0xFFD860;

struct Heroine {
    const char* code;
    const char* name;
    std::uint32_t tone;
};

constexpr std::array<Heroine, kMahjongHeroines> kHeroines{{
    {"vel", "薇尔", 0xD05A78},
    {"dor", "朵拉", 0x5A8AD0},
    {"fen", "芬", 0x58A860},
    {"mur", "穆尔", 0xA070C8},
    {"lis", "莉丝", 0xE09040},
    {"bex", "贝丝", 0x40A0A8},
    {"hol", "荷莉", 0xC8B040},
    {"sef", "塞芙", 0x8A6A50},
}};

const char* const kNumbers[8] = {"一", "二", "三", "四", "五", "六", "七", "八"};

bool IsCircles(int kind) {
    return kind >= 8;
}

// One tile face: the number on top, the suit below, red for characters and
// blue for circles, and the kind's index small in the corner.
void TileFace(Canvas& c, int x, int y, int w, int h, int kind, std::uint32_t paper) {
    c.RoundRect(x + 1, y + 1, w - 2, h - 2, 7, 0x404040, 255);
    c.RoundRect(x + 3, y + 3, w - 6, h - 6, 6, paper, 255);
    const std::uint32_t ink = IsCircles(kind) ? 0x2050B0 : 0xB02020;
    const int big = h * 2 / 5;
    c.TextCentred(x, w, y + h / 10, kNumbers[kind % 8], big, ink);
    c.TextCentred(x, w, y + h / 10 + big + h / 20, IsCircles(kind) ? "筒" : "万", big * 3 / 4, ink);
}

Canvas Tiles(int variant) {
    Canvas c(kMahjongKinds * 69, 520, 0);
    for (int k = 0; k < kMahjongKinds; ++k) {
        TileFace(c, 69 * k, 0, 69, 109, k, 0xFAF6E8);
        TileFace(c, 55 * k, 382, 55, 69, k, 0xF4F0E0);
        TileFace(c, 55 * k, 451, 55, 69, k, 0xF0E4C8);
    }
    const std::uint32_t back = variant == 0 ? 0x2A7A4A : 0x2A4A9A;
    c.RoundRect(1, 301, 50, 80, 7, 0x303030, 255);
    c.RoundRect(3, 303, 46, 76, 6, back, 255);
    c.Ring(26, 341, 14, 3, 0xE8E0C0, 200);
    return c;
}

Canvas Table(int variant) {
    const std::uint32_t top = variant == 0 ? 0xFF1E5A3A : 0xFF1E3A5A;
    const std::uint32_t bottom = variant == 0 ? 0xFF0E3A22 : 0xFF0E223A;
    Canvas c(800, 600);
    c.VGradient(0, 0, 800, 600, top, bottom);
    // The discard fields of both sides and the score boxes.
    c.RoundRect(8, 100, 518, 190, 12, 0x000000, 50);
    c.RoundRect(8, 290, 518, 194, 12, 0x000000, 70);
    c.RoundRect(612, 314, 138, 42, 8, 0x000000, 110);
    c.RoundRect(612, 416, 138, 42, 8, 0x000000, 110);
    c.Text(540, 324, "点数", 20, 0xC0E0C8);
    c.Text(540, 426, "点数", 20, 0xC0E0C8);
    c.RoundRect(640, 480, 94, 120, 10, 0xFFFFFF, 30);
    c.Text(650, 462, "摸牌", 16, 0xC0E0C8);
    return c;
}

Canvas SystemSheet() {
    Canvas c(353, 408, 0);
    c.RoundRect(0, 0, 265, 250, 14, 0xC8A050, 255);
    // Clear the frame's inside again: a ring of 6 px stays.
    for (int y = 6; y < 244; ++y)
        for (int x = 6; x < 259; ++x)
            c.Set(x, y, 0);
    for (int d = 0; d < 10; ++d)
        c.OutlinedText(21 * d + 4, 252, std::to_string(d), 26, kInk);
    c.Disc(282, 17, 16, 0xC03030, 255);
    c.TextCentred(265, 34, 5, "庄", 22, kInk);
    c.RoundRect(266, 36, 68, 30, 8, 0xFFFFFF, 230);
    c.Disc(300, 51, 5, 0xD02020, 255);
    c.Text(272, 41, "立", 20, 0x202020);
    c.Text(310, 41, "直", 20, 0x202020);
    for (int row = 2; row < 12; ++row) {
        const bool player = row < 4;
        const std::uint32_t tone = player ? (row == 2 ? 0x3060A0 : 0x305080)
                                          : kHeroines[static_cast<std::size_t>(row - 4)].tone;
        c.RoundRect(266, 34 * row + 1, 86, 32, 10, tone, 235);
        c.TextCentred(265, 88, 34 * row + 5,
                      player ? "玩家" : kHeroines[static_cast<std::size_t>(row - 4)].name, 22,
                      kInk);
    }
    return c;
}

Canvas Portrait(const Heroine& h, bool lost) {
    Canvas c(254, 246);
    c.VGradient(0, 0, 254, 246, Argb(255, lost ? 0x404858 : 0xF0E8E0),
                Argb(255, lost ? 0x202430 : (h.tone | 0x404040)));
    c.RoundRect(57, 150, 140, 110, 40, h.tone, 255);
    c.Disc(127, 100, 52, 0xF0D0B8, 255);
    c.RoundRect(75, 40, 104, 36, 18, (h.tone >> 1) & 0x7F7F7F, 255);
    c.Disc(108, 98, 5, 0x302020, 255);
    c.Disc(146, 98, 5, 0x302020, 255);
    if (lost) c.Text(116, 118, "…", 24, 0x302020);
    c.OutlinedText(10, 210, h.name, 26, kInk);
    return c;
}

// A translucent panel with a word in large outlined glyphs.
Canvas Banner(int w, int h, const char* word, int size, std::uint32_t tone, const char* small) {
    Canvas c(w, h, 0);
    c.RoundRect(0, 0, w, h, 30, tone, 235);
    c.RoundRect(8, 8, w - 16, h - 16, 24, 0xFFFFFF, 40);
    c.OutlinedText((w - Canvas::TextWidth(word, size)) / 2, (h - size) / 2 - (small ? 16 : 0), word,
                   size, kGold);
    if (small) c.TextCentred(0, w, h / 2 + size / 2, small, 24, kInk);
    return c;
}

// A call menu: the question and the two buttons, their lit looks below.
// The panel stands at (588, 376), so its last four columns would fall past
// the screen's right edge: the plate keeps to the first 212, opaque over
// the scores it covers.
Canvas CallMenu(const char* question) {
    Canvas c(216, 168, 0);
    c.RoundRect(0, 0, 212, 133, 14, 0x1C2C50, 255);
    c.RoundRect(2, 2, 208, 129, 12, 0x34446A, 255);
    c.TextCentred(0, 212, 22, question, 24, kInk);
    const int x[2] = {25, 104};
    const int w[2] = {63, 91};
    const char* labels[2] = {"是", "否"};
    for (int k = 0; k < 2; ++k) {
        c.RoundRect(x[k], 75, w[k], 35, 10, 0x304878, 230);
        c.TextCentred(x[k], w[k], 81, labels[k], 22, kInk);
        c.RoundRect(63 * k, 133, w[k], 35, 10, 0x806020, 240);
        c.TextCentred(63 * k, w[k], 139, labels[k], 22, kGold);
    }
    return c;
}

std::string YakuName(int flag) {
    static const char* const kFixed[5] = {"自摸", "一发", "立直", "全筒", "全万"};
    static const char* const kShapes[16] = {"春风", "夏雨", "秋月", "冬雪", "海潮", "山岚",
                                            "星河", "灯火", "花影", "竹声", "松涛", "云门",
                                            "双龙", "双凤", "双鹤", "双鲤"};
    if (flag < 5) return kFixed[flag];
    if (flag <= 20) return kShapes[flag - 5];
    return "九莲";
}

// The kinds of the first hand that makes combination `flag` (5 to 36).
MahjongTripletKinds ShapeOf(int flag) {
    for (std::uint8_t a = 0; a < kMahjongKinds; ++a)
        for (std::uint8_t b = a; b < kMahjongKinds; ++b)
            for (std::uint8_t c = b; c < kMahjongKinds; ++c) {
                const MahjongTripletKinds k{a, b, c};
                if (ShapeYaku(k) == flag) return k;
                MahjongYakuFlags flags{};
                MarkYaku(k, {}, flags);
                if (flag > 20 && flags[static_cast<std::size_t>(flag)]) return k;
            }
    return {};
}

Canvas YakuStrips() {
    Canvas c(463, 47 * kMahjongYakuCount, 0);
    for (int f = 0; f < kMahjongYakuCount; ++f) {
        const int y = 47 * f;
        c.RoundRect(0, y + 2, 463, 43, 12, 0x402810, 210);
        c.RoundRect(2, y + 4, 459, 39, 10, 0xFFE0A0, 40);
        c.OutlinedText(16, y + 9, YakuName(f), 26, kGold);
        if (f >= 5) {
            const MahjongTripletKinds k = ShapeOf(f);
            c.Text(130, y + 13,
                   MahjongTileName(k.a) + " " + MahjongTileName(k.b) + " " + MahjongTileName(k.c),
                   20, kInk);
        }
        const std::string points = std::to_string(g_mahjongYakuPoints[static_cast<std::size_t>(f)]);
        c.Text(447 - Canvas::TextWidth(points + "点", 22), y + 12, points + "点", 22, kInk);
    }
    return c;
}

Canvas TotalDigits() {
    Canvas c(270, 39, 0);
    for (int d = 0; d < 10; ++d)
        c.OutlinedText(27 * d + 3, 2, std::to_string(d), 34, kGold);
    return c;
}

Canvas TotalFrame() {
    Canvas c(394, 66, 0);
    c.RoundRect(0, 0, 394, 66, 16, 0x402810, 220);
    c.OutlinedText(20, 18, "合计", 28, kInk);
    c.Text(346, 40, "点", 20, kInk);
    return c;
}

Canvas Room() {
    Canvas c(800, 600);
    c.VGradient(0, 0, 800, 600, 0xFF5A4030, 0xFF2A1A10);
    c.Fill(0, 380, 800, 220, Argb(255, 0x3A2A1A));
    c.RoundRect(180, 300, 440, 160, 20, 0x1E5A3A, 255);
    c.RoundRect(190, 310, 420, 140, 16, 0x2A7A4A, 255);
    for (int k = 0; k < 6; ++k)
        c.RoundRect(250 + 52 * k, 350, 44, 60, 6, 0xFAF6E8, 255);
    return c;
}

// ---------------------------------------------------------------- the match's menu

// The colour key of the keyed pictures: pure green with a clear fourth byte.
constexpr std::uint32_t kKey = 0x0000FF00;

std::uint32_t MenuTone(int variant) {
    return variant == 0 ? 0x1E4A34 : 0x1E344A;
}

// The menu frame over the match: a screen-door shade (every other pixel
// left out) and a plate behind the items on the right.
Canvas MenuFrame(int variant) {
    Canvas c(800, 600, kKey);
    for (int y = 0; y < 600; ++y)
        for (int x = (y % 2); x < 800; x += 2)
            c.Set(x, y, 0xFF101418);
    // Wide enough to hide the item lines under the end question, and flush
    // with the screen's right edge: its right corners lie past it.
    c.RoundRect(436, 150, 400, 206, 16, MenuTone(variant), 255);
    c.RoundRect(442, 156, 400, 194, 12, 0xFFFFFF, 30);
    c.OutlinedText(476, 160, "对局菜单", 24, kGold);
    return c;
}

// The panel that slides in from the left edge.
Canvas MenuSidePanel() {
    Canvas c(150, 600);
    c.VGradient(0, 0, 150, 600, 0xFF3A2A18, 0xFF140C06);
    c.Fill(142, 0, 8, 600, Argb(255, 0xC8A050));
    const char* glyphs[4] = {"麻", "将", "菜", "单"};
    for (int k = 0; k < 4; ++k)
        c.OutlinedText(35, 120 + 90 * k, glyphs[k], 72, kGold);
    return c;
}

struct MenuItem {
    const char* text;  // ends where the items' hit rectangles end
    const char* label; // what the label strip says
};
constexpr std::array<MenuItem, 4> kMenuItems{{
    {"役一览", "查看所有的役"},
    {"规则说明", "阅读麻将规则"},
    {"游戏设置", "调整音量等设置"},
    {"结束", "结束这场对局"},
}};

// Each item's row of 36: the label strip at x 0, the normal text at 170, the
// lit text at 295; the item line at (60, 144). The texts are drawn at x 673:
// their plates end eight pixels short of the screen's edge, the words inside.
Canvas MenuParts(int variant) {
    Canvas c(420, 147, kKey);
    for (std::size_t n = 0; n < kMenuItems.size(); ++n) {
        const MenuItem& item = kMenuItems[n];
        const int y = 36 * static_cast<int>(n);
        const int textX = 113 - Canvas::TextWidth(item.text, 18);
        c.RoundRect(0, y + 3, 170, 30, 10, 0x402810, 255);
        c.Text(14, y + 9, std::string("→") + item.label, 16, kGold);
        c.RoundRect(170, y + 2, 119, 32, 8, (MenuTone(variant) >> 1) & 0x7F7F7F, 255);
        c.Text(170 + textX, y + 10, item.text, 18, kInk);
        c.RoundRect(295, y + 2, 119, 32, 8, 0xF0C040, 255);
        c.Text(295 + textX, y + 10, item.text, 18, 0x401008);
    }
    c.HGradient(60, 144, 360, 3, 0xFFFFE080, 0xFFA07020);
    return c;
}

constexpr int kListPages = 8;
constexpr int kPerPage = 5;

// The list frame: a plate around the page, the page tabs 1 to 8 and the
// close button (two pixels lower in the first set).
Canvas ListFrame(int variant) {
    Canvas c(800, 600, kKey);
    c.RoundRect(88, 40, 634, 552, 18, MenuTone(variant), 255);
    c.OutlinedText(112, 52, "役一览", 28, kGold);
    for (int i = 0; i < kListPages; ++i) {
        c.RoundRect(507 + 28 * i, 54, 24, 24, 5, 0x102018, 255);
        c.TextCentred(507 + 28 * i, 24, 57, std::to_string(i + 1), 18, kInk);
    }
    c.Text(112, 556, "右键返回对局", 18, 0xC0D0C8);
    const int closeY = variant == 1 ? 558 : 560;
    c.RoundRect(654, closeY, 65, 18, 5, 0x102018, 255);
    c.TextCentred(654, 65, closeY + 1, "关闭", 16, kInk);
    return c;
}

// The tab marks: the current page's at (28p, 0), the lit one at (28p, 24);
// the lit close button at (0, 48).
Canvas ListMarks() {
    Canvas c(224, 66, kKey);
    for (int p = 0; p < kListPages; ++p) {
        c.RoundRect(28 * p, 0, 28, 24, 5, 0xF0C040, 255);
        c.TextCentred(28 * p, 28, 3, std::to_string(p + 1), 18, 0x401008);
        c.RoundRect(28 * p, 24, 28, 24, 5, 0xFFFFFF, 255);
        c.TextCentred(28 * p, 28, 27, std::to_string(p + 1), 18, 0x2050B0);
    }
    c.RoundRect(0, 48, 65, 18, 5, 0xF0C040, 255);
    c.TextCentred(0, 65, 49, "关闭", 16, 0x401008);
    return c;
}

const char* YakuHint(int flag) {
    static const char* const kHints[5] = {"自己摸到和牌", "立直后很快就和牌", "听牌时宣言立直",
                                          "三组都是筒子", "三组都是万子"};
    return flag < 5 ? kHints[flag] : "";
}

// One page of the combination list: five combinations with their triplets
// and points. The hidden page shows only that something is there.
Canvas ListPage(int page, bool hidden) {
    Canvas c(600, 450);
    c.VGradient(0, 0, 600, 450, 0xFFF8F0DC, 0xFFE8DCC0);
    c.Text(20, 12, "第" + std::to_string(page + 1) + "页 / 共8页", 20, 0x604020);
    for (int r = 0; r < kPerPage; ++r) {
        const int flag = kPerPage * page + r;
        if (flag >= kMahjongYakuCount) break;
        const int y = 48 + 80 * r;
        c.RoundRect(10, y, 580, 74, 10, 0xFFFFFF, 120);
        if (hidden) {
            c.Text(24, y + 22, "？？？", 26, 0x806040);
            c.Text(200, y + 26, "在故事中解锁", 20, 0x806040);
            continue;
        }
        c.Text(24, y + 22, YakuName(flag), 26, 0x402010);
        if (flag < 5) {
            c.Text(160, y + 26, YakuHint(flag), 20, 0x403020);
        } else {
            const MahjongTripletKinds k = ShapeOf(flag);
            int x = 160;
            for (int kind : {k.a, k.b, k.c}) {
                TileFace(c, x, y + 6, 44, 62, kind, 0xFAF6E8);
                x += 50;
            }
            c.Text(320, y + 26,
                   MahjongTileName(k.a) + "·" + MahjongTileName(k.b) + "·" + MahjongTileName(k.c),
                   18, 0x403020);
        }
        const std::string points =
            std::to_string(g_mahjongYakuPoints[static_cast<std::size_t>(flag)]) + "点";
        c.Text(574 - Canvas::TextWidth(points, 22), y + 24, points, 22, 0xA02010);
    }
    return c;
}

// The end question, and one confirmation for each of its answers, side by
// side; below them the lit buttons of each panel.
Canvas EndPanels(int variant) {
    Canvas c(636, 182, kKey);
    const char* questions[3] = {"要结束对局吗？", "真的要放弃对局吗？", "真的要退出游戏吗？"};
    for (int n = 0; n < 3; ++n) {
        const int x = 212 * n;
        c.RoundRect(x, 0, 212, 126, 14, MenuTone(variant), 255);
        c.RoundRect(x + 3, 3, 206, 120, 11, 0xFFFFFF, 30);
        c.TextCentred(x, 212, n == 0 ? 4 : 24, questions[n], 18, kInk);
        if (n == 0) {
            const char* answers[2] = {"回到麻将标题", "退出游戏"};
            const int widths[2] = {156, 137};
            for (int b = 0; b < 2; ++b) {
                c.RoundRect(46, 26 + 45 * b, widths[b], 25, 6, 0x102018, 255);
                c.TextCentred(46, widths[b], 29 + 45 * b, answers[b], 18, kInk);
                c.RoundRect(0, 126 + 25 * b, 156, 25, 6, 0xF0C040, 255);
                c.TextCentred(0, widths[b], 129 + 25 * b, answers[b], 18, 0x401008);
            }
            continue;
        }
        const char* answers[2] = {"是", "否"};
        const int lefts[2] = {53, 121};
        const int widths[2] = {51, 74};
        for (int b = 0; b < 2; ++b) {
            c.RoundRect(x + lefts[b], 70, widths[b], 28, 6, 0x102018, 255);
            c.TextCentred(x + lefts[b], widths[b], 73, answers[b], 20, kInk);
            c.RoundRect(x, 126 + 28 * b, widths[b], 28, 6, 0xF0C040, 255);
            c.TextCentred(x, widths[b], 129 + 28 * b, answers[b], 20, 0x401008);
        }
    }
    return c;
}

bool MenuPictures(const MahjongOutput& out) {
    const auto& picture = out.media.picture;
    if (!picture("bmp\\sys_moji.bmp", MenuSidePanel(), 32)) return false;
    for (int v = 0; v < 2; ++v) {
        auto named = [v](const char* form) {
            char name[40];
            std::snprintf(name, sizeof name, form, v);
            return std::string(name);
        };
        if (!picture(named("bmp\\sys_base%02d.bmp"), MenuFrame(v), 32) ||
            !picture(named("bmp\\sys_p%02d.bmp"), MenuParts(v), 32) ||
            !picture(named("bmp\\a_list%02d.bmp"), ListFrame(v), 32) ||
            !picture(named("bmp\\list_prats%02d.bmp"), ListMarks(), 32) ||
            !picture(named("bmp\\end_p%02d.bmp"), EndPanels(v), 32) ||
            !picture(named("bmp\\list_p%02d_03s.bmp"), ListPage(3, true), 24))
            return false;
        for (int p = 0; p < kListPages; ++p) {
            char name[40];
            std::snprintf(name, sizeof name, "bmp\\list_p%02d_%02d.bmp", v, p);
            if (!picture(name, ListPage(p, false), 24)) return false;
        }
    }
    return true;
}

std::string Quoted(std::string_view s) {
    std::string q;
    q.reserve(s.size() + 2);
    q += '"';
    q += s;
    q += '"';
    return q;
}

std::string Bare(const char* path) {
    const std::string_view p(path);
    return std::string(p.substr(p.find('\\') + 1));
}

// A heroine script: her lines over the mahjong room, then `tail`.
std::string HeroineScript(const Heroine& h, int block, const char* voice,
                          const std::vector<const char*>& lines, const std::string& tail) {
    std::string t;
    t += "load_image surface=1 text=\"bg_kof.bmp\"\n";
    t += "mask_wipe type=39 ms=800\n";
    bool first = true;
    for (const char* line : lines) {
        t += "text_block block=" + std::to_string(block++) + "\n";
        t += "message text=" + Quoted(std::string("＃") + h.name) + "\n";
        if (first) t += "play_voice loop=0 text=" + Quoted(Bare(voice)) + "\n";
        first = false;
        t += "message text=" + Quoted(line) + "\n";
    }
    return t + tail;
}

bool Scripts(const MahjongOutput& out) {
    for (std::size_t i = 0; i < kHeroines.size(); ++i) {
        const Heroine& h = kHeroines[i];
        const int block = 400 + 10 * static_cast<int>(i);
        const std::string prefix = std::string("kof_") + h.code;
        if (!out.script(prefix + "_1.s", HeroineScript(h, block, g_mahjongDealVoices[i],
                                                       {"来打一局吧。九张牌，凑齐三组刻子就算赢。",
                                                        "输了可不许哭哦。"},
                                                       "erase_window\nset_mode mode=64\nend\n")) ||
            !out.script(prefix + "_2.s",
                        HeroineScript(h, block + 3, g_mahjongPlayerTsumoVoices[i],
                                      {"……是我输了。下次我不会再手下留情。"}, "end\n")) ||
            !out.script(prefix + "_3.s", HeroineScript(h, block + 6, g_mahjongLoseVoices[i],
                                                       {"嘿嘿，是我赢了！再来挑战吧。"}, "end\n")))
            return false;
    }
    return true;
}

bool Pictures(const MahjongOutput& out) {
    const auto& picture = out.media.picture;
    for (int v = 0; v < 2; ++v) {
        char name[32];
        std::snprintf(name, sizeof name, "bmp\\taku%02d.bmp", v);
        if (!picture(name, Table(v), 24)) return false;
        std::snprintf(name, sizeof name, "bmp\\hai%02d.bmp", v);
        if (!picture(name, Tiles(v), 32)) return false;
        std::snprintf(name, sizeof name, "bmp\\char_%02d_l.bmp", v);
        if (!picture(name, Portrait(kHeroines[static_cast<std::size_t>(v)], true), 32))
            return false;
    }
    for (std::size_t i = 0; i < kHeroines.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "bmp\\char_l_%02zu.bmp", i + 1);
        if (!picture(name, Portrait(kHeroines[i], false), 32)) return false;
        std::snprintf(name, sizeof name, "bmp\\char_b_%02zu.bmp", i + 1);
        if (!picture(name, Portrait(kHeroines[i], false), 24)) return false;
    }
    return picture("bmp\\system.bmp", SystemSheet(), 32) &&
           picture("bmp\\ryukyoku.bmp", Banner(480, 280, "流局", 72, 0x203050, "无人和牌"), 32) &&
           picture("bmp\\riich_menu.bmp", CallMenu("立直吗？"), 32) &&
           picture("bmp\\ron_menu.bmp", CallMenu("荣和吗？"), 32) &&
           picture("bmp\\tumo_menu.bmp", CallMenu("自摸吗？"), 32) &&
           picture("bmp\\riich.bmp", Banner(590, 350, "立直", 110, 0x802020, nullptr), 32) &&
           picture("bmp\\tumo.bmp", Banner(664, 442, "自摸", 130, 0x206040, nullptr), 32) &&
           picture("bmp\\ron.bmp", Banner(664, 442, "荣和", 130, 0x602060, nullptr), 32) &&
           picture("bmp\\total_num.bmp", TotalDigits(), 32) &&
           picture("bmp\\total.bmp", TotalFrame(), 32) &&
           picture("bmp\\tiles.bmp", YakuStrips(), 32) &&
           picture("bmp\\lose.bmp", Banner(560, 230, "败北", 96, 0x303040, "点数用尽了"), 32) &&
           picture("bmp\\win.bmp", Banner(600, 280, "胜利", 110, 0x905010, "对手的点数用尽了"),
                   32) &&
           picture("bmp\\bg_kof.bmp", Room(), 24) && MenuPictures(out);
}

bool Sounds(const MahjongOutput& out) {
    const auto& sound = out.media.sound;
    if (!sound("se\\hai01.ogg", out.media.blip(700, 500, 0.08)) ||
        !sound("se\\hai02.ogg", out.media.blip(1000, 650, 0.07)))
        return false;
    std::vector<const char*> music(g_mahjongBgm.begin(), g_mahjongBgm.end());
    music.insert(music.end(), {"bgm\\c011.ogg", "bgm\\p007.ogg", "bgm\\c010.ogg"});
    int root = 52;
    for (const char* m : music) {
        // "n007.ogg" is one of the title's tracks already.
        if (std::string_view(m) == "bgm\\n007.ogg") continue;
        root += 2;
        if (!sound(m, out.music(root, {{0, 4, 7}, {-5, -1, 2}}, 0.12))) return false;
    }
    int index = 200;
    // Short lines and loops: the demo is written again for every test
    // binary, and these are many.
    auto voice = [&](const char* name) { return sound(name, out.media.voiceLine(index++, 0.3)); };
    for (std::size_t i = 0; i < kMahjongHeroines; ++i) {
        for (const MahjongHeroineNames* table :
             {&g_mahjongDealVoices, &g_mahjongDrawVoices, &g_mahjongRiichiMenuVoices,
              &g_mahjongCpuRiichiVoices, &g_mahjongCpuTsumoVoices, &g_mahjongCpuRonVoices,
              &g_mahjongPlayerTsumoVoices, &g_mahjongLoseVoices})
            if (!voice((*table)[i])) return false;
        for (const char* line : g_mahjongTurnVoices[i])
            if (!voice(line)) return false;
    }
    for (int f = 0; f < kMahjongYakuCount; ++f) {
        const std::string_view name = YakuVoice(f);
        if (!name.empty() && !voice(std::string(name).c_str())) return false;
    }
    return true;
}

} // namespace

const char* MahjongHeroineName(int heroine) {
    return kHeroines[static_cast<std::size_t>(heroine)].name;
}

std::string MahjongTileName(int kind) {
    return std::string(kNumbers[kind % 8]) + (IsCircles(kind) ? "筒" : "万");
}

std::string MahjongChoice() {
    return "add_choice target=mahjong text=\"先去雀庄打一局麻将\"\n";
}

std::string MahjongBranch() {
    return "jump target=after\nmahjong:\nchange_script text=\"kof_vel_1.s\"\n";
}

bool MahjongData(const MahjongOutput& out) {
    return Pictures(out) && Sounds(out) && Scripts(out);
}

} // namespace demo
