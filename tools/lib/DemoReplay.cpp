#include "lib/DemoReplay.h"

#include "lib/DemoCanvas.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace demo {

namespace {

constexpr std::uint32_t kInk = 0xFFFFFF;
constexpr std::uint32_t kLitInk = 0xFFE070;

using Chords = std::vector<std::array<int, 3>>;

// A backdrop of the extras: a gradient with soft circles, a title and the
// plain back button at (730, 90).
Canvas RoomBase(const char* title, std::uint32_t top, std::uint32_t bottom, int seed) {
    Canvas c(800, 600);
    c.VGradient(0, 0, 800, 600, top, bottom);
    for (int k = 0; k < 10; ++k)
        c.Disc((seed * 149 + k * 233) % 800, (seed * 61 + k * 181) % 600, 20 + (k * 29 + seed) % 70,
               0xC0B0FF, 30);
    c.Fill(0, 106, 800, 2, Argb(255, 0x8070B0));
    c.OutlinedText(24, 24, title, 32, kInk);
    c.RoundRect(730, 90, 50, 18, 6, 0x303858, 255);
    c.TextCentred(730, 50, 90, "返回", 16, 0xB0B8D0);
    return c;
}

// A full-screen picture: a gradient, circles of light and a caption.
Canvas Scenery(std::uint32_t top, std::uint32_t bottom, std::uint32_t light, int seed,
               const std::string& caption) {
    Canvas c(800, 600);
    c.VGradient(0, 0, 800, 600, top, bottom);
    for (int k = 0; k < 14; ++k)
        c.Disc((seed * 97 + k * 151) % 800, (seed * 53 + k * 89) % 600, 8 + (k * 17 + seed) % 60,
               light, 50 + (k * 13) % 60);
    c.OutlinedText(40, 540, caption, 26, kInk);
    return c;
}

// An 8-bit bitmap of a picture: its 256 commonest colours, every other one
// drawn as the nearest of them. A third of the bytes of 24 bits: the rolls'
// thirty full-screen pictures are written and packed in far less time.
bmp_writer::BmpImage Palettized(const Canvas& c) {
    const bmp_writer::BmpImage full = c.Image(24);
    std::unordered_map<std::uint32_t, std::uint32_t> counts;
    for (std::uint32_t p : full.pixels)
        ++counts[p & 0xFFFFFF];
    std::vector<std::pair<std::uint32_t, std::uint32_t>> byCount(counts.begin(), counts.end());
    std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    bmp_writer::BmpImage img;
    img.width = full.width;
    img.height = full.height;
    img.bitCount = 8;
    for (std::size_t k = 0; k < byCount.size() && k < 256; ++k)
        img.palette.push_back(byCount[k].first);
    std::unordered_map<std::uint32_t, std::uint8_t> exact;
    for (std::size_t k = 0; k < img.palette.size(); ++k)
        exact.emplace(img.palette[k], static_cast<std::uint8_t>(k));
    // Other colours take the palette entry nearest to their 5-bit cell,
    // searched once a cell.
    std::vector<int> nearest(1 << 15, -1);
    const auto channel = [](std::uint32_t c, int shift) {
        return static_cast<int>((c >> shift) & 0xFF);
    };
    const auto lookup = [&](std::uint32_t colour) -> std::uint8_t {
        if (const auto it = exact.find(colour); it != exact.end()) return it->second;
        const std::uint32_t cell =
            ((colour >> 9) & 0x7C00) | ((colour >> 6) & 0x3E0) | ((colour >> 3) & 0x1F);
        int& best = nearest[cell];
        if (best < 0) {
            long bestDistance = -1;
            for (std::size_t k = 0; k < img.palette.size(); ++k) {
                long d = 0;
                for (int shift = 0; shift <= 16; shift += 8) {
                    const int e = channel(colour, shift) - channel(img.palette[k], shift);
                    d += static_cast<long>(e) * e;
                }
                if (bestDistance < 0 || d < bestDistance) {
                    bestDistance = d;
                    best = static_cast<int>(k);
                }
            }
        }
        return static_cast<std::uint8_t>(best);
    };
    img.indices.reserve(full.pixels.size());
    for (std::uint32_t p : full.pixels)
        img.indices.push_back(lookup(p & 0xFFFFFF));
    return img;
}

std::uint32_t Hue(int k) {
    static const std::uint32_t hues[] = {0xFF304A78, 0xFF7A3A50, 0xFF2E6A58, 0xFF6A5A2A,
                                         0xFF4A3A7A, 0xFF2A5A7A, 0xFF7A4A2A, 0xFF3A6A3A};
    return hues[k % 8];
}

// ---------------------------------------------------------------- music room

constexpr std::array<const char*, 36> kTrackFiles{
    "n001", "n002", "n003", "n004", "n005", "n006", "n007", "n008", "n009", "c002", "c003", "c004",
    "c005", "c006", "c007", "c008", "c009", "c010", "c011", "c012", "c013", "c014", "c015", "c016",
    "c017", "c018", "c019", "c020", "c022", "c023", "c027", "p003", "p004", "p006", "p007", "p039",
};
constexpr std::array<const char*, 36> kTrackTitles{
    "晨光海岸", "小镇的风", "石板路", "鉴赏时间", "午后书页", "标题画面", "海堤漫步", "灯船",
    "夜航",     "雨夜",     "旧书店", "银杏叶",   "无名日记", "店内灯火", "雨停之后", "星空列车",
    "月台",     "车厢",     "银河",   "车窗",     "远方",     "约定",     "重逢",     "告白",
    "回忆",     "晴空",     "薄暮",   "祭典",     "海的尽头", "归途",     "终章",     "小游戏",
    "对局",     "章鱼烧",   "胜利",   "尾声"};

bool MusicRoomData(const ReplayOutput& out) {
    Canvas base = RoomBase("音乐鉴赏", 0xFF1A1838, 0xFF40386A, 3);
    // The page counter's slash and the plain controls under their lit looks.
    base.Text(763, 28, "/", 14, kInk);
    const char* controls[3] = {"←", "■", "→"};
    for (int n = 0; n < 3; ++n) {
        base.RoundRect(688 + 32 * n, 46, 32, 42, 8, 0x303858, 255);
        base.TextCentred(688 + 32 * n, 32, 56, controls[n], 22, 0xB0B8D0);
    }
    Canvas drop(382, 53, 0);
    drop.RoundRect(6, 8, 374, 42, 12, 0x000008, 110);
    Canvas bar(367, 111, 0);
    const std::uint32_t looks[3] = {0x283060, 0x5060B0, 0xB08830};
    for (int k = 0; k < 3; ++k)
        bar.RoundRect(0, 37 * k + 1, 367, 35, 12, looks[k], 230);
    Canvas names(4 * 367, 9 * 37, 0);
    for (int t = 0; t < 36; ++t) {
        char label[64];
        std::snprintf(label, sizeof label, "%02d  %s", t + 1, kTrackTitles[t]);
        names.Text((t / 9) * 367 + 16, (t % 9) * 37 + 8, label, 20, kInk);
    }
    if (!out.picture("system\\music_base.bmp", base, 24) ||
        !out.picture("system\\music_drop.bmp", drop, 32) ||
        !out.picture("system\\music_bar.bmp", bar, 32) ||
        !out.picture("system\\music_name_02.bmp", names, 32))
        return false;
    static const Chords progressions[4] = {
        {{0, 4, 7}, {-3, 0, 4}, {5, 9, 12}, {7, 11, 14}},
        {{0, 3, 7}, {-4, 0, 3}, {-2, 2, 5}, {-5, -1, 2}},
        {{0, 4, 7}, {5, 9, 12}, {-1, 2, 5}, {0, 4, 7}},
        {{0, 3, 7}, {3, 7, 10}, {5, 8, 12}, {-2, 2, 5}},
    };
    for (int t = 0; t < 36; ++t) {
        const std::string file = std::string(kTrackFiles[t]) + ".ogg";
        if (file == "n004.ogg" ||
            std::any_of(kTracksWrittenElsewhere.begin(), kTracksWrittenElsewhere.end(),
                        [&](const char* n) { return file == n; }))
            continue;
        if (!out.sound("bgm\\" + file,
                       out.music(52 + (t * 5) % 19, progressions[t % 4], 0.16 + 0.01 * (t % 5))))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- scene replay

constexpr int kCells = 25;

bool SceneReplayData(const ReplayOutput& out) {
    Canvas base = RoomBase("场景回想", 0xFF181C34, 0xFF3A4468, 5);
    Canvas thumbs(560, 420, 0xFF000000);
    for (int i = 0; i < kCells; ++i) {
        const int x = (i % 5) * 123 + 97;
        const int y = (i / 5) * 94 + 123;
        // Unseen cells show the page's own locked plate.
        base.RoundRect(x, y, 112, 84, 6, 0x10142A, 200);
        base.TextCentred(x, 112, y + 30, "？", 22, 0x606890);
        const int tx = (i % 5) * 112;
        const int ty = (i / 5) * 84;
        thumbs.VGradient(tx, ty, 112, 84, i == 0 ? 0xFF1A2450 : Hue(i),
                         i == 0 ? 0xFFE0A050 : 0xFF101018);
        if (i == 0) {
            for (int k = 0; k < 5; ++k)
                thumbs.Disc(tx + 14 + 21 * k, ty + 50 - (k % 2) * 8, 5, 0xFFC060, 230);
        }
        thumbs.OutlinedText(tx + 6, ty + 58, "场景 " + std::to_string(i + 1), 18, kInk);
    }
    Canvas frame(118, 90, 0);
    frame.RoundRect(0, 0, 118, 90, 8, 0xFFE070, 230);
    for (int y = 3; y < 87; ++y)
        for (int x = 3; x < 115; ++x)
            frame.Set(x, y, 0);
    // The scene's own picture: the harbour at night as the lantern boats pass.
    Canvas harbour(800, 600);
    harbour.VGradient(0, 0, 800, 600, 0xFF0C1430, 0xFF2A3A6A);
    harbour.Fill(0, 400, 800, 200, Argb(255, 0x0A1020));
    for (int k = 0; k < 9; ++k) {
        harbour.Disc(60 + 85 * k, 420 + (k % 3) * 30, 16, 0xFFB050, 220);
        harbour.Disc(60 + 85 * k, 420 + (k % 3) * 30, 40, 0xFFB050, 50);
    }
    const std::string scene = "play_bgm_fade loop=1 ms=1000 text=\"c022.ogg\"\n"
                              "load_image surface=1 text=\"bg_scene01.bmp\"\n"
                              "set_char_sprite slot=0 text=\"lyu_a.bmp\"\n"
                              "set_char slot=0 face=0 x=400 y=0\n"
                              "mask_wipe type=39 ms=1000\n"
                              "text_block block=190\n"
                              "message text=\"＃林雨\"\n"
                              "message text=\"……灯船真的来了。一盏、两盏、三盏。\"\n"
                              "text_block block=191\n"
                              "message text=\"＃周晴\"\n"
                              "message text=\"我说过吧？每年只有这一晚。\"\n"
                              "text_block block=192\n"
                              "message text=\"灯火一直漂到海的尽头，我们谁也没有再说话。\"\n"
                              "fade_bgm ms=1000\n"
                              // A replay ends here and goes back to its room; the story goes on
                              // into its ending's staff roll, which then opens for early leaving.
                              "scene_end scene=0\n"
                              "set_mode mode=28\n"
                              "set_flag flag=0\n"
                              "end\n";
    return out.picture("system\\scene_base.bmp", base, 24) &&
           out.picture("system\\sam_scene01.bmp", thumbs, 24) &&
           out.picture("system\\sce_waku.bmp", frame, 32) &&
           out.picture("bmp\\bg_scene01.bmp", harbour, 24) && out.script("a1-2-3.s", scene);
}

// ---------------------------------------------------------------- staff rolls

// A credit sheet 320 wide: headings and names in turn spread down its
// height, clear between them; `closing` is drawn in its last 80 rows.
Canvas CreditSheet(int height, const std::vector<std::pair<const char*, const char*>>& credits,
                   const char* closing) {
    Canvas c(320, height, 0);
    const int step = std::max(100, (height - 240) / static_cast<int>(credits.size()));
    int y = 40;
    for (const auto& [role, name] : credits) {
        if (y + 90 > height - 100) break;
        c.TextCentred(0, 320, y, role, 18, 0xC0C8F0);
        c.TextCentred(0, 320, y + 28, name, 24, kInk);
        y += step;
    }
    c.TextCentred(0, 320, height - 64, closing, 32, kLitInk);
    return c;
}

bool StaffRollData(const ReplayOutput& out) {
    const std::vector<std::pair<const char*, const char*>> credits{
        {"企划", "林 一舟"},      {"剧本", "苏 白露"},        {"角色设计", "周 晴川"},
        {"背景美术", "叶 南星"},  {"音乐", "陈 默言"},        {"音效", "顾 远帆"},
        {"演出", "许 知秋"},      {"程序", "Norvane 开发组"}, {"测试", "海风工作室"},
        {"特别感谢", "所有玩家"}, {"监制", "星空列车"},       {"出品", "Norvane"},
        {"宣传", "白 露霜"},      {"翻译", "江 晚舟"},        {"协力", "雨夜书店"},
    };
    // The sheets are as tall as the rolls' table makes them; rolls 32 and 33
    // share the 2560-row sheet of roll 29, so their window stands empty for
    // the end of their 4550 px.
    if (!out.picture("system\\s_r_font.bmp", CreditSheet(3950, credits, "感谢游玩"), 32) ||
        !out.picture("system\\s_r_font01.bmp", CreditSheet(2560, credits, "完"), 32) ||
        !out.picture("system\\s_r_font02.bmp", CreditSheet(2560, credits, "终"), 32) ||
        !out.picture("system\\s_r_font03.bmp", CreditSheet(2300, credits, "后会有期"), 32))
        return false;
    // The full-screen pictures, 8-bit.
    const auto scenery = [&](const std::string& path, std::uint32_t top, std::uint32_t bottom,
                             std::uint32_t light, int seed, const std::string& caption) {
        return out.bitmap(path, Palettized(Scenery(top, bottom, light, seed, caption)));
    };
    const char* backgrounds[7] = {"bg02b", "bg12b", "bg05b", "bg16b", "bg20b", "bg33b", "bg13b"};
    for (int k = 0; k < 7; ++k)
        if (!scenery(std::string("bmp\\") + backgrounds[k] + ".bmp", Hue(k), 0xFF101018, 0xFFE0C0,
                     20 + k, "回忆 " + std::to_string(k + 1)))
            return false;
    for (int k = 1; k <= 8; ++k)
        if (!scenery("system\\bex_" + std::to_string(k) + ".bmp", 0xFFF0E0D0, Hue(k), 0xFFFFFF,
                     40 + k, "后日谈 " + std::to_string(k)))
            return false;
    for (int k = 1; k <= 15; ++k) {
        char name[40];
        std::snprintf(name, sizeof name, "system\\pellory_%02d.bmp", k);
        if (!scenery(name, Hue(k + 3), 0xFF080810, 0xFFD0E0FF, 60 + k, "相册 " + std::to_string(k)))
            return false;
    }
    // The ending songs not in the music room's list.
    static const Chords ending{{0, 4, 7}, {-3, 0, 4},  {5, 9, 12}, {7, 11, 14},
                               {0, 4, 7}, {-5, -1, 2}, {-3, 0, 4}, {-7, -3, 0}};
    return out.sound("bgm\\bgm045.ogg", out.music(60, ending, 0.3)) &&
           out.sound("bgm\\bgm004.ogg", out.music(55, ending, 0.34));
}

} // namespace

bool ReplayData(const ReplayOutput& out) {
    return MusicRoomData(out) && SceneReplayData(out) && StaffRollData(out);
}

std::string ReplayStoryTail(const std::string& storyScript) {
    return storyScript == "a1-1.s" ? "change_script text=\"a1-2-3.s\"\n" : "";
}

} // namespace demo
