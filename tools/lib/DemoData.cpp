#include "lib/DemoData.h"

#include "lib/DemoCanvas.h"
#include "lib/DemoContest.h"
#include "lib/DemoCutIns.h"
#include "lib/DemoSystem.h"

#include "data/ArchiveDecoders.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "lib/BmpWriter.h"
#include "lib/DemoBacklog.h"
#include "lib/DemoGallery.h"
#include "lib/DemoMahjong.h"
#include "lib/DemoMahjongTitle.h"
#include "lib/DemoMovies.h"
#include "lib/DemoReplay.h"
#include "lib/DemoSaveLoad.h"
#include "lib/OggWriter.h"
#include "lib/PackWriter.h"
#include "lib/ScriptAssembler.h"
#include "platform/Glyph.h"
#include "platform/Platform.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <numbers>
#include <set>

namespace demo {

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------- sounds

constexpr std::uint32_t kRate = 22050;

struct Note {
    double frequency; // 0: a rest
    double seconds;
};

// Notes with a soft attack and release, each a sine with one overtone.
std::vector<float> Melody(const std::vector<Note>& notes, double amplitude) {
    std::vector<float> out;
    for (const Note& n : notes) {
        const auto count = static_cast<std::size_t>(n.seconds * kRate);
        for (std::size_t i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double attack = std::min(1.0, t / 0.02);
            const double release = std::min(1.0, (n.seconds - t) / 0.08);
            const double env = std::max(0.0, std::min(attack, release));
            double v = 0;
            if (n.frequency > 0) {
                const double w = 2 * std::numbers::pi * n.frequency * t;
                v = (std::sin(w) + 0.3 * std::sin(2 * w)) / 1.3;
            }
            out.push_back(static_cast<float>(amplitude * env * v));
        }
    }
    return out;
}

double Midi(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// A looping piece: an arpeggio over a chord progression.
std::vector<float> Music(int root, const std::vector<std::array<int, 3>>& chords, double beat) {
    std::vector<Note> notes;
    for (const auto& chord : chords)
        for (int rep = 0; rep < 2; ++rep)
            for (int k : {0, 1, 2, 1})
                notes.push_back({Midi(root + chord[k]), beat});
    return Melody(notes, 0.35);
}

// A voice line: a pitch of its own, spoken in syllables.
std::vector<float> VoiceLine(int index, double seconds) {
    const double base = 180.0 + 37.0 * (index % 17);
    const auto count = static_cast<std::size_t>(seconds * kRate);
    std::vector<float> out;
    out.reserve(count);
    double phase = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double syllable = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * t * (4.0 + index % 3));
        const double glide = 1.0 + 0.08 * std::sin(2 * std::numbers::pi * t * 1.3);
        phase += 2 * std::numbers::pi * base * glide / kRate;
        const double fade = std::min(1.0, std::min(t / 0.03, (seconds - t) / 0.05));
        const double v = std::sin(phase) + 0.4 * std::sin(2 * phase) + 0.2 * std::sin(3 * phase);
        out.push_back(static_cast<float>(0.3 * fade * syllable * v));
    }
    return out;
}

// A short blip sliding from one pitch to another.
std::vector<float> Blip(double from, double to, double seconds) {
    const auto count = static_cast<std::size_t>(seconds * kRate);
    std::vector<float> out;
    double phase = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        phase += 2 * std::numbers::pi * (from + (to - from) * t / seconds) / kRate;
        const double env = std::exp(-t * 25.0) * std::min(1.0, t / 0.003);
        out.push_back(static_cast<float>(0.5 * env * std::sin(phase)));
    }
    return out;
}

// ---------------------------------------------------------------- the game folder

struct Member {
    std::string name;
    std::vector<std::uint8_t> data;
};

class GameWriter {
public:
    GameWriter(fs::path dir, const DemoOptions& options, std::string& error)
        : dir_(std::move(dir)), options_(options), error_(error) {}

    bool Packed(const std::string& folder) const {
        if (options_.packing == Packing::AllLoose) return false;
        const auto& p = PackedFolders();
        return std::find(p.begin(), p.end(), folder) != p.end();
    }

    bool Put(const std::string& folder, const std::string& name, std::vector<std::uint8_t> bytes) {
        if (bytes.empty()) return Fail(folder + "\\" + name + " could not be made");
        if (Packed(folder)) {
            members_[folder].push_back({name, std::move(bytes)});
            return true;
        }
        const fs::path path = dir_ / folder / name;
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        std::ofstream f(path, std::ios::binary);
        f.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
        if (!f) return Fail("cannot write " + path.string());
        return true;
    }

    bool Picture(const std::string& path, const Canvas& c, int bits) {
        const auto slash = path.find('\\');
        return Put(path.substr(0, slash), path.substr(slash + 1),
                   bmp_writer::EncodeBmp(c.Image(bits)));
    }

    bool Sound(const std::string& path, const std::vector<float>& samples) {
        const auto slash = path.find('\\');
        return Put(path.substr(0, slash), path.substr(slash + 1),
                   tools::EncodeOgg(samples, 1, kRate));
    }

    bool Files(std::vector<DemoFile> files) {
        for (DemoFile& f : files)
            if (!Put(f.folder, f.name, std::move(f.bytes))) return false;
        return true;
    }

    bool Script(const std::string& name, const std::string& text) {
        const nvasm::AssembleResult r = nvasm::Assemble(text);
        if (!r.ok()) return Fail(name + " line " + std::to_string(r.line) + ": " + r.error);
        return Put("script", name, nvasm::Complement(r.bytes));
    }

    // Writes every archive: pictures and scripts coded in turn with each
    // kind of coding, sounds stored plain (they are read in place).
    bool Finish() {
        static constexpr std::array<std::uint32_t, 6> kCodings{
            kPackFlagLzss,
            kPackFlagRange,
            kPackFlagRecency | kPackFlagRange,
            kPackFlagLzss | kPackFlagScrambled,
            kPackFlagScrambled,
            kPackFlagBlockSort | kPackFlagRecency | kPackFlagRange,
        };
        for (auto& [folder, members] : members_) {
            std::vector<packwriter::PackMember> pack;
            std::size_t turn = 0;
            for (Member& m : members) {
                packwriter::PackMember p;
                p.name = m.name;
                const bool sound = folder == "bgm" || folder == "se" || folder == "voice";
                if (!sound) {
                    std::uint32_t flags = kCodings[turn++ % kCodings.size()];
                    // The block sort is kept to small members: it is the slow one.
                    if ((flags & kPackFlagBlockSort) && m.data.size() > 300000)
                        flags = kPackFlagLzss;
                    p.flags = flags;
                }
                p.data = std::move(m.data);
                pack.push_back(std::move(p));
            }
            std::string why;
            if (!packwriter::WriteArchive(dir_ / (folder + ".dat"), pack, &why))
                return Fail(folder + ".dat: " + why);
        }
        return true;
    }

    bool Fail(const std::string& why) {
        if (error_.empty()) error_ = why;
        return false;
    }

private:
    fs::path dir_;
    DemoOptions options_;
    std::string& error_;
    std::map<std::string, std::vector<Member>> members_;
};

// ---------------------------------------------------------------- the pictures of the screens

struct Box {
    int left, top, right, bottom;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

constexpr std::uint32_t kInk = 0xFFFFFF;
constexpr std::uint32_t kLitInk = 0xFFE070;

// A backdrop: a vertical gradient with soft circles.
Canvas Backdrop(std::uint32_t top, std::uint32_t bottom, std::uint32_t accent, int seed) {
    Canvas c(800, 600);
    c.VGradient(0, 0, 800, 600, top, bottom);
    for (int k = 0; k < 9; ++k) {
        const int x = (seed * 131 + k * 257) % 800;
        const int y = (seed * 71 + k * 173) % 600;
        c.Disc(x, y, 30 + (k * 37 + seed * 11) % 90, accent, 40);
    }
    return c;
}

bool BootPictures(GameWriter& g) {
    Canvas logo = Backdrop(0xFF0E1A3A, 0xFF2A4A8A, 0x80C0FF, 1);
    logo.Ring(400, 260, 120, 10, 0xC0E0FF, 220);
    logo.Disc(400, 260, 60, 0xFFFFFF, 90);
    logo.TextCentred(0, 800, 400, "NORVANE", 48, 0xFFFFFF);
    logo.TextCentred(0, 800, 470, "演示版 · 自制数据", 26, 0xC0D8FF);
    Canvas warning(800, 600, 0xFFF4F0E8);
    warning.Border(40, 40, 720, 520, 4, 0xFF806040);
    warning.TextCentred(0, 800, 120, "注意", 40, 0x803010);
    const char* lines[] = {"本程序所用的图片、声音与文字", "全部由演示数据生成器自行绘制与合成。",
                           "按住 Ctrl 键可以跳过开场画面。", "请适度游戏，注意休息。"};
    for (int i = 0; i < 4; ++i)
        warning.TextCentred(0, 800, 220 + 60 * i, lines[i], 26, 0x403020);
    return g.Picture("system\\logo_01.bmp", logo, 24) &&
           g.Picture("system\\warning.bmp", warning, 24);
}

// Labels in rows of `rowHeight`, each centred on the width of its own box.
Canvas LabelRows(int width, int rowHeight, const std::vector<std::string>& labels,
                 const std::vector<int>& boxWidths, int size, std::uint32_t ink) {
    Canvas c(width, rowHeight * static_cast<int>(labels.size()), 0);
    for (std::size_t k = 0; k < labels.size(); ++k)
        c.TextCentred(0, boxWidths[k], static_cast<int>(k) * rowHeight + (rowHeight - size) / 2,
                      labels[k], size, ink);
    return c;
}

bool MainTitlePictures(GameWriter& g) {
    const std::vector<std::string> items{"故事", "小游戏", "设置", "鉴赏", "退出"};
    const std::vector<int> itemWidths{110, 188, 134, 120, 88};
    const Box plates[5] = {{560, 374, 726, 412},
                           {522, 412, 800, 450},
                           {514, 450, 714, 488},
                           {498, 488, 676, 526},
                           {488, 526, 614, 564}};

    Canvas bg = Backdrop(0xFF1C2B4F, 0xFF6A82B8, 0xFFFFFF, 2);
    bg.HGradient(440, 370, 360, 230, 0xFF22335C, 0xFF3A5488);
    Canvas labels = LabelRows(188, 38, items, itemWidths, 26, kInk);
    Canvas lit = LabelRows(188, 38, items, itemWidths, 26, kLitInk);
    Canvas plate(278, 190, 0);
    for (int k = 0; k < 5; ++k) {
        plate.RoundRect(0, 38 * k + 2, plates[k].Width(), 34, 14, 0x2050A0, 200);
        plate.RoundRect(2, 38 * k + 4, plates[k].Width() - 4, 30, 12, 0x70A0E0, 120);
    }
    // Two logo layers: an emblem and the name, each with its own alpha.
    Canvas logo(440, 640, 0);
    logo.Disc(220, 150, 120, 0x6080FF, 110);
    logo.Ring(220, 150, 120, 6, 0xE0F0FF, 230);
    logo.Ring(220, 150, 90, 3, 0xE0F0FF, 160);
    logo.OutlinedText(64, 320 + 110, "NORVANE", 52, 0xFFFFFF);
    logo.TextCentred(0, 440, 320 + 190, "海风 · 雨夜 · 星空", 26, 0xE8F0FF);
    return g.Picture("system\\title_bg.bmp", bg, 24) &&
           g.Picture("system\\title_p01.bmp", labels, 32) &&
           g.Picture("system\\title_p02.bmp", lit, 32) &&
           g.Picture("system\\title_p03.bmp", plate, 32) &&
           g.Picture("system\\title_logo.bmp", logo, 32);
}

struct ChooserLook {
    const char* prefix; // "title01" or "title02"
    const char* background;
    std::vector<std::string> panels;
    std::vector<std::string> buttons;
    std::vector<int> buttonWidths;
    int panelHeight;
    bool lockedRow;
};

bool ChooserPictures(GameWriter& g, const ChooserLook& look, int seed) {
    const int n = static_cast<int>(look.panels.size());
    const int h = look.panelHeight;
    Canvas bg = Backdrop(0xFF20304A, 0xFF506C90, 0xFFFFFF, seed);
    bg.TextCentred(0, 253, 120, seed == 3 ? "选择故事" : "小游戏", 32, 0xFFFFFF);
    Canvas normal(547, h * (n + (look.lockedRow ? 1 : 0)), 0);
    Canvas lit(547, h * n, 0xFF000000);
    const std::uint32_t tones[3] = {0x3A6EA5, 0x7A4EA0, 0x2E8A70};
    for (int p = 0; p < n; ++p) {
        normal.RoundRect(8, h * p + 8, 539, h - 16, 18, tones[p], 210);
        normal.Text(40, h * p + h / 2 - 20, look.panels[p], 32, 0xFFFFFF);
        lit.VGradient(0, h * p, 547, h, Argb(255, tones[p] + 0x202020), Argb(255, tones[p]));
        lit.RoundRect(8, h * p + 8, 539, h - 16, 18, 0xFFFFFF, 60);
        lit.Text(40, h * p + h / 2 - 20, look.panels[p], 32, kLitInk);
    }
    if (look.lockedRow) {
        normal.RoundRect(8, h * n + 8, 539, h - 16, 18, 0x303030, 235);
        normal.TextCentred(0, 547, h * n + h / 2 - 16, "尚未开放", 32, 0xA0A0A0);
    }
    Canvas buttons(look.buttonWidths[0] > 124 ? 156 : 124, 136, 0);
    for (int b = 0; b < 4; ++b) {
        buttons.RoundRect(0, 34 * b + 2, look.buttonWidths[b], 30, 12, 0x80A0E0, 170);
        buttons.TextCentred(0, look.buttonWidths[b], 34 * b + 5, look.buttons[b], 22, kLitInk);
    }
    // The buttons' plain look stands in the background.
    const Box rects[4] = {{seed == 3 ? 8 : 34, 430, seed == 3 ? 164 : 134, 464},
                          {22, 464, 146, 498},
                          {28, 498, 140, 532},
                          {44, 532, 126, 566}};
    for (int b = 0; b < 4; ++b)
        bg.TextCentred(rects[b].left, rects[b].Width(), rects[b].top + 5, look.buttons[b], 22,
                       0xE0E8F0);
    const std::string p = std::string("system\\") + look.prefix;
    return g.Picture(std::string("system\\") + look.background, bg, 24) &&
           g.Picture(p + "_p01.bmp", lit, 24) && g.Picture(p + "_p02.bmp", buttons, 32) &&
           g.Picture(p + "_p03.bmp", normal, 32);
}

struct ScenarioLook {
    const char* key; // s, r, i
    const char* title;
    std::uint32_t top, bottom;
    int x, y0, w, h;
};

bool ScenarioTitlePictures(GameWriter& g, const ScenarioLook& s, int seed) {
    const std::vector<std::string> items{"开始", "读取", "设置", "鉴赏", "退出"};
    Canvas bg = Backdrop(s.top, s.bottom, 0xFFFFFF, seed);
    bg.OutlinedText(60, 60, s.title, 48, 0xFFFFFF);
    bg.Text(64, 130, "右键返回故事选择", 20, 0xE0E0E0);
    Canvas strip(s.w, s.h * 5, 0);
    for (int k = 1; k <= 5; ++k) {
        const int y = s.y0 + s.h * k;
        const int size = std::min(24, s.h - 6);
        bg.TextCentred(s.x, s.w, y + (s.h - size) / 2, items[k - 1], size, 0xFFFFFF);
        strip.RoundRect(0, s.h * (k - 1) + 1, s.w, s.h - 2, 10, 0xFFFFFF, 90);
        strip.TextCentred(0, s.w, s.h * (k - 1) + (s.h - size) / 2, items[k - 1], size, kLitInk);
    }
    return g.Picture(std::string("system\\title_bg_") + s.key + ".bmp", bg, 24) &&
           g.Picture(std::string("system\\title_") + s.key + "_p01.bmp", strip, 32);
}

// Pictures the script object loads when it is made, and the story's window.
bool StoryPictures(GameWriter& g) {
    // Message window: a translucent panel whose top edge stands at y 461.
    auto window = [](int h, std::uint32_t tone) {
        Canvas c(800, h, 0);
        c.RoundRect(10, 4, 780, h - 8, 16, tone, 185);
        c.RoundRect(14, 8, 772, h - 16, 13, 0xFFFFFF, 24);
        return c;
    };
    // Window buttons: the plain look stands in the window picture, the
    // hover look in the top row of the button sheet, the lit look below.
    const std::pair<int, int> cells[8] = {{0, 48},   {48, 52},  {100, 54}, {154, 54},
                                          {208, 70}, {278, 28}, {301, 40}, {341, 27}};
    const int places[6] = {506, 546, 594, 650, 704, 772};
    const char* names[8] = {"跳过", "自动", "存档", "读档", "系统", "×", "上", "下"};
    Canvas windowPicture = window(139, 0x182238);
    Canvas window2 = window(139, 0x302018);
    for (int k = 0; k < 6; ++k) {
        windowPicture.TextCentred(places[k], cells[k].second, 7, names[k], 16, 0x8890A0);
        window2.TextCentred(places[k], cells[k].second, 7, names[k], 16, 0x8890A0);
    }
    Canvas window3(800, 600, 0);
    window3.Fill(0, 0, 800, 600, Argb(150, 0x101018));
    Canvas buttons(368, 52, 0);
    for (int k = 0; k < 8; ++k) {
        buttons.TextCentred(cells[k].first, cells[k].second, 4, names[k], 16, 0xFFFFFF);
        buttons.TextCentred(cells[k].first, cells[k].second, 30, names[k], 16, kLitInk);
    }
    // Click-wait icons: eight frames of a pulsing ring, 70 x 73 each.
    auto clickWait = [](std::uint32_t tone) {
        Canvas c(560, 73, 0);
        for (int f = 0; f < 8; ++f) {
            c.Ring(70 * f + 35, 36, 10 + f, 3, tone, 230 - 20 * f);
            c.Disc(70 * f + 35, 36, 4, tone, 230);
        }
        return c;
    };
    Canvas cWait(280, 74, 0);
    for (int f = 0; f < 3; ++f)
        cWait.Disc(36 + 70 * f, 36, 8 + 4 * f, 0xFFE070, 200);
    for (int k = 0; k < 5; ++k)
        cWait.Disc(244, 8 + 14 * k, 4 + k % 3, 0xFFFFFF, 220); // sparkles at (219, 1)
    // The plain plate at y 0, the lit one at y 64. The lit plate is drawn at
    // x 150 and put out by restoring the screen from x 158 on: its first
    // eight columns stay clear, so that nothing of it is left behind.
    Canvas select(512, 128, 0);
    select.RoundRect(0, 4, 512, 56, 24, 0x203050, 210);
    select.RoundRect(8, 68, 504, 56, 24, 0x5070B0, 230);
    select.RoundRect(12, 72, 496, 48, 20, 0xFFFFFF, 50);
    Canvas selectBase(800, 600, Argb(110, 0x000010));
    Canvas black(800, 600, 0xFF000000);
    Canvas icon(64, 64, 0);
    icon.Disc(32, 32, 28, 0x4070C0);
    icon.TextCentred(0, 64, 18, "N", 28, 0xFFFFFF);
    Canvas gaiji(240, 24, 0);
    const char* glyphs[10] = {"♥", "★", "♪", "☆", "○", "●", "◎", "◇", "◆", "□"};
    for (int k = 0; k < 10; ++k)
        gaiji.TextCentred(24 * k, 24, 0, glyphs[k], 22, 0xFFD0E0);
    Canvas obi(800, 48, 0xFF000000);
    obi.HGradient(0, 40, 800, 8, 0xFF202020, 0xFF000000);
    Canvas day(165, 28 * 30, 0);
    Canvas day2(70, 10 * 30, 0);
    for (int d = 1; d <= 30; ++d) {
        day.OutlinedText(4, 28 * (d - 1) + 1, "第 " + std::to_string(d) + " 天", 24, 0xFFFFFF);
        day2.Fill(2, 10 * (d - 1) + 2, std::min(66, 2 * d + 4), 6, Argb(220, 0xFFE070));
    }
    return g.Picture("system\\window.bmp", windowPicture, 32) &&
           g.Picture("system\\window2.bmp", window2, 32) &&
           g.Picture("system\\window3.bmp", window3, 32) &&
           g.Picture("system\\window_p.bmp", buttons, 32) &&
           g.Picture("system\\window_p3.bmp", buttons, 32) &&
           g.Picture("system\\click_wait00.bmp", clickWait(0xFFFFFF), 32) &&
           g.Picture("system\\click_wait01.bmp", clickWait(0xFFE070), 32) &&
           g.Picture("system\\click_wait02.bmp", clickWait(0x80E0FF), 32) &&
           g.Picture("system\\c_wait.bmp", cWait, 32) &&
           g.Picture("system\\select_p.bmp", select, 32) &&
           g.Picture("system\\select_base.bmp", selectBase, 32) &&
           g.Picture("system\\black.bmp", black, 24) && g.Picture("system\\T_ICON.bmp", icon, 32) &&
           g.Picture("system\\gaiji.bmp", gaiji, 32) && g.Picture("system\\obi.bmp", obi, 24) &&
           g.Picture("system\\day.bmp", day, 32) && g.Picture("system\\day2.bmp", day2, 32);
}

// The orb of the sprite layer, and where its drift comes to rest.
constexpr int kOrbRestX = 660;
constexpr int kOrbRestY = 40;

Canvas OrbPicture() {
    Canvas orb(80, 80, 0);
    for (int r = 38; r > 0; r -= 2)
        orb.Disc(40, 40, r, 0xFFF8D0, 255 - r * 6);
    return orb;
}

// A story's first picture with the orb painted where its drift ends, drawn
// by the blit that draws the layer at full opacity: the story swaps it in as
// the layer is cleared, because a save keeps pictures but no layers.
Canvas WithOrbAtRest(const Canvas& sky) {
    const Canvas orb = OrbPicture();
    const auto dibOf = [](const Canvas& c) {
        auto dib = std::make_unique<CDib>();
        dib->Create(platform::WindowHandle::None, c.Width(), c.Height(), 32);
        for (int y = 0; y < c.Height(); ++y)
            for (int x = 0; x < c.Width(); ++x)
                dib->SetPixel(x, y, c.Pixels()[std::size_t(y) * c.Width() + x]);
        return dib;
    };
    const auto scene = dibOf(sky);
    const auto glow = dibOf(orb);
    BltAlpha(scene.get(), kOrbRestX, kOrbRestY, glow.get(), 0, 0, orb.Width(), orb.Height());
    Canvas out(sky.Width(), sky.Height());
    for (int y = 0; y < sky.Height(); ++y)
        for (int x = 0; x < sky.Width(); ++x)
            out.Set(x, y, 0xFF000000u | scene->GetPixel(x, y));
    return out;
}

// The story sequences: the day logo's plates and rows, the eye-catch's
// backdrop and word, and the orb of the sprite layer.
bool SequencePictures(GameWriter& g) {
    constexpr int kDays = 7;
    Canvas dayBaseDark = Backdrop(0xFF060A18, 0xFF18244A, 0x8090C0, 21);
    Canvas dayBase = Backdrop(0xFFF0ECE0, 0xFFD0D8E8, 0xFFFFFF, 22);
    dayBase.Border(190, 190, 420, 220, 2, 0xFF8090A8);
    Canvas eyeDay(310, 50 * kDays, 0);
    Canvas eyeDayGlow(330, 74 * kDays, 0);
    Canvas dayLogo(248, 74 * kDays, 0);
    Canvas dayLogoGlow(274, 100 * kDays, 0);
    for (int d = 1; d <= kDays; ++d) {
        const int r = d - 1;
        eyeDay.TextCentred(0, 310, 50 * r + 8, "第 " + std::to_string(d) + " 天", 32, 0x304060);
        eyeDayGlow.RoundRect(4, 74 * r + 6, 322, 62, 28, 0xFFE8A0, 160);
        dayLogo.TextCentred(0, 248, 74 * r + 12, "DAY " + std::to_string(d), 48, 0x203050);
        dayLogoGlow.RoundRect(6, 100 * r + 10, 262, 80, 36, 0xA0C8FF, 150);
    }
    Canvas eyeBase = Backdrop(0xFF2A1840, 0xFFB06080, 0xFFE0F0, 23);
    eyeBase.Fill(420, 400, 380, 200, Argb(255, 0x201028));
    // Six letters in cells of the widths the eye-catch cuts, and a subtitle.
    Canvas eyeWord(457, 161, 0);
    const int cellX[6] = {0, 83, 166, 235, 309, 383};
    const int cellW[6] = {83, 83, 69, 74, 74, 74};
    const char* letters[6] = {"D", "R", "E", "A", "M", "S"};
    for (int k = 0; k < 6; ++k)
        eyeWord.OutlinedText(cellX[k] + (cellW[k] - 40) / 2, 30, letters[k], 72, 0xFFE0F0);
    eyeWord.TextCentred(0, 352, 130, "— 稍后继续 —", 24, 0xFFFFFF);
    const Canvas orb = OrbPicture();
    return g.Picture("system\\day_base_b.bmp", dayBaseDark, 24) &&
           g.Picture("system\\day_base.bmp", dayBase, 24) &&
           g.Picture("system\\eye_day.bmp", eyeDay, 32) &&
           g.Picture("system\\eye_day_b.bmp", eyeDayGlow, 32) &&
           g.Picture("system\\day_logo.bmp", dayLogo, 32) &&
           g.Picture("system\\day_logo_b.bmp", dayLogoGlow, 32) &&
           g.Picture("system\\eye_base.bmp", eyeBase, 24) &&
           g.Picture("system\\eye_word.bmp", eyeWord, 32) && g.Picture("bmp\\orb.bmp", orb, 32);
}

// ---------------------------------------------------------------- the stories

struct Person {
    const char* name;     // shown as the speaker
    const char* voiceKey; // three letters of the voice files
    const char* sprite;   // chara\ picture
    std::uint32_t tone;
};

struct Story {
    const char* script;
    const char* music;
    const char* backgrounds[2];
    std::uint32_t skies[2][2];
    const char* places[2]; // said in the text: the pictures carry no name where
                           // the menu screens' headings fall
    Person people[2];
    std::vector<std::pair<int, const char*>> opening; // speaker (0, 1) and line
    const char* question;
    const char* answers[2];
    const char* replies[2];
    const char* closing;
    int textBlock;
    int setsFlag; // script flag set at the end (-1 none)
};

const std::vector<Story>& Stories() {
    static const std::vector<Story> stories{
        {"a1-1.s",
         "s01.ogg",
         {"bg_s01.bmp", "bg_s02.bmp"},
         {{0xFF6FB7E8, 0xFFF0E2B0}, {0xFFE89A6F, 0xFF40305A}},
         {"海边小镇 · 清晨", "海堤 · 黄昏"},
         {{"林雨", "lyu", "lyu_a.bmp", 0x4A8FD0}, {"周晴", "zqi", "zqi_a.bmp", 0xD06A5A}},
         {{0, "……早上好。今天的风里有海的味道。"},
          {1, "林雨！你又在堤上发呆了吗？"},
          {0, "嗯。听说傍晚会有灯船经过，我想看看。"},
          {1, "那我们一起去吧。不过先要把信送完。"}},
         "傍晚要去哪里看灯船？",
         {"去海堤", "去码头"},
         {"海堤上风很大，但灯船看得清清楚楚。", "码头人很多，我们挤在人群里笑个不停。"},
         "……那一天的光，我大概会记很久吧。",
         100,
         -1},
        {"b0.s",
         "s02.ogg",
         {"bg_r01.bmp", "bg_r02.bmp"},
         {{0xFF303A58, 0xFF607090}, {0xFF3C2A20, 0xFFA07850}},
         {"雨夜 · 街角", "旧书店 · 店内"},
         {{"苏白", "sbi", "sbi_a.bmp", 0x5AA070}, {"陈默", "cmo", "cmo_a.bmp", 0x9A70C0}},
         {{0, "雨下得这么大，只好先进来躲一躲了。"},
          {1, "欢迎光临。这么晚了，还有客人呢。"},
          {0, "打扰了。这里的书……都好旧啊。"},
          {1, "每一本都在等它的读者。你想看哪一本？"}},
         "要看哪一本书？",
         {"蓝色封面的诗集", "没有书名的日记"},
         {"诗集里夹着一片干枯的银杏叶。", "日记的最后一页，写着今天的日期。"},
         "雨停的时候，店里的灯还亮着。",
         200,
         -1},
        {"c01.s",
         "s03.ogg",
         {"bg_i01.bmp", "bg_i02.bmp"},
         {{0xFF0A0F2A, 0xFF2A3A70}, {0xFF101830, 0xFF506090}},
         {"星空列车 · 月台", "星空列车 · 车厢"},
         {{"叶子", "yez", "yez_a.bmp", 0xE0B040}, {"顾南", "gnn", "gnn_a.bmp", 0x50B0C0}},
         {{0, "末班车……真的会开往星星那边吗？"},
          {1, "车票上是这么写的。要上车吗？"},
          {0, "当然要。我已经等了很久了。"},
          {1, "那就出发吧。窗外的风景，不要眨眼哦。"}},
         "坐在哪一边？",
         {"靠窗的座位", "过道的座位"},
         {"窗外的星河一直流到天边。", "过道上，列车员正哼着一首老歌。"},
         "列车穿过银河，驶向了明天。",
         300,
         3},
    };
    return stories;
}

std::string VoiceName(const Person& p, int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%s%04d.ogg", p.voiceKey, n);
    return buf;
}

// The first picture with the orb at rest: "bg_s01.bmp" gives "bg_s01_orb.bmp".
std::string OrbBackground(const Story& s) {
    const std::string first = s.backgrounds[0];
    return first.substr(0, first.rfind('.')) + "_orb.bmp";
}

std::string Quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

// The story in the assembler's text form: the day logo, music fading in, a
// picture brought in by a cross-fade, character sprites, a sprite layer,
// speaker lines with voices, a shake and a quake, a choice with two
// branches, an eye-catch, a mask wipe to the next picture, the music fading
// out and the end of the script, which goes back to the main title.
std::string StoryText(const Story& s) {
    std::string t;
    int block = s.textBlock;
    int voice[2] = {1, 1};
    auto line = [&](int speaker, std::string_view text) {
        const Person& p = s.people[speaker];
        t += "text_block block=" + std::to_string(block++) + "\n";
        t += "message text=" + Quoted(std::string("＃") + p.name) + "\n";
        t += "play_voice loop=0 text=" + Quoted(VoiceName(p, voice[speaker]++)) + "\n";
        t += "message text=" + Quoted(text) + "\n";
    };
    auto narration = [&](std::string_view text) {
        t += "text_block block=" + std::to_string(block++) + "\n";
        t += "message text=" + Quoted(text) + "\n";
    };
    // The day logo opens the story.
    t += "day day=" + std::to_string(s.textBlock / 100) + "\n";
    t += "set_mode mode=42\n";
    t += "play_bgm_fade loop=1 ms=2000 text=" + Quoted(s.music) + "\n";
    t += "load_image surface=1 text=" + Quoted(s.backgrounds[0]) + "\n";
    // Where the two stand; a plainly loaded picture clears them.
    const auto standing = [&] {
        t += "set_char slot=0 face=0 x=250 y=0\n";
        t += "set_char slot=1 face=0 x=560 y=0\n";
    };
    t += "set_char_sprite slot=0 text=" + Quoted(s.people[0].sprite) + "\n";
    t += "set_char_sprite slot=1 text=" + Quoted(s.people[1].sprite) + "\n";
    standing();
    t += "mask_wipe type=39 ms=1000\n";
    narration(s.places[0]);
    // A sprite layer: a glowing orb drifts across the sky while it fades in.
    t += "load_layer layer=0 text=\"orb.bmp\"\n";
    t += "layer_mask layer=0 mask=0 x=-40 y=140 w=80 h=80 src_x=0 src_y=0 src_w=80 src_h=80 "
         "fixed_angle=0 angle=0 delay=0\n";
    t += "layer_tween layer=0 type=1 x=" + std::to_string(kOrbRestX) +
         " y=" + std::to_string(kOrbRestY) +
         " w=80 h=80 src_x=0 src_y=0 src_w=80 src_h=80 span=90 angle=0 ms=1400\n";
    t += "layer_wobble layer=0 sweep=90 opacity=256 ramp=800\n";
    t += "start_layer layer=0\n";
    t += "wait_layers value=0 ms=1600\n";
    // At rest the orb becomes part of the picture, before any page a player
    // can save at: a save keeps the picture's name, not the layer. Baked
    // first, so the wipe's first frame already shows it.
    t += "bake_layers last=0\n";
    t += "load_image surface=1 text=" + Quoted(OrbBackground(s)) + "\n";
    standing();
    t += "reset_layers\n";
    t += "mask_wipe type=39 ms=0\n";
    for (std::size_t k = 0; k < s.opening.size(); ++k) {
        line(s.opening[k].first, s.opening[k].second);
        // Something happens half way: the screen shakes, then a quake.
        if (k == 1) t += "transition type=1 ms=600\n";
        if (k == 2) t += "quake type=0 loop=0 amplitude=6 period=400\n";
    }
    t += "stop_quake\n";
    // The question comes before the options: a save at the choice resumes
    // where the options are set up, so a load offers them again.
    narration(s.question);
    t += "clear_choices\n";
    t += "add_choice target=first text=" + Quoted(s.answers[0]) + "\n";
    t += "add_choice target=second text=" + Quoted(s.answers[1]) + "\n";
    const bool mahjongDetour = &s == &Stories().front();
    if (mahjongDetour) t += MahjongChoice();
    t += "choice point=" + std::to_string(s.textBlock / 100 - 1) + "\n";
    t += "first:\n";
    t += "play_se channel=0 loop=0 ms=0 text=\"se_bell.ogg\"\n";
    narration(s.replies[0]);
    t += "jump target=after\n";
    t += "second:\n";
    narration(s.replies[1]);
    if (mahjongDetour) t += MahjongBranch();
    t += "after:\n";
    t += GalleryStoryLines(s.script);
    // An eye-catch between the two halves; it ends on black.
    t += "reset_layers\n";
    t += "eye_catch variant=0\n";
    t += "load_image surface=1 text=" + Quoted(s.backgrounds[1]) + "\n";
    // The next picture comes in along a grey-ramp mask.
    t += "mask_wipe type=" + std::to_string(40 + s.textBlock / 100 - 1) + " ms=1200\n";
    narration(s.places[1]);
    line(1, s.closing);
    t += "fade_bgm ms=1500\n";
    if (s.setsFlag >= 0) t += "set_flag flag=" + std::to_string(s.setsFlag) + "\n";
    t += MovieStoryTail(s.script);
    t += ReplayStoryTail(s.script);
    t += "end\n";
    return t;
}

bool StoryData(GameWriter& g) {
    int voiceIndex = 40;
    int seed = 10;
    for (const Story& s : Stories()) {
        for (int k = 0; k < 2; ++k) {
            Canvas bg(800, 600);
            bg.VGradient(0, 0, 800, 600, s.skies[k][0], s.skies[k][1]);
            for (int i = 0; i < 12; ++i)
                bg.Disc((seed * 97 + i * 151) % 800, (seed * 53 + i * 89) % 420, 6 + (i * 13) % 40,
                        0xFFFFFF, 60);
            bg.Fill(0, 440, 800, 160, Argb(255, (s.skies[k][1] >> 1) & 0x7F7F7F));
            ++seed;
            if (!g.Picture(std::string("bmp\\") + s.backgrounds[k], bg, 24)) return false;
            if (k == 0 && !g.Picture("bmp\\" + OrbBackground(s), WithOrbAtRest(bg), 24))
                return false;
        }
        for (int k = 0; k < 2; ++k) {
            const Person& p = s.people[k];
            // A figure 320 wide, centred on x by the sprite opcode; the face
            // area lies at (174, 146), 40 x 43.
            Canvas sprite(388, 600, 0);
            sprite.RoundRect(84, 250, 220, 350, 60, p.tone, 255);
            sprite.Disc(194, 168, 70, 0xF0D0B8, 255);
            sprite.Disc(170, 160, 6, 0x302020, 255);
            sprite.Disc(218, 160, 6, 0x302020, 255);
            sprite.RoundRect(124, 96, 140, 40, 20, (p.tone >> 1) & 0x7F7F7F, 255);
            sprite.OutlinedText(194 - Canvas::TextWidth(p.name, 28) / 2, 320, p.name, 28, 0xFFFFFF);
            if (!g.Picture(std::string("chara\\") + p.sprite, sprite, 32)) return false;
            for (int n = 1; n <= 4; ++n)
                if (!g.Sound("voice\\" + VoiceName(p, n), VoiceLine(voiceIndex++, 0.9 + 0.1 * n)))
                    return false;
        }
        if (!g.Script(s.script, StoryText(s))) return false;
    }
    if (!g.Script("start.s", OpeningScript(Stories().front().script))) return false;
    // Rule masks for the mask wipes: grey ramps, left to right, top to
    // bottom, and from the centre out.
    Canvas ramps[3] = {Canvas(800, 600), Canvas(800, 600), Canvas(800, 600)};
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            const auto grey = [](int v) { return 0xFF000000u | (std::uint32_t(v) * 0x010101u); };
            ramps[0].Set(x, y, grey(x * 255 / 799));
            ramps[1].Set(x, y, grey(y * 255 / 599));
            ramps[2].Set(
                x, y,
                grey(std::min(255, static_cast<int>(std::hypot(x - 400, y - 300) * 255 / 500))));
        }
    for (int k = 0; k < 3; ++k)
        if (!g.Picture("bmp\\mask0" + std::to_string(k + 1) + ".bmp", ramps[k], 24)) return false;
    return true;
}

bool Sounds(GameWriter& g) {
    struct Track {
        const char* name;
        int root;
        std::vector<std::array<int, 3>> chords;
        double beat;
    };
    const Track tracks[] = {
        {"n006.ogg", 60, {{0, 4, 7}, {-3, 0, 4}, {-7, -3, 0}, {-5, -1, 2}}, 0.22},
        {"n002.ogg", 62, {{0, 4, 7}, {5, 9, 12}, {-3, 0, 4}, {7, 11, 14}}, 0.25},
        {"c006.ogg", 57, {{0, 3, 7}, {-4, 0, 3}, {-2, 2, 5}, {-5, -1, 2}}, 0.3},
        {"n007.ogg", 64, {{0, 4, 7}, {-5, -1, 2}, {-3, 0, 4}, {-8, -5, -1}}, 0.2},
        {"s01.ogg", 65, {{0, 4, 7}, {2, 5, 9}, {-1, 2, 5}, {0, 4, 7}}, 0.24},
        {"s02.ogg", 55, {{0, 3, 7}, {3, 7, 10}, {5, 8, 12}, {-2, 2, 5}}, 0.32},
        {"s03.ogg", 67, {{0, 4, 7}, {4, 7, 11}, {-3, 0, 4}, {2, 5, 9}}, 0.18},
    };
    for (const Track& t : tracks)
        if (!g.Sound(std::string("bgm\\") + t.name, Music(t.root, t.chords, t.beat))) return false;
    if (!g.Sound("se\\sys_010.ogg", Blip(1400, 1100, 0.09))) return false;
    if (!g.Sound("se\\Pop_D002.ogg", Blip(900, 380, 0.16))) return false;
    if (!g.Sound("se\\se_bell.ogg", Melody({{Midi(84), 0.25}, {Midi(88), 0.45}}, 0.4)))
        return false;
    // Title calls and scenario voice lines: one distinct voice each.
    const char* calls[] = {"vel0276", "dor0467", "fen0251", "pom0471", "lis0293",
                           "bex0884", "hol0468", "mur0430", "kel0249", "sef0470"};
    const char* lines[] = {"vel0275", "dor0466", "fen0250", "pom0470", "lis0292", "bex0883",
                           "hol0467", "mur0429", "kel0248", "sef0469", "gor0150"};
    int index = 0;
    for (const char* c : calls)
        if (!g.Sound(std::string("voice\\") + c + ".ogg", VoiceLine(index++, 1.2))) return false;
    for (const char* l : lines)
        if (!g.Sound(std::string("voice\\") + l + ".ogg", VoiceLine(index++, 1.0))) return false;
    return true;
}

ReplayOutput ReplayOutputOf(GameWriter& g) {
    return {[&](const std::string& p, const Canvas& c, int b) { return g.Picture(p, c, b); },
            [&](const std::string& p, const bmp_writer::BmpImage& image) {
                const auto slash = p.find('\\');
                return g.Put(p.substr(0, slash), p.substr(slash + 1), bmp_writer::EncodeBmp(image));
            },
            [&](const std::string& p, const std::vector<float>& s) { return g.Sound(p, s); },
            [&](const std::string& n, const std::string& text) { return g.Script(n, text); },
            Music};
}

} // namespace

const std::vector<std::string>& PackedFolders() {
    static const std::vector<std::string> folders{"system", "bmp", "script", "bgm"};
    return folders;
}

std::vector<StoryScript> StoryScripts() {
    std::vector<StoryScript> out;
    for (const Story& s : Stories())
        out.push_back({s.script, StoryText(s)});
    return out;
}

bool WriteDemoGame(const fs::path& dir, std::string& error, const DemoOptions& options) {
    error.clear();
    std::error_code ec;
    fs::create_directories(dir / "save", ec);
    if (ec) {
        error = "cannot make " + (dir / "save").string();
        return false;
    }
    GameWriter g(dir, options, error);
    const SystemOutput output{
        [&](const std::string& p, const Canvas& c, int b) { return g.Picture(p, c, b); },
        [&](const std::string& p, const std::vector<float>& s) { return g.Sound(p, s); }, Blip,
        VoiceLine};
    const ContestOutput contest{
        [&](const std::string& p, const Canvas& c, int b) { return g.Picture(p, c, b); },
        [&](const std::string& p, const std::vector<float>& s) { return g.Sound(p, s); },
        [&](const std::string& n, const std::string& t) { return g.Script(n, t); },
        Blip,
        VoiceLine,
        [](int root, double beat) {
            return Music(root, {{0, 4, 7}, {5, 9, 12}, {7, 11, 14}, {0, 4, 7}}, beat);
        }};
    const bool ok =
        BootPictures(g) && MainTitlePictures(g) &&
        ChooserPictures(g,
                        {"title01",
                         "title_bg01.bmp",
                         {"第一话  海风之约", "第二话  雨夜书店", "第三话  星空列车"},
                         {"小游戏", "设置", "鉴赏", "退出"},
                         {156, 124, 112, 82},
                         200,
                         false},
                        3) &&
        ChooserPictures(g,
                        {"title02",
                         "title_bg02.bmp",
                         {"麻将", "章鱼烧大赛"},
                         {"故事", "设置", "鉴赏", "退出"},
                         {100, 124, 112, 82},
                         300,
                         true},
                        4) &&
        ScenarioTitlePictures(g, {"s", "海风之约", 0xFF4A90C8, 0xFFF0D8A0, 320, 382, 160, 28}, 5) &&
        ScenarioTitlePictures(g, {"r", "雨夜书店", 0xFF283048, 0xFF706050, 600, 342, 200, 37}, 6) &&
        ScenarioTitlePictures(g, {"i", "星空列车", 0xFF080C24, 0xFF304880, 339, 316, 122, 34}, 7) &&
        StoryPictures(g) && SequencePictures(g) && StoryData(g) && Sounds(g) &&
        g.Files(BacklogFiles()) && g.Files(SaveLoadFiles()) && SystemScreenData(output) &&
        GalleryData(output) && ContestData(contest) && CutInData(contest) &&
        MahjongTitleData(
            {[&](const std::string& p, const Canvas& c, int b) { return g.Picture(p, c, b); },
             [&](const std::string& p, const std::vector<float>& s) { return g.Sound(p, s); }, Blip,
             VoiceLine}) &&
        ReplayData(ReplayOutputOf(g)) &&
        MahjongData(
            {{[&](const std::string& p, const Canvas& c, int b) { return g.Picture(p, c, b); },
              [&](const std::string& p, const std::vector<float>& s) { return g.Sound(p, s); },
              Blip, VoiceLine},
             [&](const std::string& n, const std::string& t) { return g.Script(n, t); },
             Music}) &&
        g.Finish() && (WriteDemoMovies(dir) || g.Fail("the movies could not be written"));
    return ok && error.empty();
}

} // namespace demo
