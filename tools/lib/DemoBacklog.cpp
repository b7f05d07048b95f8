#include "lib/DemoBacklog.h"

#include "lib/BmpWriter.h"
#include "lib/OggWriter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace demo {

namespace {

// A 32-bit picture whose fourth byte is the coverage the backlog blends with.
struct Sheet {
    bmp_writer::BmpImage image;

    Sheet(int w, int h, std::uint32_t argb) {
        image.width = w;
        image.height = h;
        image.bitCount = 32;
        image.pixels.assign(static_cast<std::size_t>(w) * h, argb);
    }
    void Set(int x, int y, std::uint32_t argb) {
        if (x >= 0 && y >= 0 && x < image.width && y < image.height)
            image.pixels[static_cast<std::size_t>(y) * image.width + x] = argb;
    }
    void Fill(int x, int y, int w, int h, std::uint32_t argb) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                Set(i, j, argb);
    }
    void Border(int x, int y, int w, int h, int t, std::uint32_t argb) {
        Fill(x, y, w, t, argb);
        Fill(x, y + h - t, w, t, argb);
        Fill(x, y, t, h, argb);
        Fill(x + w - t, y, t, h, argb);
    }
    // A triangle pointing up (or down) filling the rectangle.
    void Arrow(int x, int y, int w, int h, bool up, std::uint32_t argb) {
        for (int r = 0; r < h; ++r) {
            const int row = up ? r : h - 1 - r;
            const int half = (r + 1) * w / (2 * h);
            for (int i = w / 2 - half; i <= w / 2 + half; ++i)
                Set(x + i, y + row, argb);
        }
    }
    // A triangle pointing left.
    void LeftArrow(int x, int y, int w, int h, std::uint32_t argb) {
        for (int c = 0; c < w; ++c) {
            const int half = (c + 1) * h / (2 * w);
            for (int j = h / 2 - half; j <= h / 2 + half; ++j)
                Set(x + c, y + j, argb);
        }
    }
};

// The five buttons, each drawn inside its rectangle: one or two arrows up or
// down, and "back" as an arrow to the left with a bar behind it.
enum class Button { Up1, Up4, Down1, Down4, Back };

void DrawButton(Sheet& s, int x, int y, int w, int h, Button b, std::uint32_t ink) {
    switch (b) {
    case Button::Up1:
        s.Arrow(x + 2, y + 4, w - 4, h - 8, true, ink);
        break;
    case Button::Down1:
        s.Arrow(x + 2, y + 4, w - 4, h - 8, false, ink);
        break;
    case Button::Up4:
        s.Arrow(x + 2, y + 2, w - 4, h / 2 - 2, true, ink);
        s.Arrow(x + 2, y + h / 2, w - 4, h / 2 - 2, true, ink);
        break;
    case Button::Down4:
        s.Arrow(x + 2, y + 2, w - 4, h / 2 - 2, false, ink);
        s.Arrow(x + 2, y + h / 2, w - 4, h / 2 - 2, false, ink);
        break;
    case Button::Back:
        s.LeftArrow(x + 2, y + 1, h - 2, h - 2, ink);
        s.Fill(x + h, y + h / 2 - 2, w - h - 2, 4, ink);
        break;
    }
}

struct Place {
    Button button;
    int x, y, w, h; // on the screen
    int sheetTop;   // where its lit look starts in the parts sheet
    int screenTop;  // the screen row the lit look is drawn at
};
constexpr Place kPlaces[] = {
    {Button::Up4, 760, 385, 25, 32, 0, 368},    {Button::Down4, 760, 532, 25, 32, 64, 514},
    {Button::Up1, 760, 440, 25, 24, 128, 424},  {Button::Down1, 760, 482, 25, 24, 184, 466},
    {Button::Back, 746, 578, 48, 15, 240, 571},
};
constexpr int kLitLeft = 738;

constexpr std::uint32_t kPageTint = 0x90101828;
constexpr std::uint32_t kBoxTint = 0xB0202C48;
constexpr std::uint32_t kBoxLine = 0xFF5870A8;
constexpr std::uint32_t kRail = 0xC0182030;
constexpr std::uint32_t kIdleInk = 0xFF8890B0;
constexpr std::uint32_t kLitInk = 0xFFFFE070;
constexpr std::uint32_t kFrameInk = 0xFFFFD060;

std::vector<std::uint8_t> BasePicture() {
    Sheet s(800, 600, kPageTint);
    for (int k = 0; k < 4; ++k) {
        s.Fill(4, 4 + 150 * k, 712, 138, kBoxTint);
        s.Border(4, 4 + 150 * k, 712, 138, 1, kBoxLine);
    }
    s.Fill(752, 376, 41, 196, kRail);
    for (const Place& p : kPlaces)
        DrawButton(s, p.x, p.y, p.w, p.h, p.button, kIdleInk);
    return bmp_writer::EncodeBmp(s.image);
}

std::vector<std::uint8_t> PartsPicture() {
    Sheet s(61, 268, 0x00000000);
    for (const Place& p : kPlaces) {
        const int top = p.sheetTop + (p.y - p.screenTop);
        const int left = p.x - kLitLeft;
        s.Fill(left - 2, top - 2, p.w + 4, p.h + 4, 0x80405080);
        DrawButton(s, left, top, p.w, p.h, p.button, kLitInk);
    }
    return bmp_writer::EncodeBmp(s.image);
}

// The frame over an entry that has a voice, with a small speaker at its right.
std::vector<std::uint8_t> VoiceFramePicture() {
    Sheet s(712, 138, 0x20FFD060);
    s.Border(0, 0, 712, 138, 3, kFrameInk);
    s.Fill(668, 58, 8, 20, kFrameInk);
    for (int c = 0; c < 14; ++c)
        s.Fill(676 + c, 58 - c, 1, 20 + 2 * c, kFrameInk);
    return bmp_writer::EncodeBmp(s.image);
}

// A short falling two-tone tick: the confirm, back and page buttons.
std::vector<std::uint8_t> ConfirmSound() {
    constexpr std::uint32_t rate = 22050;
    constexpr double seconds = 0.12;
    const auto count = static_cast<std::size_t>(seconds * rate);
    std::vector<float> out;
    double phase = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        phase += 2 * std::numbers::pi * (t < seconds / 2 ? 1320.0 : 990.0) / rate;
        const double env = std::exp(-t * 20.0) * std::min(1.0, t / 0.003);
        out.push_back(static_cast<float>(0.45 * env * std::sin(phase)));
    }
    return tools::EncodeOgg(out, 1, rate);
}

} // namespace

std::vector<DemoFile> BacklogFiles() {
    return {
        {"system", "backlog_base.bmp", BasePicture()},
        {"system", "backlog_p.bmp", PartsPicture()},
        {"system", "backlog_w.bmp", VoiceFramePicture()},
        {"se", "sys_a002.ogg", ConfirmSound()},
    };
}

} // namespace demo
