#include "lib/DemoCanvas.h"
#include "lib/DemoReplay.h"

namespace demo {

namespace {

constexpr std::uint32_t kInk = 0xFFFFFF;
constexpr std::uint32_t kLitInk = 0xFFE070;

} // namespace

// The button sheet "system\extra_p.bmp": the three tabs lit (y 128) and plain
// (y 154), the back button lit (324, 0), the page buttons plain (23p, 180)
// and lit (23p, 203), the music room's controls lit (324, 22 + 42n) and its
// next button pressed (408, 22).
bool ExtrasFrameData(const ReplayOutput& out) {
    Canvas sheet(448, 226, 0);
    const char* tabs[3] = {"CG", "场景回想", "音乐鉴赏"};
    const int tabX[3] = {0, 74, 158};
    const int tabW[3] = {74, 84, 112};
    for (int k = 0; k < 3; ++k)
        for (int lit = 0; lit < 2; ++lit) {
            const int y = lit ? 128 : 154;
            sheet.RoundRect(tabX[k] + 1, y + 1, tabW[k] - 2, 25, 8, lit ? 0x9070C0 : 0x303858,
                            lit ? 240 : 210);
            sheet.TextCentred(tabX[k], tabW[k], y + 4, tabs[k], 18, lit ? kLitInk : 0xB0B8D0);
        }
    sheet.RoundRect(324, 0, 56, 22, 8, 0x9070C0, 240);
    sheet.TextCentred(324, 56, 2, "返回", 18, kLitInk);
    for (int p = 0; p < 3; ++p) {
        const std::string digit = std::to_string(p + 1);
        sheet.RoundRect(23 * p + 1, 181, 21, 20, 5, 0x303858, 220);
        sheet.TextCentred(23 * p, 23, 183, digit, 16, 0xB0B8D0);
        sheet.RoundRect(23 * p + 1, 204, 21, 21, 5, 0x9070C0, 240);
        sheet.TextCentred(23 * p, 23, 206, digit, 16, kLitInk);
    }
    const char* controls[3] = {"←", "■", "→"};
    for (int n = 0; n < 3; ++n) {
        sheet.RoundRect(324, 22 + 42 * n, 32, 42, 8, 0x9070C0, 240);
        sheet.TextCentred(324, 32, 22 + 42 * n + 10, controls[n], 22, kLitInk);
    }
    sheet.RoundRect(408, 22, 32, 42, 8, 0xE0B040, 250);
    sheet.TextCentred(408, 32, 32, controls[2], 22, kInk);

    Canvas digits(80, 11, 0);
    for (int d = 0; d < 10; ++d)
        digits.Text(8 * d + 1, -2, std::to_string(d), 12, kInk);

    return out.picture("system\\extra_p.bmp", sheet, 32) &&
           out.picture("system\\page0-9.bmp", digits, 32) &&
           out.sound("bgm\\n004.ogg",
                     out.music(57, {{0, 4, 7}, {-3, 0, 4}, {-7, -3, 0}, {-5, -1, 2}}, 0.28));
}

} // namespace demo
