// The demo game as the screens and stories find it: every picture at the
// size and depth its screen lays out, every sound a plain Ogg file, the
// archives coded in several ways, and every file a story names present.
#include "lib/DemoData.h"
#include "DemoFolder.h"
#include "TestSupport.h"
#include "data/PackFile.h"
#include "gfx/Dib.h"
#include "lib/DemoSystem.h"
#include "lib/PackWriter.h"
#include "lib/ScriptAssembler.h"

#include <cstring>
#include <memory>
#include <set>

namespace fs = std::filesystem;

namespace {

class DemoDataTest : public testing_support::HeadlessTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(e2e::DemoFolder().error.empty()) << e2e::DemoFolder().error;
        fs::current_path(e2e::DemoFolder().dir);
    }
    // A data file as the game reads it: loose or an archive member.
    static std::vector<std::uint8_t> Read(const std::string& name) {
        CPackFile f;
        if (f.Open(platform::CurrentDirectory() + "\\" + name) != kPackOk) return {};
        return std::vector<std::uint8_t>(f.GetBuffer(), f.GetBuffer() + f.GetSize());
    }
    static std::vector<ArchiveEntry> Entries(const std::string& archive) {
        std::vector<ArchiveEntry> entries;
        packwriter::ReadArchiveIndex(testing_support::ReadFile(archive), entries);
        return entries;
    }
};

TEST_F(DemoDataTest, ScreenPicturesHaveTheSizesAndDepthsTheirScreensLayOut) {
    struct Expect {
        const char* name;
        int width, height;
        int bits; // 32 where the screen draws with the picture's alpha
    } pictures[] = {
        {"system\\logo_01.bmp", 800, 600, 24},
        {"system\\warning.bmp", 800, 600, 24},
        {"system\\title_bg.bmp", 800, 600, 24},
        {"system\\title_p01.bmp", 188, 190, 32},
        {"system\\title_p02.bmp", 188, 190, 32},
        {"system\\title_p03.bmp", 278, 190, 32},
        {"system\\title_logo.bmp", 440, 640, 32},
        {"system\\title_bg01.bmp", 800, 600, 24},
        {"system\\title01_p01.bmp", 547, 600, 24},
        {"system\\title01_p02.bmp", 156, 136, 32},
        {"system\\title01_p03.bmp", 547, 600, 32},
        {"system\\title_bg02.bmp", 800, 600, 24},
        {"system\\title02_p01.bmp", 547, 600, 24},
        {"system\\title02_p02.bmp", 124, 136, 32},
        {"system\\title02_p03.bmp", 547, 900, 32},
        {"system\\title_bg_s.bmp", 800, 600, 24},
        {"system\\title_s_p01.bmp", 160, 140, 32},
        {"system\\title_bg_r.bmp", 800, 600, 24},
        {"system\\title_r_p01.bmp", 200, 185, 32},
        {"system\\title_bg_i.bmp", 800, 600, 24},
        {"system\\title_i_p01.bmp", 122, 170, 32},
        {"system\\window.bmp", 800, 139, 32},
        {"system\\window_p.bmp", 368, 52, 32},
        {"system\\select_p.bmp", 512, 128, 32},
        {"system\\select_base.bmp", 800, 600, 32},
        {"system\\click_wait01.bmp", 560, 73, 32},
        {"system\\gaiji.bmp", 240, 24, 32},
        {"system\\day.bmp", 165, 840, 32},
        {"system\\day2.bmp", 70, 300, 32},
        {"bmp\\mask01.bmp", 800, 600, 24},
        {"system\\eye_word.bmp", 457, 161, 32},
        {"system\\eye_day.bmp", 310, 350, 32},
        {"system\\eye_day_b.bmp", 330, 518, 32},
        {"system\\day_logo_b.bmp", 274, 700, 32},
        {"system\\day_base.bmp", 800, 600, 24},
        {"bmp\\orb.bmp", 80, 80, 32},
        // The contest: tiles of 11 stages, playfield parts, name plates and
        // special buttons for the player and six opponents, the lose banner
        // below its darkening, each opponent's portrait and result figures.
        {"bmp\\kiji.bmp", 517, 47, 32},
        {"bmp\\tako_p.bmp", 570, 461, 32},
        {"bmp\\name_list.bmp", 170, 266, 32},
        {"bmp\\sp_p.bmp", 1164, 224, 32},
        {"bmp\\rus_ready.bmp", 800, 171, 32},
        {"bmp\\rus_los.bmp", 800, 700, 32},
        {"bmp\\pomi.bmp", 144, 99, 32},
        {"bmp\\kelbo.bmp", 144, 99, 32},
        {"bmp\\vel_feni.bmp", 144, 99, 32},
        {"bmp\\mureli.bmp", 144, 99, 32},
        {"bmp\\dorile.bmp", 144, 99, 32},
        {"bmp\\holti.bmp", 144, 99, 32},
        {"bmp\\rus_win_c06.bmp", 400, 600, 32},
        {"bmp\\rus_los_c05.bmp", 300, 293, 32},
        {"system\\rus_m06.bmp", 752, 572, 32},
        {"bmp\\rus_s_p.bmp", 936, 569, 32},
    };
    for (const Expect& p : pictures) {
        SCOPED_TRACE(p.name);
        CDib dib;
        ASSERT_TRUE(dib.LoadFile(platform::WindowHandle::Main, p.name));
        EXPECT_EQ(dib.GetWidth(), p.width);
        EXPECT_EQ(dib.GetHeight(), p.height);
        EXPECT_EQ(dib.GetBitCount(), p.bits);
    }
}

TEST_F(DemoDataTest, LabelsAndPlatesAreDrawnWithAlphaAndClearElsewhere) {
    // The main title's plates: row k is as wide as item k's highlight and
    // clear beyond it (item 1's plate is 166 px wide).
    CDib plates;
    ASSERT_TRUE(plates.LoadFile(platform::WindowHandle::Main, "system\\title_p03.bmp"));
    EXPECT_GT(plates.GetPixel(80, 19) >> 24, 0u);
    EXPECT_EQ(plates.GetPixel(200, 19) >> 24, 0u);
    EXPECT_GT(plates.GetPixel(200, 38 + 19) >> 24, 0u); // item 2: 278 wide
    // The labels carry ink somewhere in each row, and nothing in the corners.
    CDib labels;
    ASSERT_TRUE(labels.LoadFile(platform::WindowHandle::Main, "system\\title_p01.bmp"));
    for (int k = 0; k < 5; ++k) {
        bool inked = false;
        for (int y = 38 * k; y < 38 * k + 38 && !inked; ++y)
            for (int x = 0; x < 188 && !inked; ++x)
                inked = (labels.GetPixel(x, y) >> 24) > 128;
        EXPECT_TRUE(inked) << "label " << k + 1;
        EXPECT_EQ(labels.GetPixel(187, 38 * k) >> 24, 0u);
    }
    // A mask is a grey ramp from black to white.
    CDib mask;
    ASSERT_TRUE(mask.LoadFile(platform::WindowHandle::Main, "bmp\\mask01.bmp"));
    EXPECT_EQ(mask.GetPixel(0, 300) & 0xFFFFFF, 0u);
    EXPECT_EQ(mask.GetPixel(799, 300) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(mask.GetPixel(400, 10) & 0xFF, mask.GetPixel(400, 590) & 0xFF);
}

// Where a screen draws two cells over each other, or puts a picture out by
// restoring less than it drew, the demo's pictures leave those rows and
// columns clear; the system menu's hover mark, drawn over itself, has only
// clear and opaque pixels.
TEST_F(DemoDataTest, PicturesStayClearWhereTheirScreensOverlapOrPutThemOut) {
    const auto load = [](const char* name) {
        auto dib = std::make_unique<CDib>();
        EXPECT_TRUE(dib->LoadFile(platform::WindowHandle::Main, name)) << name;
        return dib;
    };
    const auto clear = [](const CDib& dib, int x, int y, int w, int h) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                if (dib.GetPixel(i, j) >> 24) return false;
        return true;
    };
    // The lit choice plate, drawn at x 150 and put out from x 158 on.
    EXPECT_TRUE(clear(*load("system\\select_p.bmp"), 0, 64, 8, 64));
    // Settings: OK's cells (686, 494) 104 x 52 reach 12 rows into cancel's at
    // (686, 534); the voice page shows its 34-row bottom buttons through a
    // bar of 30 rows first.
    const auto controls = load("system\\config_p2.bmp");
    for (int look = 0; look < 3; ++look) {
        EXPECT_TRUE(clear(*controls, 0, 80 + 52 * look + 40, 104, 12)) << look;
        EXPECT_TRUE(clear(*controls, 104, 80 + 52 * look, 104, 12)) << look;
    }
    EXPECT_TRUE(clear(*controls, 0, 284 + 30, 296, 4));
    // Opened from the system menu, the settings page lies over the menu's
    // snapshot: its bottom band hides the menu's hint beside the buttons.
    const auto page = load("system\\config_base.bmp");
    for (int y = demo::kConfigBandTop; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            ASSERT_EQ(page->GetPixel(x, y) >> 24, 255u) << x << ", " << y;
    // The exit dialog's rows (0, 54) at (296, 225) and (0, 0) at (296, 272),
    // 54 high each, share seven rows of the screen.
    const auto rows = load("system\\exit_p.bmp");
    EXPECT_TRUE(clear(*rows, 0, 54 + 47, 609, 7));
    EXPECT_TRUE(clear(*rows, 0, 0, 609, 7));
    // A call question's panel at (588, 376): its last four columns lie past x 800.
    for (const char* menu : {"bmp\\riich_menu.bmp", "bmp\\ron_menu.bmp", "bmp\\tumo_menu.bmp"})
        EXPECT_TRUE(clear(*load(menu), 212, 0, 4, 133)) << menu;
    // The hover mark (107, label top) 150 x label height.
    const auto sheet = load("system\\sys_m_p02.bmp");
    const int labelY[5] = {0, 43, 88, 136, 184}, labelH[5] = {43, 45, 48, 48, 44};
    for (int k = 0; k < 5; ++k)
        for (int y = labelY[k]; y < labelY[k] + labelH[k]; ++y)
            for (int x = 107; x < 257; ++x) {
                const std::uint32_t a = sheet->GetPixel(x, y) >> 24;
                ASSERT_TRUE(a == 0 || a == 255) << x << ", " << y << ": " << a;
            }
}

TEST_F(DemoDataTest, SoundsArePlainOggFilesAndTheVoicesDiffer) {
    std::vector<std::string> names{"bgm\\n006.ogg", "bgm\\n002.ogg",   "bgm\\c006.ogg",
                                   "bgm\\n007.ogg", "se\\sys_010.ogg", "se\\Pop_D002.ogg"};
    for (const char* v :
         {"vel0276", "dor0467", "fen0251", "pom0471", "lis0293", "bex0884", "hol0468",
          "mur0430", "kel0249", "sef0470", "vel0275", "dor0466", "fen0250", "pom0470",
          "lis0292", "bex0883", "hol0467", "mur0429", "kel0248", "sef0469", "gor0150"})
        names.push_back(std::string("voice\\") + v + ".ogg");
    std::set<std::vector<std::uint8_t>> distinct;
    for (const std::string& n : names) {
        SCOPED_TRACE(n);
        const auto bytes = Read(n);
        ASSERT_GE(bytes.size(), 4u);
        EXPECT_EQ(std::memcmp(bytes.data(), "OggS", 4), 0);
        if (n.rfind("voice", 0) == 0) distinct.insert(bytes);
    }
    EXPECT_EQ(distinct.size(), 21u);
    // Sounds are read in place from their archive, so they are stored plain.
    for (const ArchiveEntry& e : Entries("bgm.dat"))
        EXPECT_EQ(e.flags, 0u) << e.name;
}

TEST_F(DemoDataTest, SomeFoldersArePackedWithCodedMembersAndOthersLoose) {
    for (const std::string& folder : demo::PackedFolders()) {
        EXPECT_TRUE(fs::is_regular_file(folder + ".dat")) << folder;
        EXPECT_FALSE(fs::exists(folder)) << folder;
    }
    for (const char* loose : {"chara", "voice", "se", "save"})
        EXPECT_TRUE(fs::is_directory(loose)) << loose;
    std::set<std::uint32_t> codings;
    for (const char* archive : {"system.dat", "bmp.dat", "script.dat"}) {
        const auto entries = Entries(archive);
        ASSERT_FALSE(entries.empty()) << archive;
        for (const ArchiveEntry& e : entries) {
            EXPECT_NE(e.flags, 0u) << archive << " " << e.name;
            codings.insert(e.flags);
        }
    }
    EXPECT_GE(codings.size(), 4u);
}

TEST_F(DemoDataTest, EachContestOpponentHasItsFirstLossAndWinStories) {
    for (const char* code : {"pom", "kel", "ux", "mur", "dor", "hol"}) {
        for (int n = 1; n <= 3; ++n) {
            const std::string name =
                std::string("script\\rus_") + code + "_" + std::to_string(n) + ".s";
            EXPECT_FALSE(Read(name).empty()) << name;
        }
    }
}

TEST_F(DemoDataTest, EveryFileAStoryNamesIsThereAndEachStoryEndsAtTheTitle) {
    const std::pair<const char*, const char*> kinds[] = {
        {"load_image", "bmp"},   {"set_char_sprite", "chara"},
        {"play_voice", "voice"}, {"play_bgm_fade", "bgm"},
        {"play_se", "se"},       {"change_script", "script"},
    };
    const auto stories = demo::StoryScripts();
    ASSERT_EQ(stories.size(), 3u);
    for (const demo::StoryScript& s : stories) {
        SCOPED_TRACE(s.file);
        // The stored script is the assembled text, complemented.
        const auto stored = Read(std::string("script\\") + s.file);
        const nvasm::AssembleResult assembled = nvasm::Assemble(s.text);
        ASSERT_TRUE(assembled.ok()) << assembled.error;
        EXPECT_EQ(stored, nvasm::Complement(assembled.bytes));
        int named = 0, voices = 0, choices = 0;
        std::size_t start = 0;
        std::string last;
        while (start < s.text.size()) {
            const std::size_t end = s.text.find('\n', start);
            const std::string line = s.text.substr(start, end - start);
            start = end == std::string::npos ? s.text.size() : end + 1;
            if (!line.empty()) last = line;
            if (line.rfind("add_choice", 0) == 0) ++choices;
            const std::size_t quote = line.find("text=\"");
            if (quote == std::string::npos) continue;
            const std::string op = line.substr(0, line.find(' '));
            const std::string file = line.substr(quote + 6, line.find('"', quote + 6) - quote - 6);
            for (const auto& [name, folder] : kinds) {
                if (op != name) continue;
                ++named;
                if (folder == std::string("voice")) ++voices;
                EXPECT_FALSE(Read(std::string(folder) + "\\" + file).empty()) << line;
            }
        }
        EXPECT_GE(named, 10);
        EXPECT_GE(voices, 4);
        // The first story also leads to a mahjong match.
        EXPECT_EQ(choices, s.file == "a1-1.s" ? 3 : 2);
        EXPECT_EQ(last, "end");
    }
}

} // namespace
