#include "lib/DemoSystem.h"

#include "lib/DemoCanvas.h"

#include <array>

namespace demo {

void Plate(Canvas& c, int x, int y, int w, int h, std::uint32_t rgb, int alpha) {
    c.RoundRect(x, y, w, h, 10, kEdge, alpha);
    c.RoundRect(x + 2, y + 2, w - 4, h - 4, 8, rgb, alpha);
}

namespace {

// A labelled button in three looks (normal, lit, glow) side by side or
// stacked: `dx`, `dy` step from one look to the next. The plate fills the
// look's w x h, or only `inner` of it where a look's cell is larger than the
// button the screen's hit area shows (cells that overlap on the screen).
struct Inner {
    int x, y, w, h;
};
void ButtonLooks(Canvas& c, int x, int y, int dx, int dy, Inner inner, const char* label,
                 int size) {
    const std::uint32_t inks[3] = {kInk, kLit, 0xFFFFFF};
    const std::uint32_t fills[3] = {0x304878, 0x5070B0, 0x806020};
    for (int k = 0; k < 3; ++k) {
        const int px = x + dx * k + inner.x, py = y + dy * k + inner.y;
        Plate(c, px, py, inner.w, inner.h, fills[k], 230);
        c.TextCentred(px, inner.w, py + (inner.h - size) / 2, label, size, inks[k]);
    }
}
void ButtonLooks(Canvas& c, int x, int y, int w, int h, int dx, int dy, const char* label,
                 int size) {
    ButtonLooks(c, x, y, dx, dy, {0, 0, w, h}, label, size);
}

bool MenuPictures(const SystemOutput& out) {
    Canvas base(800, 600, 0);
    base.Fill(0, 0, 800, 600, Argb(120, 0x000010));
    base.HGradient(480, 0, 320, 600, Argb(90, 0x102040), Argb(170, 0x102040));

    Canvas strip(134, 600, 0);
    strip.VGradient(0, 0, 134, 600, Argb(150, 0x203060), Argb(60, 0x203060));
    const char* title[] = {"系", "统", "菜", "单"};
    for (int k = 0; k < 4; ++k)
        strip.OutlinedText(45, 120 + 70 * k, title[k], 40, kInk);

    // The panel lies under the labels of the last two rows: a shade that
    // deepens downwards, with no edge that could cross a label.
    Canvas panel(276, 270, 0);
    for (int y = 0; y < 270; ++y)
        for (int x = 0; x < 276; ++x)
            panel.Set(x, y,
                      Argb(std::min(150, std::max(0, y - 60)) * std::min(x, 60) / 60, kPlate));
    panel.TextCentred(0, 276, 220, "右键返回故事", 20, 0xC0D0F0);

    // The label sheet: labels at x 258, their glow at x 400, the hover mark
    // at x 107, the separator line at (162, 228). Each label's dotted leader
    // runs from the cell's left end to its word, and the mark (drawn at
    // (480, row y), the labels at 656) is an arrow whose tip points at the
    // leader: on hover the two read as one pointer into the word. The mark
    // has opaque and clear pixels only, so that drawing it again over itself
    // leaves it as it is.
    Canvas sheet(542, 232, 0);
    const char* labels[] = {"存档", "读档", "履历", "设定", "退出"};
    const int labelY[] = {0, 43, 88, 136, 184};
    const int labelH[] = {43, 45, 48, 48, 44};
    for (int k = 0; k < 5; ++k) {
        const int w = Canvas::TextWidth(labels[k], 24);
        const int y = labelY[k] + (labelH[k] - 24) / 2;
        const int mid = labelY[k] + labelH[k] / 2;
        sheet.OutlinedText(258 + 132 - w, y, labels[k], 24, kInk);
        sheet.Text(400 + 132 - w, y, labels[k], 24, 0x806010);
        for (int x = 4; x < 132 - w - 8; x += 7) {
            sheet.Fill(258 + x, mid - 1, 3, 3, Argb(200, 0x8098C0));
            sheet.Fill(400 + x, mid - 1, 3, 3, Argb(255, 0x806010));
        }
        for (int d = 0; d < 8; ++d) { // dashes that close up towards the tip
            const int gap = 7 - d;
            sheet.Fill(107 + 16 * d + gap, mid - 1, 16 - gap, 3, Argb(255, kLit));
        }
        for (int x = 0; x < 22; ++x) { // the arrowhead, its tip at the mark's right end
            const int half = (22 - x) * 9 / 22;
            sheet.Fill(107 + 128 + x, mid - half, 1, 2 * half + 1, Argb(255, kLit));
        }
    }
    sheet.HGradient(162, 228, 380, 4, Argb(0, 0xA0C0FF), Argb(220, 0xA0C0FF));

    Canvas up(800, 600, 0);
    up.Fill(0, 0, 800, 60, Argb(160, 0x000000));
    up.OutlinedText(30, 14, "退出", 30, kInk);

    Canvas dialog(382, 146, 0);
    Plate(dialog, 0, 0, 382, 146, kPlate, 235);
    // Rows: quit at y 0, return to the title at y 54; lit at x 203, glow at
    // 406. They stand at (296, 272) and (296, 225), 54 high, and so overlap:
    // each plate keeps to its choice's hit area, (308, 284) and (308, 235),
    // 180 x 32; the cancel plate to (520, 320) 55 x 20 of its (509, 309).
    Canvas rows(609, 108, 0);
    ButtonLooks(rows, 0, 0, 203, 0, {12, 11, 180, 34}, "退出游戏", 24);
    ButtonLooks(rows, 0, 54, 203, 0, {12, 9, 180, 34}, "返回标题", 24);
    Canvas cancel(228, 41, 0);
    ButtonLooks(cancel, 0, 0, 76, 0, {6, 6, 64, 30}, "取消", 20);
    // The second question: its panel (the buttons stand at (50, 75) and
    // (166, 75)), and yes at y 0, no at y 50; lit at x 100, glow at 200.
    auto question = [](const char* text) {
        Canvas c(316, 142, 0);
        Plate(c, 0, 0, 316, 142, kPlate, 235);
        c.TextCentred(0, 316, 26, text, 24, kInk);
        return c;
    };
    const Canvas toTitle = question("要返回标题画面吗？");
    const Canvas toQuit = question("要退出游戏吗？");
    Canvas answers(300, 100, 0);
    ButtonLooks(answers, 0, 0, 100, 50, 100, 0, "是", 24);
    ButtonLooks(answers, 0, 50, 100, 50, 100, 0, "否", 24);

    return out.picture("system\\sys_m_base.bmp", base, 32) &&
           out.picture("system\\sys_m_moji.bmp", strip, 32) &&
           out.picture("system\\sys_m_p01.bmp", panel, 32) &&
           out.picture("system\\sys_m_p02.bmp", sheet, 32) &&
           out.picture("system\\exit_up.bmp", up, 32) &&
           out.picture("system\\EXIT_bg.bmp", dialog, 32) &&
           out.picture("system\\exit_p.bmp", rows, 32) &&
           out.picture("system\\cancel.bmp", cancel, 32) &&
           out.picture("system\\EXIT_bg_03.bmp", toTitle, 32) &&
           out.picture("system\\EXIT_bg_02.bmp", toQuit, 32) &&
           out.picture("system\\ok_button.bmp", answers, 32);
}

// A slider's track under the knob's path, a switch's two boxes with their
// meanings.
void Track(Canvas& c, int x, int y, int w) {
    c.RoundRect(x, y + 5, w, 6, 3, 0x90A8D0, 220);
}
void Boxes(Canvas& c, int x0, int x1, int y, const char* off, const char* on) {
    for (int x : {x0, x1})
        c.Border(x, y, 20, 20, 2, Argb(255, 0xC0D0F0));
    // Each meaning above its box, where the neighbouring boxes leave room.
    c.TextCentred(x0 - 20, 60, y - 19, off, 16, kInk);
    c.TextCentred(x1 - 20, 60, y - 19, on, 16, kInk);
}

bool ConfigPictures(const SystemOutput& out) {
    // The page lies over the story or over the system menu's snapshot: the
    // shade lets the picture through, but deepens to opaque in the bottom
    // band, where the menu's own hint would stand beside OK and cancel.
    Canvas base(800, 600, 0);
    base.Fill(0, 0, 800, 600, Argb(170, 0x08101C));
    for (int y = kConfigBandTop - 60; y < kConfigBandTop; ++y)
        base.Fill(0, y, 800, 1, Argb(170 + 85 * (y - kConfigBandTop + 60) / 60, 0x08101C));
    base.Fill(0, kConfigBandTop, 800, 600 - kConfigBandTop, Argb(255, 0x08101C));
    base.OutlinedText(24, 24, "设定", 36, kInk);

    // Six panels of 328×163; panel k stands at (10 + 336·(k / 3), 82 + 172·(k mod 3)).
    Canvas panels(1968, 163, 0);
    for (int k = 0; k < 6; ++k)
        Plate(panels, 328 * k, 0, 328, 163, kPlate, 200);
    auto at = [](int k, int x, int y) {
        return std::array<int, 2>{328 * k + x - (10 + 336 * (k / 3)), y - (82 + 172 * (k % 3))};
    };
    auto text = [&](int k, int x, int y, const char* s) {
        const auto p = at(k, x, y);
        panels.Text(p[0], p[1], s, 18, kInk);
    };
    auto track = [&](int k, int x, int y, int w) {
        const auto p = at(k, x, y);
        Track(panels, p[0], p[1], w);
    };
    auto boxes = [&](int k, int x0, int x1, int y, const char* off, const char* on) {
        const auto a = at(k, x0, y);
        const auto b = at(k, x1, y);
        Boxes(panels, a[0], b[0], a[1], off, on);
    };
    text(0, 24, 126, "效果音量");
    track(0, 87, 149, 203);
    text(0, 24, 170, "音乐音量");
    track(0, 87, 188, 203);
    text(1, 24, 290, "文字速度");
    track(1, 78, 312, 205);
    text(1, 24, 325, "自动速度");
    track(1, 78, 345, 205);
    text(1, 24, 384, "跳过");
    boxes(1, 129, 270, 383, "已读", "全部");
    text(2, 24, 470, "光标移动");
    boxes(2, 115, 257, 510, "关", "开");
    text(3, 360, 100, "画面效果");
    text(3, 380, 140, "震动");
    boxes(3, 535, 622, 138, "开", "关");
    text(3, 380, 172, "转场");
    boxes(3, 535, 622, 172, "", ""); // the meanings stand over the first row
    text(3, 380, 206, "特效");
    boxes(3, 535, 622, 206, "", "");
    text(4, 360, 290, "显示");
    boxes(4, 464, 606, 338, "窗口", "全屏");
    text(5, 360, 470, "语音");
    boxes(5, 404, 481, 506, "开", "关");
    boxes(5, 566, 640, 507, "开", "关");
    {
        const auto p = at(5, 455, 545);
        panels.RoundRect(p[0], p[1], 115, 20, 8, 0x304878, 230);
        panels.TextCentred(p[0], 115, p[1] + 1, "角色语音", 18, kInk);
    }

    // The control sheet: buttons, knobs, marks, the voice page's cells.
    Canvas sheet(296, 386, 0);
    Plate(sheet, 0, 0, 130, 80, 0x304878, 230);
    sheet.TextCentred(0, 130, 28, "默认值", 22, kInk);
    Plate(sheet, 134, 0, 126, 80, 0x5070B0, 230);
    sheet.TextCentred(134, 126, 28, "默认值", 22, kLit);
    // OK and cancel: cells of 104 x 52 drawn at (686, 494) and (686, 534),
    // which overlap; each plate keeps to its button's hit area.
    ButtonLooks(sheet, 0, 80, 0, 52, {14, 12, 76, 28}, "确定", 20);
    ButtonLooks(sheet, 104, 80, 0, 52, {14, 14, 76, 28}, "取消", 20);
    sheet.Disc(215, 107, 7, 0xE0E8FF);
    sheet.Disc(230, 107, 7, kLit);
    sheet.Disc(215, 122, 7, 0xB0FFB0);
    sheet.Ring(223, 90, 8, 3, kLit); // the mark of the chosen box, its last row clear
    // A lit box: inside the cell's top 14 rows, which the mark rows restore.
    sheet.Disc(248, 88, 5, kLit, 180);
    sheet.Fill(208, 130, 13, 7, Argb(255, 0x6080FF));
    sheet.Disc(237, 135, 5, 0xE0E8FF);
    sheet.Disc(248, 135, 5, kLit);
    Plate(sheet, 208, 140, 80, 30, 0x304878, 230);
    sheet.TextCentred(208, 80, 145, "试听", 18, kInk);
    Plate(sheet, 208, 170, 80, 30, 0x5070B0, 230);
    sheet.TextCentred(208, 80, 175, "试听", 18, kLit);
    Plate(sheet, 0, 236, 130, 48, 0x5070B0, 230);
    sheet.TextCentred(0, 130, 250, "角色语音", 20, kLit);
    sheet.RoundRect(130, 236, 130, 48, 10, 0x806020, 200);
    // The voice page's bottom buttons, whose looks are 34 high: the page
    // shows them first through the bar (0, 284) 296 x 30, so each plate
    // keeps to the bar's rows, around its button's hit area.
    const struct {
        int x;
        Inner inner;
        const char* label;
    } bottom[] = {{0, {9, 3, 108, 24}, "全部默认"},
                  {123, {7, 3, 72, 24}, "确定"},
                  {209, {7, 3, 72, 24}, "取消"}};
    for (const auto& b : bottom)
        ButtonLooks(sheet, b.x, 284, 0, 34, b.inner, b.label, 16);

    Canvas digits1(100, 12, 0);
    Canvas digits2(80, 9, 0);
    for (int d = 0; d < 10; ++d) {
        const std::string s(1, static_cast<char>('0' + d));
        digits1.Text(10 * d, -2, s, 12, kInk);
        digits2.FittedText(8 * d, 0, 8, 9, s, kInk);
    }

    // The voice page: each character's name by its slider.
    Canvas voices(780, 460, 0);
    Plate(voices, 0, 0, 780, 460, kPlate, 210);
    const char* names[] = {"塞芙", "多尔", "凯尔", "波姆", "穆尔", "芙普", "贝克丝",
                           "霍尔", "维尔", "芬恩", "莉丝", "戈尔", "其他"};
    const int columnX[] = {71, 274, 477};
    const int rowY[] = {176, 246, 313, 380, 448, 517};
    for (int i = 0; i < 13; ++i) {
        const int x = columnX[i / 6] - 10;
        const int y = rowY[i % 6] - 82;
        voices.Text(x, y - 32, names[i], 18, kInk);
        Track(voices, x + 4, y - 3, 140);
    }

    return out.picture("system\\config_base.bmp", base, 32) &&
           out.picture("system\\config_p.bmp", panels, 32) &&
           out.picture("system\\config_p2.bmp", sheet, 32) &&
           out.picture("system\\0123456789_1.bmp", digits1, 32) &&
           out.picture("system\\0123456789_2.bmp", digits2, 32) &&
           out.picture("system\\VoiceCharBase.bmp", voices, 32);
}

bool Sounds(const SystemOutput& out) {
    const char* lines[] = {"sef0417", "dor0465", "kel0247", "pom0469", "mur0428",
                           "fop0503", "bex0882", "hol0466", "vel0274", "fen0249",
                           "lis0291", "gor0149", "zik0001"};
    int index = 30;
    for (const char* l : lines)
        if (!out.sound(std::string("voice\\") + l + ".ogg", out.voiceLine(index++, 0.9)))
            return false;
    return out.sound("se\\sys_a002.ogg", out.blip(1000, 1300, 0.08)) &&
           out.sound("se\\sys_f003.ogg", out.blip(1600, 1600, 0.05)) &&
           out.sound("se\\sys_e002.ogg", out.blip(2400, 2200, 0.02)) &&
           out.sound("se\\Pop_D002R.ogg", out.blip(380, 900, 0.16));
}

} // namespace

bool SystemScreenData(const SystemOutput& out) {
    return MenuPictures(out) && ConfigPictures(out) && Sounds(out);
}

} // namespace demo
