// The save and load screens driven frame by frame on the headless machine
// over an assembled story: a save through the system menu with a typed
// comment and a load into a fresh game, a write that fails, damaged slot
// files, the arrow keys, the page from the settings and the comment walk.
// Pictures of both screens go to build/test/system-shots/.
#include "SystemFixture.h"
#include "scenario/MessageFixture.h"
#include "system/LoadScreen.h"
#include "system/SaveScreen.h"
#include "system/SystemMenu.h"

#include "gfx/Blit.h"

#include <filesystem>
#include <sys/stat.h>

using testing_support::MessageTest;
namespace hl = platform::headless;
namespace fs = std::filesystem;

namespace {

const char kStory[] = R"(
save_group group=1
set_var var=5 value=77
fill_background surface=1 color=0x00406080
mask_wipe type=39 ms=0
play_bgm loop=1 text="theme"
message text="第一句。"
message text="＃小明"
message text="第二页的话。"
end
)";

// 海边的约定
const std::string kTyped = "\xBA\xA3\xB1\xDF\xB5\xC4\xD4\xBC\xB6\xA8";
// 存档失败，原来的存档没有改变。
const std::string kSaveFailed = "\xb4\xe6\xb5\xb5\xca\xa7\xb0\xdc\xa3\xac\xd4\xad\xc0\xb4\xb5\xc4"
                                "\xb4\xe6\xb5\xb5\xc3\xbb\xd3\xd0\xb8\xc4\xb1\xe4\xa1\xa3";
// 这个存档已损坏，无法读取。
const std::string kDamaged = "\xd5\xe2\xb8\xf6\xb4\xe6\xb5\xb5\xd2\xd1\xcb\xf0\xbb\xb5\xa3\xac"
                             "\xce\xde\xb7\xa8\xb6\xc1\xc8\xa1\xa1\xa3";

// Sample tile k is one colour: (k + 1) × 5 in red, 0x40 in green and blue.
std::uint32_t TileColour(int k) {
    return static_cast<std::uint32_t>((k + 1) * 5) << 16 | 0x4040;
}

class SaveLoadScreenTest : public MessageTest {
protected:
    SaveLoadScreenTest() {
        g_config[config::kTextSpeed] = 100;
        g_config[config::kCursorGlide] = 1;
        Picture("system/window2.bmp", 800, 139, 0x40101010);
        Picture("system/save_p02.bmp", 399, 184, 0xFF305070);
        Picture("system/load_p02.bmp", 399, 184, 0xFF503070);
        bmp_writer::BmpImage samples;
        samples.width = 500;
        samples.height = 600;
        samples.bitCount = 24;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 500; ++x)
                samples.pixels.push_back(TileColour(y / 75 * 5 + x / 100));
        EXPECT_TRUE(bmp_writer::WriteBmp(dir_.path() / "system/s_sam.bmp", samples));
    }

    void PlayUntilWaiting() {
        for (int i = 0; i < 5000; ++i) {
            if (App().mode == 3 && S().subState == 3) return;
            App().RunFrame();
        }
        FAIL() << "the story never waited; mode " << int(App().mode);
    }
    // Frames with every timed step cut short, the clock going on, until
    // `done` holds.
    template <class Done> void RunUntil(Done done) {
        S().skipEffects = 1;
        for (int i = 0; i < 400 && !done(); ++i) {
            App().RunFrame();
            hl::AdvanceClock(20);
        }
        S().skipEffects = 0;
        ASSERT_TRUE(done()) << "mode " << int(App().mode);
    }
    void ClickAt(int x, int y) {
        g_mouse->x = x;
        g_mouse->y = y;
        g_mouse->click = 1;
        App().RunFrame();
    }
    static int StateOf(const std::unique_ptr<CSaveScreen>& s) { return s ? s->state : -1; }
    static int StateOf(const std::unique_ptr<CLoadScreen>& s) { return s ? s->state : -1; }

    // A screen over the story as the window buttons open it.
    void OpenOverStory(int mode) {
        g_menuSnapshot = std::make_unique<CDib>();
        g_menuSnapshot->Create(platform::WindowHandle::Main, 800, 600, 24);
        BltCopy(g_menuSnapshot.get(), 0, 0, g_backBuffer.get(), 0, 0, 800, 600);
        S().menuReturn = 1;
        App().returnMode = App().mode;
        App().mode = static_cast<std::uint8_t>(mode);
        RunUntil(
            [&] { return mode == 10 ? StateOf(g_saveScreen) == 3 : StateOf(g_loadScreen) == 3; });
    }
    // A record of the running story as the save screen writes it.
    save::Record Capture(std::string_view comment) {
        App().returnMode = App().mode;
        S().saveTime = {2026, 12, 9, 21, 5};
        S().CaptureSaveImage();
        save::Record r = SaveImage();
        std::fill_n(r.begin() + save::kComment, save::kTextBytes, 0);
        save::PutBytes(r, save::kComment, save::kTextBytes, comment);
        return r;
    }
    std::string SlotPath(int slot) {
        return "save/" + save::SlotFileName(S().saveGroup, 0, slot).substr(5);
    }
    void WriteRecord(int slot, const save::Record& r) {
        fs::create_directories("save");
        testing_support::WriteFile(SlotPath(slot), {r.begin(), r.end()});
    }
    static std::size_t Told(const std::string& text) {
        std::size_t n = 0;
        for (const hl::Question& q : hl::Questions())
            n += q.gbkText == text && !q.okCancel && q.icon == platform::BoxIcon::Error;
        return n;
    }
    static void Shot(const std::string& name) { system_test::SystemShot(name); }
    // Slot i's centre; the yes button; the box's comment line.
    static std::pair<int, int> SlotCentre(int i) {
        return {204 + 391 * (i / 5), 129 + 103 * (i % 5)};
    }
    void ChooseSlot(int i) {
        const auto [x, y] = SlotCentre(i);
        ClickAt(x, y);
    }
};

TEST_F(SaveLoadScreenTest, SaveFromTheMenuWithATypedCommentThenLoadIntoAFreshGame) {
    Start(kStory);
    PlayUntilWaiting();
    g_mouse->click = 1;
    App().RunFrame();
    PlayUntilWaiting();
    ASSERT_EQ(App().logCount, 2);
    const std::string message = S().messageText.data();
    const std::uint32_t pc = S().pc;
    const NameString music = App().bgmName;
    const NameString picture = App().surfaceNames[1];
    const std::vector<std::uint32_t> screen(g_backBuffer->GetBits(),
                                            g_backBuffer->GetBits() + 800 * 600);

    // A right click opens the menu; its first entry the save screen.
    g_mouse->cancel = 1;
    App().RunFrame();
    ASSERT_EQ(App().mode, 8);
    RunUntil([] { return g_systemMenu && g_systemMenu->state == 4; });
    ClickAt(760, 210);
    RunUntil([&] { return StateOf(g_saveScreen) == 3; });
    ChooseSlot(2);
    RunUntil([&] { return StateOf(g_saveScreen) == 8; });
    EXPECT_EQ(g_saveScreen->glide[2], 348);
    hl::QueueText(kTyped);
    ClickAt(400, 334);
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_TRUE(hl::Questions()[0].textEntry);
    EXPECT_EQ(hl::Questions()[0].gbkCaption, "\xc7\xeb\xca\xe4\xc8\xeb\xd7\xa2\xca\xcd");
    EXPECT_EQ(hl::Questions()[0].byteLimit, 45u);
    Shot("save-screen-box.bmp");
    ClickAt(340, 370);
    RunUntil([&] { return StateOf(g_saveScreen) == 3; });
    Shot("save-screen.bmp");
    EXPECT_EQ(save::GetComment(g_saveScreen->Cache()[2]), kTyped);
    EXPECT_EQ(g_saveScreen->looks[2], slots::SlotLook::Saved);
    g_mouse->cancel = 1;
    RunUntil([&] { return App().mode == 3; });
    EXPECT_EQ(g_config[config::kSavePage], 0);

    const auto file = testing_support::ReadFile(SlotPath(2));
    ASSERT_EQ(file.size(), save::kRecordSize);
    save::Record saved{};
    std::copy(file.begin(), file.end(), saved.begin());
    EXPECT_EQ(save::GetComment(saved), kTyped);
    EXPECT_EQ(save::GetU8(saved, save::kReturnMode), 3);

    // A fresh game, as a restarted program has it, opens the load screen
    // from a title.
    FreeSoundChannels();
    g_gameApp =
        std::make_unique<CGameApp>(platform::WindowHandle::Main, platform::WindowHandle::Main);
    for (auto& d : cdib)
        d.reset();
    g_menuSnapshot.reset();
    g_backBuffer->FillRect(0, 0, 800, 600, 0x00FF00FF);
    g_scenario = std::make_unique<CScenario>(platform::WindowHandle::Main);
    S().saveGroup = 1;
    S().menuReturn = 0;
    App().returnMode = 58;
    App().mode = 11;
    RunUntil([&] { return StateOf(g_loadScreen) == 3; });
    Shot("load-screen.bmp");
    ChooseSlot(2);
    RunUntil([&] { return StateOf(g_loadScreen) == 8; });
    Shot("load-screen-box.bmp");
    ClickAt(340, 370);
    RunUntil([&] { return App().mode == 3; });
    App().RunFrame();
    EXPECT_EQ(S().messageText.data(), message);
    EXPECT_EQ(S().pc, pc);
    EXPECT_EQ(S().vars[5], 77);
    EXPECT_EQ(App().bgmName, music);
    EXPECT_NE(g_bgmChannel, nullptr);
    EXPECT_EQ(App().surfaceNames[1], picture);
    EXPECT_EQ(S().playContext, 0);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < screen.size(); ++i)
        differing += (g_backBuffer->GetBits()[i] & 0xFFFFFF) != (screen[i] & 0xFFFFFF);
    EXPECT_EQ(differing, 0u);
    EXPECT_EQ(g_loadScreen, nullptr);
}

TEST_F(SaveLoadScreenTest, AFailedSaveKeepsTheOldSlotAndThePageAndTellsThePlayer) {
    Start(kStory);
    PlayUntilWaiting();
    const save::Record old = Capture("old");
    WriteRecord(0, old);
    OpenOverStory(10);
    ASSERT_EQ(g_saveScreen->looks[0], slots::SlotLook::Saved);
    // The temporary file beside the slot cannot be made.
    fs::create_directories(SlotPath(0) + ".tmp");
    ChooseSlot(0);
    RunUntil([&] { return StateOf(g_saveScreen) == 8; });
    hl::QueueText(kTyped);
    ClickAt(400, 334);
    ClickAt(340, 370);
    RunUntil([&] { return StateOf(g_saveScreen) == 3; });
    EXPECT_EQ(Told(kSaveFailed), 1u);
    const auto file = testing_support::ReadFile(SlotPath(0));
    EXPECT_TRUE(std::equal(file.begin(), file.end(), old.begin(), old.end()));
    EXPECT_TRUE(g_saveScreen->Cache()[0] == old);
    EXPECT_EQ(g_saveScreen->looks[0], slots::SlotLook::Saved);
    EXPECT_EQ(App().mode, 10);
}

TEST_F(SaveLoadScreenTest, DamagedSlotsShowDamagedAndLoadingThemLeavesTheGame) {
    Start(kStory);
    PlayUntilWaiting();
    // Slot 0 reduced from a plain screenshot, slot 2 a sample tile.
    save::Record plain = Capture("plain");
    for (std::size_t p = 0; p < save::kShotBytes / 4; ++p)
        save::PutU32(plain, save::kShot + 4 * p, 0x00336699);
    plain[save::SurfaceName(1)] = 0;
    WriteRecord(0, plain);
    save::Record sample = Capture("sample");
    std::fill_n(sample.begin() + save::SurfaceName(1), save::kNameField, 0);
    save::PutBytes(sample, save::SurfaceName(1), save::kNameField, "E011A.BMP");
    WriteRecord(2, sample);
    // Slot 1 one byte too long, slot 3 with a history count of 0xFFFFFFFF.
    std::vector<std::uint8_t> longer(plain.begin(), plain.end());
    longer.push_back(0);
    testing_support::WriteFile(SlotPath(1), longer);
    save::Record count = plain;
    save::PutU32(count, save::kHistoryCount, 0xFFFFFFFF);
    WriteRecord(3, count);

    OpenOverStory(11);
    CLoadScreen& screen = *g_loadScreen;
    using slots::SlotLook;
    const std::array<SlotLook, 5> looks{SlotLook::Saved, SlotLook::Damaged, SlotLook::Saved,
                                        SlotLook::Damaged, SlotLook::Empty};
    for (std::size_t i = 0; i < looks.size(); ++i)
        EXPECT_EQ(screen.looks[i], looks[i]) << i;
    EXPECT_EQ(save::GetU8(screen.Cache()[1], save::kReturnMode), 0);
    // Thumbnails: the 96 x 72 part from (2, 1) at (47, 95 + 103 r).
    EXPECT_EQ(g_backBuffer->GetPixel(47, 95) & 0xFFFFFF, 0x336699u);
    EXPECT_EQ(g_backBuffer->GetPixel(142, 166) & 0xFFFFFF, 0x336699u);
    EXPECT_EQ(g_backBuffer->GetPixel(47, 95 + 206) & 0xFFFFFF, TileColour(2));
    Shot("load-screen-damaged.bmp");

    // The arrow keys from no slot: down 5, right 10, right 5, left 10, down
    // 1, up 10, up 9, left 4, down 5, down 6, left 1; the pointer follows.
    const std::array<std::pair<std::uint8_t CKeyboard::*, int>, 11> keys{{
        {&CKeyboard::down, 5},
        {&CKeyboard::right, 10},
        {&CKeyboard::right, 5},
        {&CKeyboard::left, 10},
        {&CKeyboard::down, 1},
        {&CKeyboard::up, 10},
        {&CKeyboard::up, 9},
        {&CKeyboard::left, 4},
        {&CKeyboard::down, 5},
        {&CKeyboard::down, 6},
        {&CKeyboard::left, 1},
    }};
    g_mouse->x = g_mouse->y = 0;
    for (const auto& [key, slot] : keys) {
        (*g_keyboard).*key = 1;
        App().RunFrame();
        EXPECT_EQ(screen.hoverSlot, slot);
        EXPECT_EQ((*g_keyboard).*key, 0);
        std::tie(g_mouse->x, g_mouse->y) = SlotCentre(slot - 1);
    }

    const std::uint32_t pc = S().pc;
    for (int slot : {1, 3}) {
        ChooseSlot(slot);
        EXPECT_EQ(screen.state, 3);
    }
    EXPECT_EQ(Told(kDamaged), 2u);
    // A file damaged after it was chosen is refused when it is loaded.
    ChooseSlot(0);
    RunUntil([&] { return screen.state == 8; });
    testing_support::WriteFile(SlotPath(0), {1, 2, 3});
    ClickAt(340, 370);
    RunUntil([&] { return screen.state == 3; });
    EXPECT_EQ(Told(kDamaged), 3u);
    EXPECT_EQ(App().mode, 11);
    EXPECT_EQ(S().pc, pc);
    EXPECT_EQ(S().vars[5], 77);
    EXPECT_NE(g_bgmChannel, nullptr);
}

TEST_F(SaveLoadScreenTest, PagesFromTheSettingsAreClampedAndCommentsStopInsideTheirField) {
    g_config[config::kSavePage] = 200;
    g_config[config::kLoadPage] = 4;
    EXPECT_EQ(CSaveScreen().page, 5);
    EXPECT_EQ(CLoadScreen().page, 4);

    struct Walk {
        std::string text;
        std::size_t limit;
        slots::SkipPairs skip;
        std::size_t glyphs;
    };
    const std::string thirtyFive(35, 'a');
    const std::vector<Walk> walks{
        {thirtyFive, 30, slots::SkipPairs::MarkAndIcon, 31},    // stops after byte 30
        {"ab\xB0", 30, slots::SkipPairs::MarkAndIcon, 2},       // lead byte at the end
        {"\xB0\xA1\xB0\xA1", 0, slots::SkipPairs::Mark, 1},     // stops after the first
        {"a\xA1\xE7xyb", 30, slots::SkipPairs::Mark, 2},        // mark and two bytes
        {"a\x81\xE8xyb", 30, slots::SkipPairs::MarkAndIcon, 2}, // icon and two bytes
        {"a\x81\xE8xyb", 30, slots::SkipPairs::Mark, 5},        // the icon drawn
        {"a\xA1\xE7", 30, slots::SkipPairs::Mark, 1},           // a mark at the end
    };
    for (const Walk& w : walks) {
        codes_.clear();
        slots::DrawComment(g_backBuffer.get(), 0, 0, w.text, w.limit, w.skip);
        EXPECT_EQ(codes_.size(), w.glyphs) << w.text;
    }
    EXPECT_EQ(slots::SampleTile("e009a.bmp"), 0);
    EXPECT_EQ(slots::SampleTile("E035B.BMP"), 37);
    EXPECT_EQ(slots::SampleTile("e009a"), -1);
    EXPECT_EQ(slots::SampleTile("bmp\\e009a.bmp"), -1);
}

} // namespace

TEST_F(SaveLoadScreenTest, AResumeOffsetInsideARecordIsRefusedAndTheSlotFileKept) {
    Start(kStory);
    PlayUntilWaiting();
    // One byte into the record after the message on screen.
    save::Record inside = Capture("inside");
    save::PutU32(inside, save::kResumeOffset, save::GetU32(inside, save::kResumeOffset) + 1);
    WriteRecord(0, inside);
    const std::vector<std::uint8_t> file = testing_support::ReadFile(SlotPath(0));
    OpenOverStory(11);
    EXPECT_EQ(g_loadScreen->looks[0], slots::SlotLook::Damaged);
    const std::uint32_t pc = S().pc;
    ChooseSlot(0);
    EXPECT_EQ(Told(kDamaged), 1u);
    EXPECT_EQ(g_loadScreen->state, 3);
    EXPECT_EQ(S().pc, pc);
    EXPECT_EQ(S().vars[5], 77);
    EXPECT_EQ(testing_support::ReadFile(SlotPath(0)), file);
}

// Its time-out is a short one (tests/CMakeLists.txt): opening a FIFO for
// reading waits for a writer that never comes.
TEST_F(SaveLoadScreenTest, NeverBlocksOnAFifoUnderASlotName) {
    Start(kStory);
    PlayUntilWaiting();
    fs::create_directories("save");
    ASSERT_EQ(::mkfifo(SlotPath(3).c_str(), 0644), 0);
    OpenOverStory(11);
    EXPECT_EQ(g_loadScreen->looks[3], slots::SlotLook::Damaged);
    ChooseSlot(3);
    EXPECT_EQ(Told(kDamaged), 1u);
    EXPECT_EQ(g_loadScreen->state, 3);
}
