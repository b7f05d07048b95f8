#include "lib/DemoSaveLoad.h"

#include "lib/BmpWriter.h"
#include "lib/DemoCanvas.h"
#include "lib/DemoSystem.h"
#include "lib/OggWriter.h"

#include <array>
#include <string>

namespace demo {

namespace {

constexpr std::uint32_t kKey = 0x0000FF00; // the colour key: left out when drawn

// Digits 3 x 5, one row of bits per line, for the slot numbers read upwards.
constexpr std::array<std::array<std::uint8_t, 5>, 10> kTinyDigits{{
    {7, 5, 5, 5, 7},
    {2, 6, 2, 2, 7},
    {7, 1, 7, 4, 7},
    {7, 1, 7, 1, 7},
    {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7},
    {7, 4, 7, 5, 7},
    {7, 1, 1, 1, 1},
    {7, 5, 7, 5, 7},
    {7, 5, 7, 1, 7},
}};

// A digit turned a quarter left, so it reads from the bottom up, scaled by
// one in an 8 x 7 cell at (x, y).
void UpwardDigit(Canvas& c, int x, int y, int d, std::uint32_t argb) {
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 3; ++col)
            if (kTinyDigits[static_cast<std::size_t>(d)][static_cast<std::size_t>(row)] &
                (4 >> col))
                c.Set(x + 1 + row, y + 5 - col, argb);
}

Canvas PageBase(const char* title) {
    Canvas c(800, 600, Argb(228, 0x06101E));
    c.OutlinedText(24, 22, title, 36, kInk);
    for (int k = 0; k < 6; ++k) {
        c.RoundRect(576 + 24 * k, 34, 20, 20, 4, 0x405070, 230);
        c.TextCentred(576 + 24 * k, 20, 36, std::to_string(k + 1), 14, kInk);
    }
    c.Text(762, 37, "/", 14, kInk);
    c.RoundRect(730, 60, 50, 22, 5, 0x405070, 230);
    c.TextCentred(730, 50, 62, "返回", 16, kInk);
    // The slots' frames reach y 588: the hint stands by the heading instead.
    c.Text(24 + Canvas::TextWidth(title, 36) + 16, 40, "右键返回", 14, 0x8090B0);
    return c;
}

// Thumbnail frames, page marks, the back and comment highlights.
Canvas Parts() {
    Canvas c(536, 416, 0);
    // The load screen's empty thumbnail place (slot 1, then the others).
    for (int y : {7, 100})
        c.Fill(25, y, 108, 82, Argb(200, 0x101822));
    // The frame's ring, its plain and its lit backing.
    c.Border(428, 0, 108, 82, 4, Argb(255, kEdge));
    c.Border(432, 4, 100, 74, 1, Argb(255, 0x304060));
    c.Fill(428, 82, 108, 82, Argb(230, 0x182030));
    c.Fill(428, 164, 108, 82, Argb(255, 0xB08020));
    // Page marks (current page, and a hovered page button) and the back glow.
    for (int p = 0; p < 6; ++p) {
        c.Disc(28 * p + 14, 332 + 14, 12, kLit, 200);
        c.TextCentred(28 * p, 28, 337, std::to_string(p + 1), 14, 0x202020);
    }
    c.RoundRect(168, 332, 56, 26, 6, kLit, 200);
    c.TextCentred(168, 56, 336, "返回", 16, 0x202020);
    c.RoundRect(0, 388, 358, 28, 6, kLit, 110);
    return c;
}

// The slot frame (colour-keyed), the closing glows and the yes/no highlights.
Canvas SlotSheet() {
    Canvas c(376, 185, kKey);
    c.Fill(0, 0, 376, 93, kKey);
    c.RoundRect(0, 0, 376, 93, 8, 0x2A3C66);
    c.RoundRect(2, 2, 372, 89, 6, 0x1A2440);
    // A light edge with its corners cut by the key colour, which the screen
    // leaves out.
    c.Border(0, 0, 376, 93, 2, Argb(255, kEdge));
    for (int y = 0; y < 93; ++y)
        for (int x = 0; x < 376; ++x)
            if ((x < 3 || x >= 373) && (y < 3 || y >= 90)) c.Set(x, y, kKey);
    c.Fill(0, 93, 376, 92, 0);
    for (int k = 0; k < 2; ++k) {
        c.RoundRect(107 * k + 13, 93 + 10, 79, 28, 6, kLit, 150);
        c.RoundRect(107 * k + 11, 139 + 8, 83, 32, 7, kLit, 220);
        c.RoundRect(107 * k + 14, 139 + 11, 77, 26, 5, 0x304878, 255);
        c.TextCentred(107 * k + 13, 79, 139 + 14, k == 0 ? "是" : "否", 18, kLit);
    }
    return c;
}

Canvas ConfirmBox(const char* question, bool withComment) {
    Canvas c(399, 184, 0);
    Plate(c, 0, 0, 399, 184, kPlate, 250);
    c.TextCentred(0, 399, 14, question, 20, kInk);
    if (withComment) {
        c.Fill(24, 108, 352, 21, Argb(255, 0x0C1428));
        c.Text(300, 90, "点击改注释", 12, 0x8090B0);
    } else {
        c.Fill(24, 108, 352, 21, Argb(255, 0x142038));
    }
    for (int k = 0; k < 2; ++k) {
        c.RoundRect(102 + 115 * k, 140, 79, 28, 5, 0x304878);
        c.TextCentred(102 + 115 * k, 79, 143, k == 0 ? "是" : "否", 18, kInk);
    }
    return c;
}

Canvas GroupLabels() {
    Canvas c(100, 45, 0);
    const char* names[] = {"海风之约", "雨夜书店", "星空列车"};
    for (int g = 0; g < 3; ++g)
        c.Text(0, 15 * g + 1, names[g], 13, 0xA0E0FF);
    return c;
}

// Digits 0..9 of 8 x 11 and the separators (80, 0) and (88, 0).
Canvas Digits(int width, std::uint32_t rgb, bool separators) {
    Canvas c(width, 11, 0);
    for (int d = 0; d < 10; ++d)
        c.TextCentred(8 * d, 8, 0, std::to_string(d), 11, rgb);
    if (separators) {
        c.Fill(81, 5, 5, 1, Argb(255, rgb));
        c.Fill(89, 3, 2, 2, Argb(255, rgb));
        c.Fill(89, 7, 2, 2, Argb(255, rgb));
    }
    return c;
}

Canvas SlotNumbers() {
    Canvas c(88, 17, 0);
    for (int d = 0; d < 10; ++d)
        UpwardDigit(c, 8 * d, 10, d, Argb(255, kLit));
    // The label: a bar with a notch, the number's mark.
    c.Fill(82, 1, 3, 8, Argb(255, kLit));
    c.Fill(82, 3, 5, 1, Argb(255, kLit));
    return c;
}

// 38 tiles of 100 x 75, five to a row, each its own colour and name.
Canvas Samples() {
    Canvas c(500, 600, 0xFF000000);
    for (int k = 0; k < 38; ++k) {
        const int x = 100 * (k % 5), y = 75 * (k / 5);
        const std::uint32_t hue = 0xFF000000u | static_cast<std::uint32_t>(
                                                    (k * 53 % 200 + 40) << 16 |
                                                    (k * 97 % 200 + 40) << 8 | (k * 31 % 200 + 40));
        c.VGradient(x, y, 100, 75, hue, 0xFF101010);
        c.TextCentred(x, 100, y + 28, "CG " + std::to_string(k + 1), 16, kInk);
    }
    return c;
}

} // namespace

std::vector<DemoFile> SaveLoadFiles() {
    auto bmp = [](const char* name, const Canvas& c, int bits) {
        return DemoFile{"system", name, bmp_writer::EncodeBmp(c.Image(bits))};
    };
    tools::ToneSpec chosen;
    chosen.rate = 22050;
    chosen.samples = 22050 / 8;
    chosen.frequency = 1175;
    chosen.amplitude = 0.35;
    return {
        bmp("save_base.bmp", PageBase("存档"), 32),
        bmp("load_base.bmp", PageBase("读档"), 32),
        bmp("save_p.bmp", Parts(), 32),
        bmp("save_p03.bmp", SlotSheet(), 32),
        bmp("save_p02.bmp", ConfirmBox("存档到这里吗？", true), 32),
        bmp("load_p02.bmp", ConfirmBox("读取这个存档吗？", false), 32),
        bmp("sl_day.bmp", GroupLabels(), 32),
        bmp("page0-9.bmp", Digits(80, kInk, false), 32),
        bmp("data0-9.bmp", Digits(96, 0xD0E0FF, true), 32),
        bmp("no0-9.bmp", SlotNumbers(), 32),
        bmp("s_sam.bmp", Samples(), 24),
        DemoFile{"se", "sys_g004.ogg", tools::MakeOggTone(chosen)},
    };
}

} // namespace demo
