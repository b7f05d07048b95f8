#include "lib/DemoGallery.h"

#include "lib/DemoCanvas.h"
#include "lib/DemoSystem.h"
#include "scenario/CgNames.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace demo {

namespace {

constexpr std::uint32_t kInk = 0xFFFFFF;
constexpr std::uint32_t kLitInk = 0xFFE070;
constexpr std::uint32_t kPlain = 0x304878;
constexpr std::uint32_t kLit = 0x5A80C8;

// One event picture: a sky of its own tone, a few soft circles and its name
// written large, so that a player (and tesseract) tells them apart.
struct Event {
    const char* file;
    const char* caption;
    int width, height;
    std::uint32_t top, bottom;
};

const std::vector<Event>& Events() {
    static const std::vector<Event> events{
        {"e001a.bmp", "事件 1  灯船之夜", 800, 600, 0xFF1A2A5A, 0xFFE0A060},
        {"e001b.bmp", "事件 1  灯船之夜 · 差分", 800, 600, 0xFF3A1A4A, 0xFFF0C080},
        {"e002b.bmp", "事件 2  海岸全景  ← 拖动 →", 1600, 600, 0xFF2A6090, 0xFFF0E0B0},
        {"guest001.bmp", "嘉宾 1  800×600", 800, 600, 0xFF204030, 0xFF90D0A0},
        {"guest001a.bmp", "嘉宾 1  1024×768", 1024, 768, 0xFF204030, 0xFF90D0A0},
        {"guest001b.bmp", "嘉宾 1  1280×960", 1280, 960, 0xFF204030, 0xFF90D0A0},
        {"guest001c.bmp", "嘉宾 1  1280×1024", 1280, 1024, 0xFF204030, 0xFF90D0A0},
    };
    return events;
}

// A picture with a caption, scaled to any size (the thumbnails too).
Canvas Scene(int w, int h, std::uint32_t top, std::uint32_t bottom, const std::string& caption,
             int seed) {
    Canvas c(w, h);
    c.VGradient(0, 0, w, h, top, bottom);
    for (int k = 0; k < 7; ++k)
        c.Disc((seed * 97 + k * 211) % w, (seed * 61 + k * 137) % h, h / 12 + (k * 17) % (h / 8),
               0xFFFFFF, 50);
    const int size = std::max(18, h / 14);
    c.OutlinedText(w / 20, h / 2 - size / 2, caption, size, kInk);
    return c;
}

// The event picture itself; its seed places its circles (event k of the
// table has kFirstSeed + k).
constexpr int kFirstSeed = 30;
Canvas EventPicture(const Event& e, int seed) {
    return Scene(e.width, e.height, e.top, e.bottom, e.caption, seed);
}

// Copies `src` whole into `dst` at (x, y).
void Paste(Canvas& dst, const Canvas& src, int x, int y) {
    const std::vector<std::uint32_t> pixels = src.Image(32).pixels;
    for (int j = 0; j < src.Height(); ++j)
        for (int i = 0; i < src.Width(); ++i)
            dst.Set(x + i, y + j, pixels[static_cast<std::size_t>(j) * src.Width() + i]);
}

// The cell name of CG row `row`: "E01" .. "E34" for the events, "G01" ..
// "G10" for the guests.
std::string RowLabel(int row) {
    char s[8];
    std::snprintf(s, sizeof s, row < 34 ? "E%02d" : "G%02d", row < 34 ? row + 1 : row - 33);
    return s;
}

// The tabs, back button, page buttons and the music room's controls.
Canvas ButtonSheet() {
    Canvas c(440, 226, 0);
    const char* tabs[3] = {"鉴赏", "回想", "音乐"};
    const int tabX[3] = {0, 74, 158};
    const int tabW[3] = {74, 84, 112};
    for (int k = 0; k < 3; ++k)
        for (int look = 0; look < 2; ++look) {
            const int y = look == 0 ? 128 : 154;
            // 23 rows: the foot of the bar stays clear of the cells' area.
            c.RoundRect(tabX[k] + 1, y, tabW[k] - 2, 23, 8, look == 0 ? kLit : kPlain, 230);
            c.TextCentred(tabX[k], tabW[k], y + 2, tabs[k], 18, look == 0 ? kLitInk : kInk);
        }
    c.RoundRect(324, 0, 56, 22, 8, kLit, 220);
    c.TextCentred(324, 56, 1, "返回", 18, kLitInk);
    for (int p = 0; p < 3; ++p) {
        const std::string digit = std::to_string(p + 1);
        c.RoundRect(23 * p + 1, 180, 21, 22, 6, kPlain, 230);
        c.TextCentred(23 * p, 23, 181, digit, 18, kInk);
        c.RoundRect(23 * p + 1, 203, 21, 23, 6, kLit, 240);
        c.TextCentred(23 * p, 23, 205, digit, 18, kLitInk);
    }
    // Previous, stop and next, lit, for the music room.
    const char* controls[3] = {"<", "#", ">"};
    for (int n = 0; n < 3; ++n) {
        c.RoundRect(324, 22 + 42 * n, 32, 42, 8, kLit, 230);
        c.TextCentred(324, 32, 22 + 42 * n + 10, controls[n], 20, kLitInk);
    }
    return c;
}

Canvas Digits() {
    Canvas c(80, 11, 0);
    for (int d = 0; d < 10; ++d)
        c.TextCentred(8 * d, 8, 0, std::to_string(d), 10, kInk);
    return c;
}

// A frame with a clear middle: the hover mark of a cell.
Canvas Frame(int w, int h, int thickness, std::uint32_t rgb) {
    Canvas c(w, h, 0);
    for (int t = 0; t < thickness; ++t)
        c.Border(t, t, w - 2 * t, h - 2 * t, 1, Argb(255 - 50 * t, rgb));
    return c;
}

Canvas GalleryPage(int page) {
    Canvas c(800, 600);
    c.VGradient(0, 0, 800, 600, 0xFF182038, 0xFF46507A);
    c.OutlinedText(20, 24, "CG 鉴赏", 32, kInk);
    // Before the page buttons (713 + 23p, 22).
    c.Text(713 - 6 - Canvas::TextWidth("页", 20), 23, "页", 20, 0xC0C8E0);
    c.TextCentred(730, 50, 90, "返回", 16, 0xC0C8E0);
    for (int i = 0; i < 20; ++i) {
        const int x = (i % 5) * 156 + 18;
        const int y = (i / 5) * 119 + 121;
        c.RoundRect(x, y, 142, 106, 6, 0x0C1020, 180);
        const int row = page * 20 + i;
        if (row < 44) c.TextCentred(x, 142, y + 40, "? ? ?", 20, 0x606880);
    }
    return c;
}

// The 800 x 600 top-left part of `src` reduced to w x h, each pixel the mean
// of the block it stands for.
Canvas Reduced(const Canvas& src, int w, int h) {
    Canvas c(w, h);
    const std::vector<std::uint32_t>& px = src.Pixels();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int x0 = x * 800 / w, x1 = (x + 1) * 800 / w;
            const int y0 = y * 600 / h, y1 = (y + 1) * 600 / h;
            std::uint32_t sum[3] = {0, 0, 0};
            for (int j = y0; j < y1; ++j)
                for (int i = x0; i < x1; ++i)
                    for (int k = 0; k < 3; ++k)
                        sum[k] += (px[std::size_t(j) * src.Width() + i] >> (8 * k)) & 0xFF;
            const auto n = static_cast<std::uint32_t>((x1 - x0) * (y1 - y0));
            c.Set(x, y, 0xFF000000 | (sum[2] / n) << 16 | (sum[1] / n) << 8 | (sum[0] / n));
        }
    return c;
}

// The thumbnail of each row: the row's first picture made small where the
// demo has it (what opening the cell shows first), else a labelled tile.
Canvas GalleryThumbnails(int page) {
    Canvas c(710, 424, 0xFF000000);
    for (int i = 0; i < 20; ++i) {
        const int row = page * 20 + i;
        if (row >= 44) break;
        const std::string_view first = g_cgNames[static_cast<std::size_t>(row)][0];
        const auto& events = Events();
        const auto shown = std::find_if(events.begin(), events.end(),
                                        [&](const Event& e) { return first == e.file; });
        const std::uint32_t tone = 0xFF000000 | (((row + 3) * 0x2B4D6F) & 0x7F7F7F);
        Paste(c,
              shown != events.end()
                  ? Reduced(
                        EventPicture(*shown, kFirstSeed + static_cast<int>(shown - events.begin())),
                        142, 106)
                  : Scene(142, 106, tone, 0xFFE0E0F0, RowLabel(row), row),
              (i % 5) * 142, (i / 5) * 106);
    }
    return c;
}

bool GalleryPictures(const SystemOutput& out) {
    for (int page = 0; page < 3; ++page) {
        char name[40];
        std::snprintf(name, sizeof name, "system\\cg_base%02d.bmp", page + 1);
        if (!out.picture(name, GalleryPage(page), 24)) return false;
        std::snprintf(name, sizeof name, "system\\sam_cg%02d.bmp", page + 1);
        if (!out.picture(name, GalleryThumbnails(page), 24)) return false;
    }
    return out.picture("system\\extra_p.bmp", ButtonSheet(), 32) &&
           out.picture("system\\page0-9.bmp", Digits(), 32) &&
           out.picture("system\\cg_waku.bmp", Frame(152, 116, 4, 0xFFE070), 32);
}

bool WallpaperPictures(const SystemOutput& out) {
    Canvas base(800, 600);
    base.VGradient(0, 0, 800, 600, 0xFF203028, 0xFF506858);
    base.OutlinedText(20, 24, "壁纸", 32, kInk);
    base.Text(120, 34, "选择图片后可预览或按尺寸导出", 18, 0xD0E0D0);
    for (int i = 0; i < 10; ++i)
        base.RoundRect((i % 5) * 156 + 18, (i / 5) * 117 + 93, 140, 104, 6, 0x0C1810, 180);
    base.RoundRect(18, 324, 332, 250, 8, 0x0C1810, 200);
    base.TextCentred(18, 332, 440, "预览", 24, 0x809080);
    const char* sizes[4] = {"800×600", "1024×768", "1280×960", "1280×1024"};
    for (int k = 0; k < 4; ++k) {
        base.RoundRect(406, 394 + 43 * k, 328, 33, 10, 0x284030, 230);
        base.TextCentred(406, 328, 394 + 43 * k + 6, sizes[k], 20, kInk);
    }
    base.RoundRect(727, 565, 65, 30, 8, 0x284030, 230);
    base.TextCentred(727, 65, 570, "返回", 18, kInk);

    Canvas sheet(662, 432, 0);
    Paste(sheet, Frame(144, 108, 3, 0xFFE070), 0, 0);
    sheet.RoundRect(144, 0, 65, 30, 8, 0x50A070, 240);
    sheet.TextCentred(144, 65, 5, "返回", 18, kLitInk);
    for (int t = 0; t < 4; ++t)
        sheet.Border(t, 108 + t, 334 - 2 * t, 252 - 2 * t, 1, Argb(255 - 40 * t, 0xFFE070));
    for (int k = 0; k < 4; ++k) {
        sheet.RoundRect(334, 33 * k, 328, 33, 10, 0x50A070, 240);
        sheet.TextCentred(334, 328, 33 * k + 6, sizes[k], 20, kLitInk);
    }
    for (int n = 1; n <= 10; ++n) {
        sheet.Fill(334, n * 30 + 102, 200, 30, Argb(255, 0x203028));
        sheet.Text(340, n * 30 + 106, "嘉宾 " + std::to_string(n), 20, kInk);
    }

    Canvas large(1650, 496);
    Canvas small(700, 208);
    for (int i = 0; i < 10; ++i) {
        const std::string label = "嘉宾 " + std::to_string(i + 1);
        const std::uint32_t tone = 0xFF000000 | ((0x204030 + i * 0x0A0614) & 0x7F7F7F);
        Paste(large, Scene(330, 248, tone, 0xFF90D0A0, label, i), (i % 5) * 330, (i / 5) * 248);
        Paste(small, Scene(140, 104, tone, 0xFF90D0A0, label, i), (i % 5) * 140, (i / 5) * 104);
    }
    return out.picture("system\\wall_base.bmp", base, 24) &&
           out.picture("system\\wall_p.bmp", sheet, 32) &&
           out.picture("system\\wall_sam_b.bmp", large, 24) &&
           out.picture("system\\wall_sam_l.bmp", small, 24);
}

} // namespace

bool GalleryData(const SystemOutput& out) {
    int seed = kFirstSeed;
    for (const Event& e : Events())
        if (!out.picture(std::string("bmp\\") + e.file, EventPicture(e, seed++), 24)) return false;
    // The rooms' music: a slow plucked arpeggio that loops.
    std::vector<float> music;
    for (int bar = 0; bar < 4; ++bar)
        for (const double ratio : {1.0, 1.25, 1.5, 2.0, 1.5, 1.25}) {
            const double root = std::array<double, 4>{262, 220, 175, 196}[bar];
            const std::vector<float> note = out.blip(root * ratio, root * ratio, 0.3);
            music.insert(music.end(), note.begin(), note.end());
        }
    return GalleryPictures(out) && WallpaperPictures(out) && out.sound("bgm\\n004.ogg", music);
}

std::string GalleryStoryLines(std::string_view script) {
    // Each picture comes in by a short cross-fade and stays for one line of
    // text.
    auto show = [](const char* file, int block, const char* line) {
        return std::string("load_image surface=1 text=\"") + file +
               "\"\nmask_wipe type=39 ms=150\ntext_block block=" + std::to_string(block) +
               "\nmessage text=\"" + line + "\"\n";
    };
    if (script == "a1-1.s")
        return show("e001a.bmp", 190, "灯船一艘接一艘地驶过海面。") +
               show("e001b.bmp", 191, "最后一艘船上，有人向我们挥手。") +
               show("guest001.bmp", 192, "那位客人的笑容，像是在说“再见”。");
    if (script == "b0.s") return show("e002b.bmp", 290, "书里夹着一张长长的海岸照片。");
    return {};
}

} // namespace demo
