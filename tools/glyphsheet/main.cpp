// glyphsheet [OUT.bmp]: draws a page of GBK sample text with the glyph font in
// the faces and sizes the screens use (horizontal 26, 24, 18 and 12, ruby at
// 12, vertical 23 with vertical ruby at 10, serif 14) and writes it as a
// 24-bit bitmap (glyphsheet.bmp when no name is given).
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "platform/Glyph.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string_view>
#include <vector>

namespace {

constexpr char kLine1[] =
    "\xCF\xC4\xC8\xD5\xB5\xC4\xCE\xE7\xBA\xF3\xA3\xAC\xBA\xA3\xB7\xE7\xC7\xE1\xC7\xE1\xB4\xB5\xB9"
    "\xFD\xD0\xA1\xD5\xF2\xA1\xA3"; // 夏日的午后，海风轻轻吹过小镇。
constexpr char kLine2[] =
    "\xA1\xB8\xBD\xF1\xCC\xEC\xD2\xB2\xD2\xAA\xBC\xD3\xD3\xCD\xC5\xB6\xA3\xA1\xA1\xB9\xCB\xFD\xD0"
    "\xA6\xD7\xC5\xCB\xB5\xB5\xC0\xA1\xA3"; // 「今天也要加油哦！」她笑着说道。
constexpr char
    kLine3[] = "Norvane 0123456789 "
               "\xA1\xAA\xA1\xAA\xA1\xB6\xB2\xE2\xCA\xD4\xA1\xB7\xA1\xAD\xA1\xAD"; // Norvane
                                                                                   // 0123456789
                                                                                   // ——《测试》……
constexpr char kSmall[] =
    "\xC9\xE8\xD6\xC3\xA1\xA1\xD2\xF4\xC1\xBF\xA1\xA1\xB6\xC1\xC8\xA1\xA1\xA1\xB1\xA3\xB4\xE6\xA1"
    "\xA1\xB7\xB5\xBB\xD8"; // 设置　音量　读取　保存　返回
constexpr char kVertical[] =
    "\xB4\xB0\xCD\xE2\xB5\xC4\xD3\xA3\xBB\xA8\xA3\xAC\xBE\xB2\xBE\xB2\xB5\xD8\xC6\xAE\xC2\xE4\xA1"
    "\xA3\xA1\xB8\xC4\xE3\xBA\xC3\xA1\xB9"; // 窗外的樱花，静静地飘落。「你好」
constexpr char kVertical2[] =
    "\xB5\xDA"
    "12\xBB\xB0 ABC\xA3\xA8\xC9\xCF\xA3\xA9\xA1\xAA\xA1\xAA\xCD\xEA"; // 第12话 ABC（上）——完
constexpr char kSerif[] = "\xB4\xE6\xB5\xB5 01   2026/12/09 15:30   "
                          "\xCF\xC4\xC8\xD5\xB5\xC4\xBB\xD8\xD2\xE4\xA1\xA1\xB5\xDA\xD2\xBB\xD5"
                          "\xC2"; // 存档 01   2026/12/09 15:30   夏日的回忆　第一章
constexpr char kRuby[] = "xia ri";
constexpr char kVerticalRuby[] = "ying hua";

using DrawFn = std::int16_t (CGlyphFont::*)(CDib*, int, int, std::string_view, std::uint32_t);

// Walks a GBK string, moving the pen along x (or y for vertical text) by what
// each call returns.
void DrawText(CGlyphFont& font, DrawFn draw, CDib& dib, int x, int y, std::string_view text,
              std::uint32_t colour, bool vertical = false) {
    while (!text.empty()) {
        const int advance = (font.*draw)(&dib, x, y, text, colour);
        (vertical ? y : x) += advance;
        const size_t n = static_cast<unsigned char>(text[0]) >= 0x81 && text.size() > 1 ? 2 : 1;
        text.remove_prefix(n);
    }
}

void Fill(CDib& dib, int x0, int y0, int x1, int y1, std::uint32_t top, std::uint32_t bottom) {
    for (int y = y0; y < y1; ++y) {
        std::uint32_t c = 0;
        for (int i = 0; i < 3; ++i) {
            const int a = (top >> (8 * i)) & 0xFF;
            const int b = (bottom >> (8 * i)) & 0xFF;
            c |= static_cast<std::uint32_t>(a + (b - a) * (y - y0) / std::max(1, y1 - y0 - 1))
                 << (8 * i);
        }
        for (int x = x0; x < x1; ++x)
            *dib.GetPixelPtr(x, y) = c;
    }
}

bool WriteBmp(const CDib& dib, const char* path) {
    const int w = dib.GetWidth();
    const int h = dib.GetHeight();
    const int stride = (w * 3 + 3) & ~3;
    const std::uint32_t imageBytes = static_cast<std::uint32_t>(stride) * h;
    std::vector<std::uint8_t> out(54 + imageBytes, 0);
    auto put16 = [&](size_t at, std::uint32_t v) {
        out[at] = v & 0xFF;
        out[at + 1] = (v >> 8) & 0xFF;
    };
    auto put32 = [&](size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + imageBytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    put16(26, 1);
    put16(28, 24);
    put32(34, imageBytes);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = out.data() + 54 + static_cast<size_t>(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = *dib.GetPixelPtr(x, y);
            row[x * 3] = p & 0xFF;
            row[x * 3 + 1] = (p >> 8) & 0xFF;
            row[x * 3 + 2] = (p >> 16) & 0xFF;
        }
    }
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(f);
}

} // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "glyphsheet.bmp";
    CDib page;
    page.Create(platform::WindowHandle::None, 800, 600, 24);
    Fill(page, 0, 0, 800, 600, 0x203050, 0x405880);
    Fill(page, 20, 410, 780, 590, 0x101828, 0x101828);
    Fill(page, 20, 20, 520, 110, 0xF0E8D8, 0xD8C8B0);

    CGlyphFont font(platform::CreateGlyphSource());
    const std::uint32_t white = 0xFFFFFF;

    // A save slot: serif 14 on a light panel, dark ink.
    font.SetFont(14, 2);
    DrawText(font, &CGlyphFont::DrawChar, page, 36, 32, kSerif, 0x302010);
    font.SetFont(26, 0);
    DrawText(font, &CGlyphFont::DrawChar, page, 36, 60, kLine1, 0x302010);

    // The sizes of face 0 that screens use.
    const int sizes[] = {24, 18, 12};
    int y = 140;
    for (int size : sizes) {
        font.SetFont(size, 0);
        DrawText(font, &CGlyphFont::DrawChar, page, 40, y, kLine2, white);
        y += size + 16;
    }
    font.SetFont(12, 0);
    DrawText(font, &CGlyphFont::DrawCharGray4Plain, page, 40, y, kSmall, 0xC0D0FF);

    // The message window: ruby at 12 over horizontal text at 26.
    font.SetFont(12, 0);
    DrawText(font, &CGlyphFont::DrawCharGray4Plain, page, 44, 424, kRuby, white);
    font.SetFont(26, 0);
    DrawText(font, &CGlyphFont::DrawChar, page, 40, 440, kLine1, white);
    DrawText(font, &CGlyphFont::DrawChar, page, 40, 476, kLine2, white);
    DrawText(font, &CGlyphFont::DrawChar, page, 40, 512, kLine3, white);
    font.SetFont(23, 0);
    DrawText(font, &CGlyphFont::DrawChar32, page, 40, 548, kLine1, 0xFFE0A0);

    // Vertical text at 23 in two columns, read right to left, with ruby at 10.
    font.SetFont(10, 1);
    DrawText(font, &CGlyphFont::DrawCharGray4, page, 752, 30, kVerticalRuby, white, true);
    font.SetFont(23, 1);
    DrawText(font, &CGlyphFont::DrawCharGray4, page, 726, 30, kVertical, white, true);
    DrawText(font, &CGlyphFont::DrawCharGray4, page, 690, 30, kVertical2, white, true);

    if (!WriteBmp(page, path)) {
        std::fprintf(stderr, "glyphsheet: cannot write %s\n", path);
        return 1;
    }
    std::printf("%s\n", path);
    return 0;
}
